#include "device/media/margin_pool.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GMarginPool>, kGMarginPoolClassID, kGMarginPoolClassName);

constexpr uint32_t kStoredRecordSize = sizeof(GMarginRecord);

}  // namespace

int32_t GMarginPool::Add(const GMarginRecord* record) {
  if (record == nullptr) return -1;
  records_.push_back(*record);
  return static_cast<int32_t>(records_.size() - 1);
}

const GMarginRecord* GMarginPool::GetRecord(uint32_t index) const {
  return index < records_.size() ? &records_[index] : nullptr;
}

void GMarginPool::Fields(GFieldArchive& archive) {
  if (archive.IsRestoring()) records_.clear();
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  uint32_t count = Count();
  if (!archive.Count(count, kStoredRecordSize)) return;
  if (archive.IsRestoring()) records_.resize(count);
  for (GMarginRecord& record : records_) {
    for (int32_t& margin : record) {
      uint32_t stored = static_cast<uint32_t>(margin);
      archive.UInt32(stored);
      margin = static_cast<int32_t>(stored);
    }
  }
  if (!archive.Good()) records_.clear();
}
