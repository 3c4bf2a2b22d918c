#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/rw_cstring.h"
#include "graphics/fonts/truetype/sfnt_file.h"
#include "graphics/fonts/truetype/tt_font_file_imp.h"

// What renders glyph images and answers glyph queries for a font file's
// data. The glyph rendering belongs to the font host; without a renderer
// the data source renders no images and answers every query with 0.
class GTTGlyphRenderer {
 public:
  GTTGlyphRenderer() = default;
  GTTGlyphRenderer(const GTTGlyphRenderer&) = delete;
  GTTGlyphRenderer& operator=(const GTTGlyphRenderer&) = delete;
  virtual ~GTTGlyphRenderer() = default;

  // A new image of the glyph in out; its length, 0 on failure.
  virtual uint32_t RenderGlyph(GTTFontFileImp& font, uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                               std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                               const GFontInfo* fontInfo) = 0;
  virtual int32_t QueryGlyph(GTTFontFileImp& font, uint32_t context, uint16_t first, int16_t second, uint32_t third,
                             const GFontInfo* fontInfo) = 0;
  virtual int32_t SourceQueryA(GTTFontFileImp& font, uint32_t context, uint32_t first, uint32_t second,
                               uint32_t third) = 0;
  virtual int32_t SourceQueryB(GTTFontFileImp& font, uint32_t context, uint32_t first, uint32_t second,
                               uint32_t third) = 0;
};

// TrueType font data read from a font file (a plain .ttf): the tables come
// from the file's table directory, whole tables may be cached, and glyph
// images come from the renderer it is given. The context argument of the
// data operations is not used.
//
// Stored part after the font data's: version 1 and the file's path, so that
// a restored object opens its file again.
class GTTFileFontData : public GTTFontFileImp {
 public:
  GTTFileFontData() = default;
  // Opens the file at once; IsOpen tells whether that worked.
  GTTFileFontData(uint32_t fontKey, const RWCString& path);

  bool IsOpen() const { return file_.IsOpen(); }
  const RWCString& GetPath() const { return path_; }
  // The renderer stays the caller's and must outlive its use here; null for
  // none.
  void SetRenderer(GTTGlyphRenderer* renderer) { renderer_ = renderer; }

  int32_t SourceQueryA(uint32_t context, uint32_t first, uint32_t second, uint32_t third) override;
  int32_t SourceQueryB(uint32_t context, uint32_t first, uint32_t second, uint32_t third) override;
  uint32_t ReadWholeTable(uint32_t context, uint32_t tag, std::unique_ptr<GByteBuffer>& out, uint32_t size) override;
  uint32_t ReadTablePart(uint32_t context, uint32_t tag, uint32_t offset, uint8_t* destination,
                         uint32_t length) override;
  uint32_t GetTableSize(uint32_t context, uint32_t tag) override;
  int32_t IsCachingAllowed() override { return 1; }
  uint32_t RenderGlyph(uint32_t context, bool cache, uint16_t glyph, uint16_t code, std::unique_ptr<GByteBuffer>& out,
                       uint32_t sourceValue, int32_t encoding, const GFontInfo* fontInfo) override;
  int32_t QueryGlyph(uint32_t context, uint16_t first, int16_t second, uint32_t third,
                     const GFontInfo* fontInfo) override;

  RWCollectable* NewInstance() const override { return new GTTFileFontData; }
  RWClassID ClassID() const override { return kGTTFileFontDataClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTTFileFontDataClassID || GTTFontFileImp::IsKindOf(id); }
  // The font data's content and the same path.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  RWCString path_;
  GSfntFile file_;
  GTTGlyphRenderer* renderer_ = nullptr;
};
