#include "model/tests/on_disk_test_support.h"

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/little_endian.h"
#include "foundation/virtual_stream.h"

namespace {

const GClassRegistrar commandListRegistrar(CreateCollectable<DiskCommandList>, kGCommandCompositeOnDiskClassID,
                                           kGCommandCompositeOnDiskClassName);
const GClassRegistrar sharingRegistrar(CreateCollectable<SharingComposite>, SharingComposite::kID, "SharingComposite");

}  // namespace

std::string Half(uint16_t value) {
  std::string bytes;
  AppendLittle16(bytes, value);
  return bytes;
}

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
