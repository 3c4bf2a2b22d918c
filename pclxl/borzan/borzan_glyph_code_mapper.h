#pragma once

#include "graphics/fonts/glyph_code_mapper.h"

// The PCL XL generator's glyph-code mapper. Codes rise by one, except that
// 0x2000 to 0x20FF stay free: those codes pass through the mapper as
// themselves (general punctuation), so handing them out too would give two
// characters one printer code.
class GBorzanGlyphCodeMapper : public GGlyphCodeMapper {
 public:
  static constexpr uint16_t kReservedFirst = 0x2000;
  static constexpr uint16_t kReservedEnd = 0x2100;

 protected:
  void Advance() override;
};
