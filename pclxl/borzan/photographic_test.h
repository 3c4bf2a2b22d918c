#pragma once

#include <cstdint>

#include "graphics/rectangle.h"

class GBitmap;

// Whether a colour image is taken for a photograph, which may then go out
// JPEG-compressed: a 24-bit image of more than 40 x 40 pixels (and more than
// 100 in width and height together) drawn larger than 40 x 40 units. With
// a photo override the pixels are not looked at. Otherwise about 16 rows,
// evenly spaced, are sampled: each component's jump from one pixel to the
// next is counted by its size, and an image with 230 or more jumps of 224
// or more (sharp edges of flat colour areas) is no photograph; sampling
// stops as soon as that many are seen.
bool IsPhotographic(const GBitmap& bitmap, const GRectangle& destination, uint16_t photoOverride);
