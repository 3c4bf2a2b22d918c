#include "graphics/fonts/host/host_font.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "graphics/fonts/font_properties.h"
#include "graphics/fonts/host/host_font_imp.h"
#include "graphics/fonts/host/host_glyph_image.h"
#include "graphics/fonts/truetype/tt_font_file.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GHostFont>, kGHostFontClassID, kGHostFontClassName);

}  // namespace

GHostFont::GHostFont(GHostFontImp* body, GGraphicsDevice* device) : GFont(body, device) {}

GHostFontImp* GHostFont::HostBody() const { return dynamic_cast<GHostFontImp*>(GetBody()); }

int32_t GHostFont::GetKind() const { return GetBody() != nullptr ? GetBody()->GetKind() : 0; }

int32_t GHostFont::GetHostQuery() const { return GetBody() != nullptr ? GetBody()->GetHostQuery() : 0; }

GTTFontFile* GHostFont::GetTrueTypeFile() const {
  const GHostFontImp* body = HostBody();
  return body != nullptr ? body->GetTrueTypeFile() : nullptr;
}

uint32_t GHostFont::GetGlyphImage(uint16_t code, int32_t /*option*/, GGlyphMetrics& metrics,
                                  std::unique_ptr<GByteBuffer>& image) {
  image.reset();
  GTTFontFile* file = GetTrueTypeFile();
  if (file == nullptr) return 0;
  const uint32_t context = static_cast<uint32_t>(GetContext());
  const int32_t encoding = FontPropertyValue(GetFontInfo(), GetMetricsRecord(), GFontProperty::kOwnEncoding);
  const uint16_t glyph = file->GetGlyphIndex(context, false, code, encoding);
  std::unique_ptr<GByteBuffer> stored;
  host_glyph_image::Decoded decoded;
  if (file->GetGlyphImage(context, true, glyph, code, stored, 0, encoding, &GetFontInfo()) == 0 || !stored ||
      !host_glyph_image::Decode({stored->GetData(), stored->GetSize()}, decoded) || decoded.rows.empty()) {
    return 0;
  }
  metrics = decoded.metrics;
  auto* rows = new uint8_t[decoded.rows.size()];
  std::copy(decoded.rows.begin(), decoded.rows.end(), rows);
  image = std::make_unique<GByteBuffer>(rows, static_cast<uint32_t>(decoded.rows.size()), true);
  return image->GetSize();
}
