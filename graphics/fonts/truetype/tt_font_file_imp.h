#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/truetype/character_mapping.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

class GGlyphCache;
class GLock;
class GTTTableCache;
struct GFontInfo;

// The shared data of one TrueType font: the bytes come from a data source
// (the eight abstract operations, which a class derived from this one
// supplies), and what has been read is kept in a table cache and a glyph
// cache, so that a table or a glyph is fetched once per process and a job
// spooled to disk can carry the font data it used.
//
// Tables are named by their index in tt_tables.h. The first argument of
// every data operation is an opaque font context handed to the source
// unchanged. Callers hold the lock (Lock/Unlock) around every operation; the
// operations call each other without locking.
//
// Fonts come from outside the driver: every read is bounded by its table
// (a range outside a table answers 0), offsets are computed in 64 bits, and
// composite glyphs are walked with a fixed depth limit.
//
// Stored part after the root's: version 1, the change count, the font key,
// the loca format, the two source groups, the four header values with their
// flags, then the table cache and the glyph cache as object references (the
// nil object for a missing one). The lock, the use count, the preloaded
// flag and the user and owner lists are not stored.
class GTTFontFileImp : public MPersistentObject {
 public:
  // A group of values that only the data source fills; the reader copies,
  // compares and stores them.
  struct SourceGroup {
    bool valid = false;
    int16_t first = 0;
    int16_t second = 0;
    uint16_t third = 0;
    bool operator==(const SourceGroup&) const = default;
  };

  // A header value read once from the font.
  template <typename T>
  struct HeaderValue {
    bool valid = false;
    T value = 0;
    bool operator==(const HeaderValue&) const = default;
  };

  // The loca format before head has been read.
  static constexpr uint8_t kLocaFormatUnknown = 255;

  // The lock comes from the OS factory; without a factory the object has
  // none and callers must keep it on one thread.
  explicit GTTFontFileImp(uint32_t fontKey = 0);
  GTTFontFileImp(const GTTFontFileImp&) = delete;
  GTTFontFileImp& operator=(const GTTFontFileImp&) = delete;
  ~GTTFontFileImp() override;

  // Locking. A failed lock is fatal error 301, a failed release 302.
  void Lock();
  void Unlock();
  bool IsLocked() const { return locked_; }

  uint32_t GetFontKey() const { return fontKey_; }
  uint32_t GetChangeCount() const { return changeCount_; }
  void SetChangeCount(uint32_t count) { changeCount_ = count; }

  // Bookkeeping of the pool and the handles, under the lock.
  int16_t GetUseCount() const { return useCount_; }
  void SetUseCount(int16_t count) { useCount_ = count; }
  // Jobs that used the font since their last save, and jobs that restored
  // it; each owner at most once. Removing answers whether it was there.
  void AddUser(uint32_t owner) { AddOwnerTo(users_, owner); }
  bool HasUser(uint32_t owner) const;
  bool RemoveUser(uint32_t owner) { return RemoveOwnerFrom(users_, owner); }
  void AddOwner(uint32_t owner) { AddOwnerTo(owners_, owner); }
  bool RemoveOwner(uint32_t owner) { return RemoveOwnerFrom(owners_, owner); }
  bool HasOwners() const { return !owners_.empty(); }

  // 1 when all ten required tables have a non-zero size, else 0.
  int32_t HasRequiredTables(uint32_t context);
  // Copies length bytes from offset of the table into destination; the
  // length, or 0 when the range is not inside the table or a read fails.
  // A cacheable read of a table below the whole-table limit reads the whole
  // table into the table cache (and remembers an absent one).
  uint32_t ReadTable(uint32_t context, uint32_t index, uint32_t offset, bool cacheable, uint8_t* destination,
                     uint32_t length);
  // The whole table: a buffer on the cached bytes, or a new owned buffer
  // read from the source (cached too when asked and allowed); its length,
  // 0 and no buffer when the table is absent or cannot be read.
  uint32_t GetTable(uint32_t context, uint32_t index, bool cache, std::unique_ptr<GByteBuffer>& out);
  // The cached table's length, else the source's size.
  uint32_t GetTableLength(uint32_t context, uint32_t index);

