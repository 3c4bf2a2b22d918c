#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The glyphs the vertical-form fuzz targets ask for: the low glyph IDs and
// the 16-bit values of the input itself (which name the covered glyphs).
inline std::vector<uint16_t> VerticalFuzzGlyphs(std::span<const uint8_t> table) {
  std::vector<uint16_t> glyphs;
  for (uint32_t glyph = 0; glyph < 0x200; ++glyph) glyphs.push_back(static_cast<uint16_t>(glyph));
  for (size_t i = 0; i + 1 < table.size() && glyphs.size() < 2048; ++i) {
    glyphs.push_back(static_cast<uint16_t>(table[i] << 8 | table[i + 1]));
  }
  return glyphs;
}
