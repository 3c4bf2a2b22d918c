#include "graphics/fonts/truetype/tt_font_file.h"

#include <type_traits>
#include <utility>

#include "foundation/class_registrar.h"
#include "graphics/fonts/truetype/tt_font_file_imp.h"
#include "graphics/fonts/truetype/tt_font_pool.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GTTFontFile>, kGTTFontFileClassID, kGTTFontFileClassName);

}  // namespace

GTTFontFile::GTTFontFile(GTTFontPool* pool, GTTFontFileImp* fontData) : pool_(pool), fontData_(fontData) {
  if (fontData_ == nullptr) return;
  fontData_->Lock();
  fontData_->SetUseCount(static_cast<int16_t>(fontData_->GetUseCount() + 1));
  fontData_->Unlock();
}

GTTFontFile::GTTFontFile(const GTTFontFile& other) : GTTFontFile(other.pool_, other.fontData_) {
  MPersistentObject::operator=(other);
}

GTTFontFile::~GTTFontFile() { ReleaseFontData(); }

void GTTFontFile::ReleaseFontData() {
  GTTFontFileImp* fontData = std::exchange(fontData_, nullptr);
  if (fontData != nullptr && pool_ != nullptr) pool_->Release(fontData);
}

template <typename Call>
auto GTTFontFile::Locked(Call call) -> decltype(call(std::declval<GTTFontFileImp&>())) {
  if (fontData_ == nullptr) return 0;
  fontData_->Lock();
  const auto result = call(*fontData_);
  fontData_->Unlock();
  return result;
}

int32_t GTTFontFile::HasRequiredTables(uint32_t context) {
  return Locked([&](GTTFontFileImp& font) { return font.HasRequiredTables(context); });
}

int32_t GTTFontFile::SourceQueryA(uint32_t context, uint32_t first, uint32_t second, uint32_t third) {
  return Locked([&](GTTFontFileImp& font) { return font.SourceQueryA(context, first, second, third); });
}

int32_t GTTFontFile::SourceQueryB(uint32_t context, uint32_t first, uint32_t second, uint32_t third) {
  return Locked([&](GTTFontFileImp& font) { return font.SourceQueryB(context, first, second, third); });
}

uint32_t GTTFontFile::ReadTable(uint32_t context, uint32_t index, uint32_t offset, bool cacheable, uint8_t* destination,
                                uint32_t length) {
  return Locked(
      [&](GTTFontFileImp& font) { return font.ReadTable(context, index, offset, cacheable, destination, length); });
}

uint32_t GTTFontFile::GetTable(uint32_t context, uint32_t index, bool cache, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  return Locked([&](GTTFontFileImp& font) { return font.GetTable(context, index, cache, out); });
}

uint32_t GTTFontFile::GetTableLength(uint32_t context, uint32_t index) {
  return Locked([&](GTTFontFileImp& font) { return font.GetTableLength(context, index); });
}

uint32_t GTTFontFile::GetGlyphImage(uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                                    std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                                    const GFontInfo* fontInfo) {
  out.reset();
  return Locked([&](GTTFontFileImp& font) {
    return font.GetGlyphImage(context, cache, glyph, code, out, sourceValue, encoding, fontInfo);
  });
}

int32_t GTTFontFile::QueryGlyph(uint32_t context, uint16_t first, int16_t second, uint32_t third,
                                const GFontInfo* fontInfo) {
  return Locked([&](GTTFontFileImp& font) { return font.QueryGlyph(context, first, second, third, fontInfo); });
}

uint32_t GTTFontFile::GetGlyphData(uint32_t context, bool cache, uint16_t glyph, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  return Locked([&](GTTFontFileImp& font) { return font.GetGlyphData(context, cache, glyph, out); });
}

uint32_t GTTFontFile::GetGlyphDataOffset(uint32_t context, uint16_t glyph) {
  return Locked([&](GTTFontFileImp& font) { return font.GetGlyphDataOffset(context, glyph); });
}

uint16_t GTTFontFile::GetGlyphIndex(uint32_t context, bool vertical, uint16_t code, int32_t encoding) {
  return Locked([&](GTTFontFileImp& font) { return font.GetGlyphIndex(context, vertical, code, encoding); });
}