  // The glyph's outline bytes (its glyf slice); the length, with an empty
  // buffer for a glyph without outline; 0 and no buffer when the glyph
  // cannot be read.
  virtual uint32_t GetGlyphData(uint32_t context, bool cache, uint16_t glyph, std::unique_ptr<GByteBuffer>& out);
  // The offset of the glyph's outline in glyf; 0 when loca cannot be read.
  virtual uint32_t GetGlyphDataOffset(uint32_t context, uint16_t glyph);
  // The glyph of the code in the encoding (encoding 1: the code is the
  // glyph while it is below the glyph count); with vertical set, its
  // vertical form from mort, or from GSUB when the font has no mort. 0 when
  // the font has none.
  uint16_t GetGlyphIndex(uint32_t context, bool vertical, uint16_t code, int32_t encoding);
  // The cmap subtable that serves the encoding.
  virtual void SelectCharacterMap(const GByteBuffer& cmap, int32_t encoding, GCharacterMapChoice& choice);

  // The cached image, else the source's rendering (cached when asked);
  // the image's length.
  uint32_t GetGlyphImage(uint32_t context, bool cache, uint16_t glyph, uint16_t code, std::unique_ptr<GByteBuffer>& out,
                         uint32_t sourceValue, int32_t encoding, const GFontInfo* fontInfo);
  // Loads the glyph's outline and those of all its components into the
  // glyph cache; with render set and no image given, has the source render
  // it. 1 on success, 0 on failure.
  int32_t LoadGlyph(uint32_t context, uint16_t glyph, uint16_t code, bool render, int32_t encoding,
                    const GFontInfo* fontInfo, const GByteBuffer* image);

  // Stores a node of the two buffers (either may be null); answers the
  // number of glyphs stored.
  uint32_t CacheGlyph(uint16_t glyph, std::unique_ptr<GByteBuffer> outline, std::unique_ptr<GByteBuffer> image);
  // 1 and a buffer on the cached bytes when the glyph has them, else 0.
  int32_t GetCachedOutline(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) const;
  int32_t GetCachedImage(uint16_t glyph, std::unique_ptr<GByteBuffer>& out) const;

  // Reads the preload tables and glyph 0 once; always 1.
  int32_t Preload(uint32_t context, int32_t encoding);
  bool IsPreloaded() const { return preloaded_; }

