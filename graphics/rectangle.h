#pragma once

#include <cstdint>

// A rectangle in device dots or pixels; right and bottom are exclusive.
struct GRectangle {
  int16_t left = 0;
  int16_t top = 0;
  int16_t right = 0;
  int16_t bottom = 0;

  bool operator==(const GRectangle&) const = default;
};
