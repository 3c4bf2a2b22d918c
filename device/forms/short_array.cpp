#include "device/forms/short_array.h"

#include <algorithm>

int32_t GShortArray::IndexOf(uint16_t value) const {
  const auto found = std::find(items_.begin(), items_.end(), value);
  return found == items_.end() ? -1 : static_cast<int32_t>(found - items_.begin());
}

void GShortArray::Add(uint16_t value) {
  if (items_.size() == capacity_) {
    capacity_ += kGrowth;
    items_.reserve(capacity_);
  }
  items_.push_back(value);
}

bool GShortArray::Remove(uint16_t value) {
  const auto found = std::find(items_.begin(), items_.end(), value);
  if (found == items_.end()) return false;
  items_.erase(found);
  return true;
}

uint32_t GShortArray::RemoveAll(uint16_t value) { return static_cast<uint32_t>(std::erase(items_, value)); }
