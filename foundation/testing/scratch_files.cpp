#include "foundation/testing/scratch_files.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

// A random part keeps processes apart, the counter the calls of one process.
std::filesystem::path UniquePath() {
  static const std::string prefix = "qv_scratch_" + std::to_string(std::random_device()()) + "_";
  static std::atomic<int> counter{0};
  return std::filesystem::temp_directory_path() / (prefix + std::to_string(counter++));
}

}  // namespace

ScratchFile::ScratchFile() : path_(UniquePath().string() + ".bin") {}

ScratchFile::ScratchFile(const std::string& bytes) : ScratchFile() { Store(bytes); }

ScratchFile::~ScratchFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::string ScratchFile::Contents() const {
  std::ifstream in(path_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ScratchFile::Store(const std::string& bytes) const {
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
}

ScratchDirectory::ScratchDirectory() {
  const std::filesystem::path path = UniquePath();
  std::filesystem::create_directories(path);
  path_ = path.string();
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::File(const std::string& name) const {
  return (std::filesystem::path(path_) / name).string();
}
