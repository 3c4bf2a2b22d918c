#include "device/paper/sheet_container.h"

bool GSheetContainer::SetLevel(int32_t value, bool asPercentage) {
  if (!asPercentage) {
    if (value >= capacity_) return false;
    level_ = value;
    return true;
  }
  if (capacity_ <= 0 || value > 100) return false;
  // 64 bits: a large capacity times 100 passes 32.
  level_ = static_cast<int32_t>(static_cast<int64_t>(capacity_) * value / 100);
  return true;
}

bool GSheetContainer::SameSheetFields(const GSheetContainer& other) const {
  return other.name_ == name_ && other.id_ == id_ && other.firstValue_ == firstValue_ &&
         other.secondValue_ == secondValue_ && other.capacity_ == capacity_ && other.level_ == level_ &&
         other.displayString_.SameContent(displayString_);
}

void GSheetContainer::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  // Versions before 2 are read too, without their display string.
  if (!archive.Version(FormatVersion(), 0)) return;
  archive.String(name_);
  archive.Int16(id_);
  archive.Int32(firstValue_);
  archive.Int32(secondValue_);
  archive.Int32(capacity_);
  archive.Int32(level_);
}

void GSheetContainer::DisplayStringField(GFieldArchive& archive) {
  if (archive.StoredVersion() == FormatVersion()) archive.ObjectValue(displayString_);
}
