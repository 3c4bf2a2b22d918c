#pragma once

#include <cstdint>
#include <memory>

#include "graphics/fonts/truetype/tt_file_font_data.h"
#include "platform/glyph_rasterizer.h"

// Renders the glyphs of a font file through the system's font services
// (platform/glyph_rasterizer.h), in the cached form of host_glyph_image.h.
// The size comes from the font description the reader passes on: its
// height is the em in units of its resolution, which for the host's fonts
// are the device's pixels. The system's font is opened on the first
// rendering, from the font data's file and family name.
//
// The glyph queries and the two source queries have nothing to answer for
// a font file: they answer 0.
class GHostGlyphRenderer final : public GTTGlyphRenderer {
 public:
  GHostGlyphRenderer() = default;
  ~GHostGlyphRenderer() override;

  // The font is a GTTFileFontData (the one this renderer serves); glyph is
  // rendered as the glyph index it is. The renderer keeps nothing: the
  // reader caches what it asked for with its cache flag (GetGlyphImage),
  // and what a glyph load has rendered is dropped. The code, the source
  // value and the encoding are not used.
  uint32_t RenderGlyph(GTTFontFileImp& font, uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                       std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                       const GFontInfo* fontInfo) override;
  int32_t QueryGlyph(GTTFontFileImp&, uint32_t, uint16_t, int16_t, uint32_t, const GFontInfo*) override { return 0; }
  int32_t SourceQueryA(GTTFontFileImp&, uint32_t, uint32_t, uint32_t, uint32_t) override { return 0; }
  int32_t SourceQueryB(GTTFontFileImp&, uint32_t, uint32_t, uint32_t, uint32_t) override { return 0; }

 private:
  // The system's font, opened once; null when it cannot be.
  platform::GlyphRasterizer* Rasterizer(GTTFileFontData& font, uint32_t context);

  std::unique_ptr<platform::GlyphRasterizer> rasterizer_;
  bool opened_ = false;
};
