#include "graphics/bitmaps/rectangle_intersection.h"

#include <algorithm>

GRectangle IntersectRectangles(const GRectangle& a, const GRectangle& b) {
  const GRectangle common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                          std::min(a.bottom, b.bottom)};
  return common.left >= common.right || common.top >= common.bottom ? GRectangle{} : common;
}
