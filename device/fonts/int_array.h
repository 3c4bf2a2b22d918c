#pragma once

#include <cstdint>

#include "device/forms/growable_array.h"

// A growable array of signed 32-bit values that starts with room for 64.
class GIntArray : public GGrowableArray<int32_t> {
 public:
  static constexpr uint32_t kInitialCapacity = 64;

  GIntArray() : GGrowableArray(kInitialCapacity) {}
  // A copy holds the same values in the same order, its capacity counted
  // afresh from 64.
  GIntArray(const GIntArray& other) : GIntArray() { *this = other; }
  GIntArray& operator=(const GIntArray& other) {
    if (this == &other) return *this;
    Clear();
    for (int32_t value : other) Add(value);
    return *this;
  }

  // The number of values equal to value.
  uint32_t CountOf(int32_t value) const;
  // Empties the array; the capacity goes back to 64.
  void Clear() { Reset(kInitialCapacity); }
};
