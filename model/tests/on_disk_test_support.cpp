#include "model/tests/on_disk_test_support.h"

#include <atomic>
#include <filesystem>
#include <random>

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/virtual_stream.h"

namespace {

const GClassRegistrar commandListRegistrar(CreateCollectable<DiskCommandList>, kGCommandCompositeOnDiskClassID,
                                           kGCommandCompositeOnDiskClassName);
const GClassRegistrar sharingRegistrar(CreateCollectable<SharingComposite>, SharingComposite::kID, "SharingComposite");

}  // namespace

ScratchDirectory::ScratchDirectory() {
  static const std::string prefix = "qv_store_" + std::to_string(std::random_device()()) + "_";
  static std::atomic<int> counter{0};
  const std::filesystem::path path = std::filesystem::temp_directory_path() / (prefix + std::to_string(counter++));
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

std::string Half(uint16_t value) { return std::string{static_cast<char>(value), static_cast<char>(value >> 8)}; }

DiskCommandList::DiskCommandList(const std::string& path, int32_t key)
    : MPersistentObject(key), store_(WidePath(path), 0, key) {}

void DiskCommandList::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Embedded(store_);
}

bool DiskCommandList::SameContent(const MPersistentObject& other) const {
  const auto* list = dynamic_cast<const DiskCommandList*>(&other);
  return list != nullptr && MPersistentObject::SameContent(other) && store_.SameContent(list->store_);
}
