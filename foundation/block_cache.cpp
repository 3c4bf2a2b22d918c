#include "foundation/block_cache.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/binary_file.h"

GBlockCache::GBlockCache(GBinaryFile& file, uint32_t capacity, uint32_t blockSize)
    : file_(file),
      capacity_(std::clamp<uint32_t>(capacity, 1, std::numeric_limits<uint32_t>::max() / std::max(blockSize, 1u))),
      blockSize_(blockSize) {}

GBlockCache::~GBlockCache() { file_.Flush(); }

bool GBlockCache::Read(int32_t offset, uint8_t* buffer) {
  if (offset < 0) return false;
  int32_t index = Lookup(offset);
  if (index < 0) {
    index = GetSlot();
    if (index < 0) return false;
    Slot& slot = slots_[index];
    if (!file_.SeekTo(offset) || !file_.Read(slot.data.data(), blockSize_)) {
      slot.offset = -1;
      return false;
    }
    slot.offset = offset;
  }
  Slot& slot = slots_[index];
  slot.age = 0;
  std::memcpy(buffer, slot.data.data(), blockSize_);
  return true;
}

bool GBlockCache::Write(int32_t offset, const uint8_t* buffer) {
  if (offset < 0) return false;
  int32_t index = Lookup(offset);
  if (index < 0) index = GetSlot();
  if (index < 0) return false;
  Slot& slot = slots_[index];
  slot.age = 0;
  std::memcpy(slot.data.data(), buffer, blockSize_);
  slot.offset = offset;
  if (file_.SeekTo(offset) && file_.Write(slot.data.data(), blockSize_)) return true;
  slot.offset = -1;
  return false;
}

void GBlockCache::Forget() {
  for (Slot& slot : slots_) slot.offset = -1;
  used_ = 0;
}

int32_t GBlockCache::Lookup(int32_t offset) {
  int32_t found = -1;
  for (uint32_t i = 0; i < used_; ++i) {
    Slot& slot = slots_[i];
    if (slot.age < std::numeric_limits<uint32_t>::max()) ++slot.age;
    if (found < 0 && slot.offset == offset) found = static_cast<int32_t>(i);
  }
  return found;
}

int32_t GBlockCache::GetSlot() {
  if (used_ < capacity_) {
    if (slots_.size() <= used_) slots_.emplace_back().data.resize(blockSize_);
    slots_[used_].offset = -1;
    return static_cast<int32_t>(used_++);
  }
  if (!file_.Flush()) return -1;
  uint32_t oldest = 0;
  for (uint32_t i = 1; i < used_; ++i) {
    if (slots_[i].age > slots_[oldest].age) oldest = i;
  }
  slots_[oldest].offset = -1;
  return static_cast<int32_t>(oldest);
}
