#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/display/point_array.h"
#include "graphics/point.h"
#include "graphics/rectangle.h"

// Shorthands that the tests of the graphic classes share.

inline GRectangle Rect(int16_t left, int16_t top, int16_t right, int16_t bottom) { return {left, top, right, bottom}; }

inline std::vector<GPoint> PointsOf(const GPointArray& array) {
  std::vector<GPoint> points;
  for (uint32_t i = 0; i < array.Count(); ++i) points.push_back(*array.At(i));
  return points;
}

// A point array that owns a copy of the points.
inline GPointArray Owned(std::vector<GPoint> points) { return GPointArray(std::move(points)); }

// One change made to a fresh sample, and whether the changed sample still
// equals an unchanged one.
template <typename T>
struct ChangeCase {
  const char* name;
  void (*change)(T&);
  bool equal;
};

// Checks each change against an unchanged sample, both ways round.
template <typename T, typename Make, size_t N>
void ExpectEqualityAfterChanges(const Make& sample, const ChangeCase<T> (&cases)[N]) {
  for (const ChangeCase<T>& c : cases) {
    SCOPED_TRACE(c.name);
    const auto reference = sample();
    const auto other = sample();
    c.change(*other);
    EXPECT_EQ(reference->SameContent(*other), c.equal);
    EXPECT_EQ(other->SameContent(*reference), c.equal);
  }
}
