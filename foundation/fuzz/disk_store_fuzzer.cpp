// Opens a file made of the input as a file-space manager and disk B-tree and
// works on it, with an error handler that returns: a damaged file may fail
// operations but must never lead outside a buffer, loop without end or ask
// for unbounded memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/disk_btree.h"
#include "foundation/error.h"
#include "foundation/file_space_manager.h"
#include "foundation/rw_cstring.h"

namespace {

void IgnoreError(const GError*) {}

void IgnoreEntry(const char*, int32_t, void*) {}

const std::string& ScratchPath() {
  static const std::string path = "/tmp/qv_disk_store_fuzz_" + std::to_string(getpid()) + ".bin";
  return path;
}

// The first bytes choose the work; the rest is the file.
constexpr size_t kScriptLength = 24;

void Work(GFileSpaceManager& manager, GDiskBTree& tree, const uint8_t* script) {
  RWCString found;
  int32_t value = 0;
  for (size_t i = 1; i < kScriptLength; ++i) {
    const std::string key = "k" + std::to_string(script[i] % 40);
    switch (script[i] / 40) {
      case 0:
        tree.Find(key.c_str(), found, value);
        break;
      case 1:
        tree.Insert(key.c_str(), script[i]);
        break;
      case 2:
        tree.Remove(key.c_str(), found, value);
        break;
      case 3:
        tree.UpdateValue(key.c_str(), i, value);
        break;
      case 4:
        manager.Deallocate(manager.Allocate(script[i] * 8));
        break;
      default:
        tree.ForEach(IgnoreEntry, nullptr);
        tree.Count();
        tree.Height();
        if (script[i] == 255) tree.Clear();
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kScriptLength) return 0;
  SetErrorHandler(IgnoreError);
  const std::string& path = ScratchPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data + kScriptLength, 1, size - kScriptLength, file);
  std::fclose(file);
  {
    GFileSpaceManager manager(path.c_str());
    const uint8_t flags = data[0];
    const int32_t style = (flags & 1) ? GDiskBTree::kRootOnlyStyle : GDiskBTree::kHeaderStyle;
    const uint32_t order = (flags & 2) ? 2 : 10;
    GDiskBTree tree(manager, (flags >> 2) % 4, 0, 16, (flags & 16) != 0, -1, style, order, order);
    Work(manager, tree, data);
  }
  std::remove(path.c_str());
  return 0;
}
