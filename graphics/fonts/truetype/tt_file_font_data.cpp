#include "graphics/fonts/truetype/tt_file_font_data.h"

#include <new>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTTFileFontData>, kGTTFileFontDataClassID, kGTTFileFontDataClassName);

}  // namespace

GTTFileFontData::GTTFileFontData(uint32_t fontKey, const RWCString& path) : GTTFontFileImp(fontKey), path_(path) {
  file_.Open(std::string(path_.Data(), path_.Length()));
}

uint32_t GTTFileFontData::GetTableSize(uint32_t /*context*/, uint32_t tag) { return file_.TableSize(tag); }

uint32_t GTTFileFontData::ReadWholeTable(uint32_t /*context*/, uint32_t tag, std::unique_ptr<GByteBuffer>& out,
                                         uint32_t size) {
  out.reset();
  if (size == 0 || size != file_.TableSize(tag)) return 0;
  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size]);
  if (!data || !file_.Read(tag, 0, data.get(), size)) return 0;
  out = std::make_unique<GByteBuffer>(data.release(), size, true);
  return size;
}

uint32_t GTTFileFontData::ReadTablePart(uint32_t /*context*/, uint32_t tag, uint32_t offset, uint8_t* destination,
                                        uint32_t length) {
  return file_.Read(tag, offset, destination, length) ? length : 0;
}

uint32_t GTTFileFontData::RenderGlyph(uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                                      std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                                      const GFontInfo* fontInfo) {
  out.reset();
  if (renderer_ == nullptr) return 0;
  return renderer_->RenderGlyph(*this, context, cache, glyph, code, out, sourceValue, encoding, fontInfo);
}

int32_t GTTFileFontData::QueryGlyph(uint32_t context, uint16_t first, int16_t second, uint32_t third,
                                    const GFontInfo* fontInfo) {
  return renderer_ != nullptr ? renderer_->QueryGlyph(*this, context, first, second, third, fontInfo) : 0;
}

int32_t GTTFileFontData::SourceQueryA(uint32_t context, uint32_t first, uint32_t second, uint32_t third) {
  return renderer_ != nullptr ? renderer_->SourceQueryA(*this, context, first, second, third) : 0;
}

int32_t GTTFileFontData::SourceQueryB(uint32_t context, uint32_t first, uint32_t second, uint32_t third) {
  return renderer_ != nullptr ? renderer_->SourceQueryB(*this, context, first, second, third) : 0;
}

bool GTTFileFontData::SameContent(const MPersistentObject& other) const {
  const auto* font = dynamic_cast<const GTTFileFontData*>(&other);
  return font != nullptr && GTTFontFileImp::SameContent(other) && path_ == font->path_;
}

void GTTFileFontData::Fields(GFieldArchive& archive) {
  GTTFontFileImp::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (archive.String(path_) && archive.IsRestoring()) file_.Open(std::string(path_.Data(), path_.Length()));
}
