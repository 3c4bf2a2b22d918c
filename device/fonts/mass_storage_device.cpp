#include "device/fonts/mass_storage_device.h"

#include "device/fonts/mass_storage_slot.h"
#include "foundation/little_endian.h"
#include "model/objects/text_conversion.h"

namespace {

// Header fields used here.
constexpr uint32_t kHeaderLengthOffset = 4;
constexpr uint32_t kCatalogueCountOffset = 8;
constexpr uint32_t kRecordCountOffset = 28;
constexpr uint32_t kRecordOffsetsStart = 32;

// Files of this size or smaller hold no catalogue.
constexpr int64_t kLargestEmptyFile = 35;

}  // namespace

GMassStorageDevice::GMassStorageDevice(int32_t slot, GDriverInterface& driver)
    : driver_(driver), path_(GetMassStorageSlotPath(driver, slot)), slot_(slot) {}

GMassStorageDevice::~GMassStorageDevice() = default;

int32_t GMassStorageDevice::ListKey() const {
  const GMassStorageSlot* slot = FindMassStorageSlot(slot_);
  return slot ? slot->listKey : 0;
}

GBinaryFile* GMassStorageDevice::OpenCatalogue(int32_t& key) {
  key = ListKey();
  CloseCatalogue();
  if (path_.Length() == 0) return nullptr;
  RWCString narrowPath;
  WideToNarrow(path_, narrowPath);
  auto file = std::make_unique<GBinaryFile>(narrowPath.Data(), "rb");
  if (!file->IsOpen()) return nullptr;
  file_ = std::move(file);
  return file_.get();
}

std::span<const uint8_t> GMassStorageDevice::ReadCatalogueHeader(int32_t& key) {
  key = 0;
  if (!LoadHeader()) {
    header_.clear();
    return {};
  }
  key = ListKey();
  return header_;
}

bool GMassStorageDevice::LoadHeader() {
  if (!file_ || file_->Size() <= kLargestEmptyFile) return false;
  uint8_t start[kHeaderLengthOffset + 4];
  if (!file_->SeekTo(0) || !file_->Read(start, sizeof start)) return false;
  const uint32_t length = LoadLittle32(start + kHeaderLengthOffset);
  // The length is checked against the file before anything is allocated.
  if (length < kMinimumHeaderLength || !file_->SeekTo(0) || !file_->CanHold(length, 1)) return false;
  header_.resize(length);
  if (!file_->Read(header_.data(), length)) return false;
  return FontRecordCount() <= (length - kRecordOffsetsStart) / 4;
}

void GMassStorageDevice::CloseCatalogue() { file_.reset(); }

uint32_t GMassStorageDevice::GetRecordCount() const {
  return header_.empty() ? 0 : LoadLittle32(header_.data() + kCatalogueCountOffset);
}

uint32_t GMassStorageDevice::FontRecordCount() const {
  return header_.empty() ? 0 : LoadLittle32(header_.data() + kRecordCountOffset);
}

uint32_t GMassStorageDevice::FontRecordOffset(uint32_t index) const {
  return LoadLittle32(header_.data() + kRecordOffsetsStart + 4 * index);
}
