#include "model/store/store_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "foundation/rw_wstring.h"
#include "model/os/osfactry.h"

namespace {

namespace fs = std::filesystem;

// The path as the file system resolves it, as far as it exists; the path
// made absolute and normal when even that fails.
fs::path Resolved(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (!error) return resolved;
  return fs::absolute(path, error).lexically_normal();
}

// Store paths are narrow text; so are the directories compared with them.
fs::path ResolvedNarrow(const RWCString& path) { return Resolved(fs::path(std::string(path.Data(), path.Length()))); }

bool IsInside(const fs::path& file, const fs::path& directory) {
  if (directory.empty()) return false;
  const auto [mismatch, fileAt] = std::mismatch(directory.begin(), directory.end(), file.begin(), file.end());
  // A trailing separator leaves an empty last element.
  const bool wholeDirectory =
      mismatch == directory.end() || (std::next(mismatch) == directory.end() && mismatch->empty());
  return wholeDirectory && fileAt != file.end();
}

bool IsInSpoolDirectory(const fs::path& file) {
  GOSFactory* factory = GOSFactory::Instance();
  if (factory == nullptr) return false;
  std::vector<RWWString> directories;
  factory->GetSpoolDirectories(directories);
  return std::any_of(directories.begin(), directories.end(), [&file](const RWWString& directory) {
    return directory.Length() != 0 && IsInside(file, ResolvedNarrow(directory.ToMultibyte()));
  });
}

}  // namespace

GStoreFiles& GStoreFiles::Instance() {
  static GStoreFiles files;
  return files;
}

void GStoreFiles::NoteCreated(const RWCString& path) { created_.insert(ResolvedNarrow(path).string()); }

void GStoreFiles::NoteDeleted(const RWCString& path) { created_.erase(ResolvedNarrow(path).string()); }

bool GStoreFiles::WasCreated(const RWCString& path) const { return created_.count(ResolvedNarrow(path).string()) != 0; }

bool GStoreFiles::MayOpenFromData(const RWCString& path) const {
  if (path.Length() == 0) return false;
  const fs::path file = ResolvedNarrow(path);
  std::error_code error;
  if (!fs::is_regular_file(file, error) || fs::file_size(file, error) == 0 || error) return false;
  return created_.count(file.string()) != 0 || IsInSpoolDirectory(file);
}
