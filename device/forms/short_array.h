#pragma once

#include <cstdint>

#include "device/forms/growable_array.h"

// A growable array of 16-bit values, starting without capacity.
class GShortArray : public GGrowableArray<uint16_t> {
 public:
  GShortArray() : GGrowableArray(0) {}

  // The number of values held.
  uint32_t CountOf() const { return Count(); }
};
