#pragma once

#include <cstdint>

#include "graphics/fonts/host/host_glyph_renderer.h"
#include "graphics/fonts/truetype/tt_file_font_data.h"

// The host's TrueType font data: a font file whose glyph images the
// system's font services render. The renderer is part of the object, so a
// font data restored from a spooled job renders again. Its stored part is
// the font file data's.
class GHostFontData final : public GTTFileFontData {
 public:
  GHostFontData() { SetRenderer(&renderer_); }
  GHostFontData(uint32_t fontKey, const RWCString& path) : GTTFileFontData(fontKey, path) { SetRenderer(&renderer_); }

  RWCollectable* NewInstance() const override { return new GHostFontData; }
  RWClassID ClassID() const override { return kGHostFontDataClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGHostFontDataClassID || GTTFileFontData::IsKindOf(id); }

 private:
  GHostGlyphRenderer renderer_;
};
