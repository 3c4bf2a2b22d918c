#pragma once

#include "graphics/rectangle.h"

// The common part of two rectangles; all zeros when they do not overlap
// (rectangles that only touch do not).
GRectangle IntersectRectangles(const GRectangle& a, const GRectangle& b);