  // head's xMin, yMin, xMax, yMax: 8, or 0 when head cannot be read.
  int32_t GetFontBox(uint32_t context, int16_t& xMin, int16_t& yMin, int16_t& xMax, int16_t& yMax);
  // 1 with the value, or 0 when the table cannot be read.
  int32_t GetGlyphCount(uint32_t context, uint16_t& count);
  int32_t GetTypoDescender(uint32_t context, int16_t& descender);
  int32_t GetHorizontalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceWidth, int16_t& leftSideBearing);
  int32_t GetVerticalMetrics(uint32_t context, uint16_t glyph, uint16_t& advanceHeight, int16_t& topSideBearing);

  // Merges the other font data's caches into this one's (entries move only
  // into empty places) and copies its loca format, source groups and
  // header values. The caller holds both locks.
  virtual void UpdateFrom(GTTFontFileImp& other);

  // The data source.
  virtual int32_t SourceQueryA(uint32_t context, uint32_t first, uint32_t second, uint32_t third) = 0;
  virtual int32_t SourceQueryB(uint32_t context, uint32_t first, uint32_t second, uint32_t third) = 0;
  // Reads the whole table into a new owned buffer; the bytes read.
  virtual uint32_t ReadWholeTable(uint32_t context, uint32_t tag, std::unique_ptr<GByteBuffer>& out, uint32_t size) = 0;
  // Reads a range of the table into destination; the bytes read.
  virtual uint32_t ReadTablePart(uint32_t context, uint32_t tag, uint32_t offset, uint8_t* destination,
                                 uint32_t length) = 0;
  // The table's size; 0 when the font has none.
  virtual uint32_t GetTableSize(uint32_t context, uint32_t tag) = 0;
  // Non-zero when whole tables may be read and cached.
  virtual int32_t IsCachingAllowed() = 0;
  // Renders a glyph image into a new buffer; the image's length, 0 on
  // failure.
  virtual uint32_t RenderGlyph(uint32_t context, bool cache, uint16_t glyph, uint16_t code,
                               std::unique_ptr<GByteBuffer>& out, uint32_t sourceValue, int32_t encoding,
                               const GFontInfo* fontInfo) = 0;
  virtual int32_t QueryGlyph(uint32_t context, uint16_t first, int16_t second, uint32_t third,
                             const GFontInfo* fontInfo) = 0;

  // The groups the data source keeps here.
  SourceGroup& FirstSourceGroup() { return firstGroup_; }
  SourceGroup& SecondSourceGroup() { return secondGroup_; }

  const GTTTableCache* GetTableCache() const;
  const GGlyphCache* GetGlyphCache() const;

  // Same key, every cached value and flag equal, and caches both missing or
  // of the same content.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  struct ComponentWalk;

  static void AddOwnerTo(std::vector<uint32_t>& owners, uint32_t owner);
  static bool RemoveOwnerFrom(std::vector<uint32_t>& owners, uint32_t owner);

  // Stores the buffer's bytes in the table cache (see HandOver).
  void CacheTable(uint32_t index, std::unique_ptr<GByteBuffer> buffer);
  // A header value read once, by ReadTable of two bytes at offset.
  template <typename T>
  bool ReadHeaderValue(uint32_t context, HeaderValue<T>& value, uint32_t index, uint32_t offset);
  int32_t GetMetrics(uint32_t context, uint16_t glyph, uint32_t metricsTable, uint16_t count, uint16_t& advance,
                     int16_t& bearing);
  bool GetLocaFormat(uint32_t context, uint8_t& format);
  // The glyph's outline offset and length in glyf.
  bool GetGlyphRange(uint32_t context, uint16_t glyph, uint32_t& offset, uint32_t& length);
  int32_t LoadGlyphIn(ComponentWalk& walk, uint32_t context, uint16_t glyph, uint16_t code, bool render,
                      int32_t encoding, const GFontInfo* fontInfo, const GByteBuffer* image, uint32_t depth);
  bool LoadComponents(ComponentWalk& walk, uint32_t context, const GByteBuffer& outline, uint16_t code,
                      int32_t encoding, const GFontInfo* fontInfo, uint32_t depth);
  // The table as bytes (cached when allowed); empty when absent. holder
  // keeps the bytes alive.
  std::span<const uint8_t> TableBytes(uint32_t context, uint32_t index, std::unique_ptr<GByteBuffer>& holder);
  GTTTableCache& TableCache();
  GGlyphCache& GlyphCache();

  std::unique_ptr<GLock> lock_;
  bool locked_ = false;
  uint32_t changeCount_ = 0;
  uint32_t fontKey_;
  std::vector<uint32_t> users_;
  std::vector<uint32_t> owners_;
  uint8_t locaFormat_ = kLocaFormatUnknown;
  SourceGroup firstGroup_;
  SourceGroup secondGroup_;
  HeaderValue<uint16_t> numGlyphs_;
  HeaderValue<int16_t> typoDescender_;
  HeaderValue<uint16_t> numberOfHMetrics_;
  HeaderValue<uint16_t> numOfLongVerMetrics_;
  int16_t useCount_ = 0;
  bool preloaded_ = false;
  // A GTTTableCache and a GGlyphCache, made on the first store.
  GObjectRef tableCache_;
  GObjectRef glyphCache_;
};
