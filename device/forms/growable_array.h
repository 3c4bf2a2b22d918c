#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// A growable array of small values whose capacity grows by 64 whenever it
// is full; the 16-bit and 32-bit arrays of the device model derive from it.
template <typename Value>
class GGrowableArray {
 public:
  static constexpr uint32_t kGrowth = 64;

  // The index of the first value equal to value, -1 when none.
  int32_t IndexOf(Value value) const {
    const auto found = std::find(items_.begin(), items_.end(), value);
    return found == items_.end() ? -1 : static_cast<int32_t>(found - items_.begin());
  }
  // Appends the value.
  void Add(Value value) {
    if (items_.size() == capacity_) {
      capacity_ += kGrowth;
      items_.reserve(capacity_);
    }
    items_.push_back(value);
  }
  uint32_t Count() const { return static_cast<uint32_t>(items_.size()); }
  uint32_t Capacity() const { return capacity_; }
  Value operator[](uint32_t index) const { return items_[index]; }
  // Removes the first value equal to value; answers whether one was there.
  bool Remove(Value value) {
    const auto found = std::find(items_.begin(), items_.end(), value);
    if (found == items_.end()) return false;
    items_.erase(found);
    return true;
  }
  // Removes every value equal to value, keeping the order of the others,
  // and answers how many.
  uint32_t RemoveAll(Value value) { return static_cast<uint32_t>(std::erase(items_, value)); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Equal counts and equal values in order; capacities do not count.
  friend bool operator==(const GGrowableArray& a, const GGrowableArray& b) { return a.items_ == b.items_; }

 protected:
  explicit GGrowableArray(uint32_t capacity) : capacity_(capacity) {}

  // Empties the array and brings its capacity back to capacity.
  void Reset(uint32_t capacity) {
    items_.clear();
    capacity_ = capacity;
  }

 private:
  uint32_t capacity_;
  std::vector<Value> items_;
};
