#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Small BMP files (run-length, bit-field and plain rows) with the rows that
// ImageMagick decodes from them, made by
// graphics/tests/data/bmp/make_fixtures.py.
struct GBmpFixture {
  const char* name;
  std::string_view file;
  // Top row first, red, green, blue.
  std::string_view rows;
};

inline constexpr GBmpFixture kBmpFixtures[] = {
#include "graphics/tests/data/bmp_fixtures.inc"
};

// The little-endian 32-bit field of a BMP header at the offset.
inline uint32_t BmpField(std::string_view file, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<uint8_t>(file[offset + i])} << (8 * i);
  return value;
}
