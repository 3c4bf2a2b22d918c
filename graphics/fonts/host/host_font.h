#pragma once

#include <cstdint>
#include <memory>

#include "graphics/fonts/font.h"

class GHostFontImp;

// The host's handle on a TrueType file font body (GHostFontImp). Its
// queries are the body's; glyph images come from the font's TrueType
// reader, rendered at the body's size and kept in the reader's glyph
// cache. Its stored part is the font handle's.
class GHostFont final : public GFont {
 public:
  GHostFont() = default;
  GHostFont(GHostFontImp* body, GGraphicsDevice* device);
  GHostFont(const GHostFont& other) = default;

  int32_t GetKind() const override;
  int32_t GetHostQuery() const override;
  // The image of the code's glyph (the code in the font's own encoding),
  // as rows without the cached header; its size, 0 (and no image) when the
  // glyph has no pixels or cannot be rendered. The option is not used.
  uint32_t GetGlyphImage(uint16_t code, int32_t option, GGlyphMetrics& metrics,
                         std::unique_ptr<GByteBuffer>& image) override;
  GTTFontFile* GetTrueTypeFile() const override;

  RWCollectable* NewInstance() const override { return new GHostFont; }
  RWCollectable* Clone() const override { return new GHostFont(*this); }
  RWClassID ClassID() const override { return kGHostFontClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGHostFontClassID || GFont::IsKindOf(id); }

 private:
  GHostFontImp* HostBody() const;
};
