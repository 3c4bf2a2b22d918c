#pragma once

#include <cstdint>

// A point of two 16-bit values in device dots, x then y; (0, 0) when made.
struct GPoint {
  int16_t x = 0;
  int16_t y = 0;

  bool operator==(const GPoint&) const = default;
};

// Copies a point: the form in which offsets and the corners of rectangles
// travel.
inline void PointCopy(GPoint& destination, const GPoint& source) { destination = source; }
