#pragma once

#include <cstdint>

#include "graphics/fonts/glyph_code_mapper.h"

// A glyph-code mapper that steps by one, as most generators do, and counts
// how often it moved on.
class CountingGlyphCodeMapper : public GGlyphCodeMapper {
 public:
  int advances = 0;

 protected:
  void Advance() override {
    ++advances;
    SetNextCode(static_cast<uint16_t>(NextCode() + 1));
  }
};
