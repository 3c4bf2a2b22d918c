#include "graphics/fonts/host/host_glyph_renderer.h"

#include <string>

#include "graphics/fonts/font_info.h"
#include "graphics/fonts/host/face_facts.h"
#include "graphics/fonts/host/host_glyph_image.h"
#include "graphics/fonts/truetype/tt_tables.h"

GHostGlyphRenderer::~GHostGlyphRenderer() = default;

platform::GlyphRasterizer* GHostGlyphRenderer::Rasterizer(GTTFileFontData& font, uint32_t context) {
  if (!opened_) {
    opened_ = true;
    std::unique_ptr<GByteBuffer> name;
    if (font.GetTable(context, tt_tables::kName, true, name) != 0 && name) {
      const RWCString& path = font.GetPath();
      rasterizer_ = platform::GlyphRasterizer::Open(std::string(path.Data(), path.Length()),
                                                    ReadFamilyName(name->GetData(), name->GetSize()));
    }
  }
  return rasterizer_.get();
}

uint32_t GHostGlyphRenderer::RenderGlyph(GTTFontFileImp& font, uint32_t context, bool /*cache*/, uint16_t glyph,
                                         uint16_t /*code*/, std::unique_ptr<GByteBuffer>& out, uint32_t /*sourceValue*/,
                                         int32_t /*encoding*/, const GFontInfo* fontInfo) {
  out.reset();
  auto* file = dynamic_cast<GTTFileFontData*>(&font);
  if (file == nullptr || fontInfo == nullptr || fontInfo->height <= 0) return 0;
  platform::GlyphRasterizer* rasterizer = Rasterizer(*file, context);
  platform::GlyphBitmap bitmap;
  if (rasterizer == nullptr || !rasterizer->Render(glyph, static_cast<uint16_t>(fontInfo->height), bitmap)) return 0;
  out = host_glyph_image::Encode(bitmap);
  return out->GetSize();
}
