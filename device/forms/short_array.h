#pragma once

#include <cstdint>
#include <vector>

// A growable array of 16-bit values whose capacity grows by 64 whenever it
// is full.
class GShortArray {
 public:
  static constexpr uint32_t kGrowth = 64;

  // The index of the first value equal to value, -1 when none.
  int32_t IndexOf(uint16_t value) const;
  // Appends the value.
  void Add(uint16_t value);
  uint32_t CountOf() const { return static_cast<uint32_t>(items_.size()); }
  uint32_t Capacity() const { return capacity_; }
  uint16_t operator[](uint32_t index) const { return items_[index]; }
  // Removes the first value equal to value; answers whether one was there.
  bool Remove(uint16_t value);
  // Removes every value equal to value and answers how many.
  uint32_t RemoveAll(uint16_t value);

 private:
  uint32_t capacity_ = 0;
  std::vector<uint16_t> items_;
};
