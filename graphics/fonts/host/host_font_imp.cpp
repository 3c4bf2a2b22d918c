#include "graphics/fonts/host/host_font_imp.h"

#include "foundation/class_registrar.h"
#include "graphics/fonts/font_properties.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/tt_file_font_data.h"
#include "graphics/fonts/truetype/tt_font_file.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GHostFontImp>, kGHostFontImpClassID, kGHostFontImpClassName);

}  // namespace

GHostFontImp::GHostFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics,
                           std::unique_ptr<GHostPlatformFont> platformFont)
    : GFontImp(context, info, metrics, std::move(platformFont)) {}

GTTFontFile* GHostFontImp::GetTrueTypeFile() const {
  const auto* platform = dynamic_cast<const GHostPlatformFont*>(GetPlatformFont());
  return platform != nullptr ? platform->GetFontFile() : nullptr;
}

int32_t GHostFontImp::IsReady() {
  const GTTFontFile* file = GetTrueTypeFile();
  const GTTFontFileImp* data = file != nullptr ? file->GetFontData() : nullptr;
  // Font data restored after its file went away keeps only what it had
  // cached, which serves no new glyph.
  const auto* fileData = dynamic_cast<const GTTFileFontData*>(data);
  return data != nullptr && (fileData == nullptr || fileData->IsOpen()) ? 1 : 0;
}

int32_t GHostFontImp::DownloadGlyph(uint32_t code, int32_t encoding) {
  GTTFontFile* file = GetTrueTypeFile();
  if (file == nullptr) return 0;
  const auto character = static_cast<uint16_t>(code);
  const uint16_t glyph = file->GetGlyphIndex(FontContext(), false, character, encoding);
  if (file->LoadGlyph(FontContext(), glyph, character, false, encoding, &GetFontInfo(), nullptr) == 0) return 0;
  // The image goes into the glyph cache through the reader, which keeps
  // what it renders with its cache flag; an empty glyph has its header.
  std::unique_ptr<GByteBuffer> image;
  return file->GetGlyphImage(FontContext(), true, glyph, character, image, 0, encoding, &GetFontInfo()) != 0 ? 1 : 0;
}

int32_t GHostFontImp::PrepareFace(int32_t /*mode*/, void* /*faceData*/) {
  GTTFontFile* file = GetTrueTypeFile();
  if (file == nullptr) return 0;
  const int32_t encoding = FontPropertyValue(GetFontInfo(), GetMetricsRecord(), GFontProperty::kOwnEncoding);
  file->Preload(FontContext(), encoding);
  return file->HasRequiredTables(FontContext());
}

int32_t GHostFontImp::PrepareText(GTextString& text, int32_t /*mode*/) {
  const int32_t encoding = FontPropertyValue(GetFontInfo(), GetMetricsRecord(), GFontProperty::kOwnEncoding);
  int32_t result = 1;
  for (uint16_t i = 0; i < text.GetLength(); ++i) {
    if (DownloadGlyph(text.GetCodeAt(i), encoding) == 0) result = 0;
  }
  return result;
}
