#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/fonts/font.h"

// What the generator reads of a font beyond its properties: how many
// characters a download makes room for and whether the font sets text
// vertically.
namespace xl_font {

// The kind bits of a font (GFont::GetKind): it can be sent as bitmaps, it
// can be sent as outlines.
constexpr int32_t kBitmapStyle = 1;
constexpr int32_t kScalableStyle = 2;

// The characters a font header makes room for: the font's code range, at
// most 1,024 (1,024 when the font names no last code).
inline uint16_t FontCharacters(const GFont& font) {
  constexpr uint32_t kMost = 1024;
  if (font.GetLastCode() == 0) return kMost;
  const int32_t range = font.GetLastCode() - font.GetFirstCode() + 1;
  return static_cast<uint16_t>(std::clamp<int32_t>(range, 0, kMost));
}

// The 256-code pages a font of so many characters fills, plus one when
// more than one page makes its codes 16-bit.
inline uint32_t FontPageUnits(uint32_t characters) { return characters <= 255 ? 1 : (characters + 255) / 256 + 1; }

// A vertical font is named after its face with an '@' before it.
inline bool IsVertical(const GFont& font) { return font.GetName().Length() > 0 && font.GetName().Data()[0] == '@'; }

}  // namespace xl_font