int32_t GTTFontFile::GetFontBox(uint32_t context, int16_t& xMin, int16_t& yMin, int16_t& xMax, int16_t& yMax) {
  return Locked([&](GTTFontFileImp& font) { return font.GetFontBox(context, xMin, yMin, xMax, yMax); });
}

int32_t GTTFontFile::LoadGlyph(uint32_t context, uint16_t glyph, uint16_t code, bool render, int32_t encoding,
                               const GFontInfo* fontInfo, const GByteBuffer* image) {
  return Locked(
      [&](GTTFontFileImp& font) { return font.LoadGlyph(context, glyph, code, render, encoding, fontInfo, image); });
}

uint32_t GTTFontFile::CacheGlyph(uint16_t glyph, std::unique_ptr<GByteBuffer> outline,
                                 std::unique_ptr<GByteBuffer> image) {
  return Locked([&](GTTFontFileImp& font) { return font.CacheGlyph(glyph, std::move(outline), std::move(image)); });
}

int32_t GTTFontFile::GetCachedOutline(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  return Locked([&](GTTFontFileImp& font) { return font.GetCachedOutline(glyph, out); });
}

int32_t GTTFontFile::GetCachedImage(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) {
  out.reset();
  return Locked([&](GTTFontFileImp& font) { return font.GetCachedImage(glyph, out); });
}

int32_t GTTFontFile::Preload(uint32_t context, int32_t encoding) {
  return Locked([&](GTTFontFileImp& font) { return font.Preload(context, encoding); });
}

int32_t GTTFontFile::GetGlyphCount(uint32_t context, uint16_t& count) {
  return Locked([&](GTTFontFileImp& font) { return font.GetGlyphCount(context, count); });
}

int32_t GTTFontFile::GetTypoDescender(uint32_t context, int16_t& descender) {
  return Locked([&](GTTFontFileImp& font) { return font.GetTypoDescender(context, descender); });
}

int32_t GTTFontFile::GetHorizontalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceWidth,
                                          int16_t& leftSideBearing) {
  return Locked(
      [&](GTTFontFileImp& font) { return font.GetHorizontalMetrics(context, glyph, advanceWidth, leftSideBearing); });
}

int32_t GTTFontFile::GetVerticalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceHeight,
                                        int16_t& topSideBearing) {
  return Locked(
      [&](GTTFontFileImp& font) { return font.GetVerticalMetrics(context, glyph, advanceHeight, topSideBearing); });
}

// The font data's lock is let go before the pool's is taken: the pool lock
// always comes first.
int32_t GTTFontFile::AddUser(uint32_t owner) {
  if (fontData_ == nullptr || pool_ == nullptr) return 0;
  Locked([&](GTTFontFileImp& font) {
    font.AddUser(owner);
    return 0;
  });
  return pool_->Add(fontData_);
}

bool GTTFontFile::SameContent(const MPersistentObject& other) const {
  const auto* handle = dynamic_cast<const GTTFontFile*>(&other);
  if (handle == nullptr || handle->ClassID() != ClassID() || !MPersistentObject::SameContent(other)) return false;
  if (fontData_ == handle->fontData_) return true;
  if (fontData_ == nullptr || handle->fontData_ == nullptr) return false;
  fontData_->Lock();
  handle->fontData_->Lock();
  const bool same = fontData_->SameContent(*handle->fontData_);
  handle->fontData_->Unlock();
  fontData_->Unlock();
  return same;
}

void GTTFontFile::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  uint32_t key = kNoFontKey;
  uint32_t changeCount = kNoChangeCount;
  if (!archive.IsRestoring() && fontData_ != nullptr) {
    Locked([&](GTTFontFileImp& font) {
      key = font.GetFontKey();
      changeCount = font.GetChangeCount();
      return 0;
    });
  }
  const bool read = archive.UInt32(key) && archive.UInt32(changeCount);
  if (!archive.IsRestoring()) return;
  ReleaseFontData();
  pool_ = GTTFontPool::Instance();
  if (read && key != kNoFontKey && pool_ != nullptr) fontData_ = pool_->Find(key, changeCount);
}
