#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmaps/byte_buffer.h"
#include "model/objects/persistent_object.h"

class GTTFontFileImp;
class GTTFontPool;
struct GFontInfo;

// A persistent handle on one font's shared data. Every operation takes the
// font data's lock, calls the font data's operation of the same purpose and
// releases the lock. A handle holds one use of the font data; its
// destructor gives the use back to the pool it came from.
//
// A handle without font data (restored from a job whose fonts the pool no
// longer holds as richly) answers 0 from every operation without touching
// anything.
//
// Stored part after the root's: version 1, the font key and the change
// count of the font data; a handle without font data stores kNoFontKey and
// kNoChangeCount in their places, so the stored form always has both words.
// Restoring asks the process's pool for the font with that key and at least
// that change count.
class GTTFontFile : public MPersistentObject {
 public:
  static constexpr uint32_t kNoFontKey = 0xFFFFFFFF;
  static constexpr uint32_t kNoChangeCount = 0xFFFFFFFF;

  GTTFontFile() = default;
  // Takes one use of the font data (under its lock).
  GTTFontFile(GTTFontPool* pool, GTTFontFileImp* fontData);
  GTTFontFile(const GTTFontFile& other);
  GTTFontFile& operator=(const GTTFontFile&) = delete;
  ~GTTFontFile() override;

  GTTFontFileImp* GetFontData() const { return fontData_; }

  int32_t HasRequiredTables(uint32_t context);
  int32_t SourceQueryA(uint32_t context, uint32_t first, uint32_t second, uint32_t third);
  int32_t SourceQueryB(uint32_t context, uint32_t first, uint32_t second, uint32_t third);
  uint32_t ReadTable(uint32_t context, uint32_t index, uint32_t offset, bool cacheable, uint8_t* destination,
                     uint32_t length);
  uint32_t GetTable(uint32_t context, uint32_t index, bool cache, std::unique_ptr<GByteBuffer>& out);
  uint32_t GetTableLength(uint32_t context, uint32_t index);
  uint32_t GetGlyphImage(uint32_t context, bool cache, uint16_t glyph, uint16_t code, std::unique_ptr<GByteBuffer>& out,
                         uint32_t sourceValue, int32_t encoding, const GFontInfo* fontInfo);
  int32_t QueryGlyph(uint32_t context, uint16_t first, int16_t second, uint32_t third, const GFontInfo* fontInfo);
  uint32_t GetGlyphData(uint32_t context, bool cache, uint16_t glyph, std::unique_ptr<GByteBuffer>& out);
  uint32_t GetGlyphDataOffset(uint32_t context, uint16_t glyph);
  uint16_t GetGlyphIndex(uint32_t context, bool vertical, uint16_t code, int32_t encoding);
  int32_t GetFontBox(uint32_t context, int16_t& xMin, int16_t& yMin, int16_t& xMax, int16_t& yMax);
  int32_t LoadGlyph(uint32_t context, uint16_t glyph, uint16_t code, bool render, int32_t encoding,
                    const GFontInfo* fontInfo, const GByteBuffer* image);
  uint32_t CacheGlyph(uint16_t glyph, std::unique_ptr<GByteBuffer> outline, std::unique_ptr<GByteBuffer> image);
  int32_t GetCachedOutline(uint16_t glyph, std::unique_ptr<GByteBuffer>& out);
  int32_t GetCachedImage(uint16_t glyph, std::unique_ptr<GByteBuffer>& out);
  int32_t Preload(uint32_t context, int32_t encoding);
  int32_t GetGlyphCount(uint32_t context, uint16_t& count);
  int32_t GetTypoDescender(uint32_t context, int16_t& descender);
  int32_t GetHorizontalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceWidth, int16_t& leftSideBearing);
  int32_t GetVerticalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceHeight, int16_t& topSideBearing);
  // Enters the owner into the font's user list, then (with the font data
  // unlocked) the font data into the pool; the pool's answer.
  int32_t AddUser(uint32_t owner);

  RWCollectable* NewInstance() const override { return new GTTFontFile; }
  RWCollectable* Clone() const override { return new GTTFontFile(*this); }
  RWClassID ClassID() const override { return kGTTFontFileClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTTFontFileClassID || MPersistentObject::IsKindOf(id); }
  // Same class, equal base parts, and the same font data or font data of
  // the same content (both locked while compared).
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Runs the call on the font data under its lock; 0 without font data.
  template <typename Call>
  auto Locked(Call call) -> decltype(call(std::declval<GTTFontFileImp&>()));
  // Gives the use back to the pool.
  void ReleaseFontData();

  GTTFontPool* pool_ = nullptr;
  GTTFontFileImp* fontData_ = nullptr;
};
