#pragma once

// Hands out the printer-side codes and font numbers of the glyphs a
// generator downloads. Each page-description generator owns one of its own
// kind; the generator base holds it through this base and deletes it with
// itself.
class GGlyphCodeMapper {
 public:
  GGlyphCodeMapper() = default;
  GGlyphCodeMapper(const GGlyphCodeMapper&) = delete;
  GGlyphCodeMapper& operator=(const GGlyphCodeMapper&) = delete;
  virtual ~GGlyphCodeMapper() = default;
};
