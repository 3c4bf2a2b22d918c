#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "graphics/bitmaps/bitmap.h"

// The pixels of a bitmap as red, green and blue bytes, top row first:
// indexed pixels through the palette, grey levels repeated three times.
std::string RgbPixels(const GBitmap& bitmap);

// The largest difference between the bytes of two strings of one length;
// 256 when the lengths differ.
int LargestDifference(std::string_view a, std::string_view b);

inline std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
