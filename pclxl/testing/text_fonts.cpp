#include "pclxl/testing/text_fonts.h"

#include "graphics/fonts/truetype/tt_tables.h"

namespace xl_text {

GFontInfo FaceInfo(const char* face, int16_t height) {
  GFontInfo info;
  info.faceName = RWCString(face);
  info.height = height;
  info.resolution = 600;
  info.fontValue9 = 400;
  info.fontValue10 = 16;
  info.firstCode = 32;
  info.lastCode = 126;
  return info;
}

OutlineFont::OutlineFont(const GFontInfo& info, const std::vector<MemoryFontData::Bytes>& outlines)
    : file_(nullptr, &data_) {
  data_.SetRequiredTables(outlines);
  MemoryFontData::Bytes hmtx;
  for (size_t glyph = 0; glyph < outlines.size(); ++glyph) {
    memory_font::PutU16(hmtx, static_cast<uint16_t>(100 + glyph));
    memory_font::PutU16(hmtx, static_cast<uint16_t>(static_cast<int16_t>(glyph) - 5));
  }
  data_.tables[tt_tables::MakeTag("hmtx")] = hmtx;
  MemoryFontData::Bytes& hhea = data_.tables[tt_tables::MakeTag("hhea")];
  hhea[34] = static_cast<uint8_t>(outlines.size() >> 8);
  hhea[35] = static_cast<uint8_t>(outlines.size());
  font_ = std::make_unique<TestFont>(new TestFontImp(info), nullptr, kScalableStyle);
  font_->SetTrueTypeFile(&file_);
}

std::unique_ptr<TestFont> BitmapFont(const GFontInfo& info) {
  return std::make_unique<TestFont>(new TestFontImp(info), nullptr, kBitmapStyle);
}

}  // namespace xl_text
