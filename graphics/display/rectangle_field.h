#pragma once

#include "graphics/rectangle.h"
#include "model/objects/field_archive.h"

// A rectangle stored as left, top, right, bottom (16-bit each); answers
// whether all four were saved or read.
inline bool RectangleField(GFieldArchive& archive, GRectangle& rectangle) {
  return archive.Int16(rectangle.left) && archive.Int16(rectangle.top) && archive.Int16(rectangle.right) &&
         archive.Int16(rectangle.bottom);
}
