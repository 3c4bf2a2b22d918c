#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "graphics/fonts/truetype/tt_font_file_imp.h"

// TrueType font data whose tables are held in memory by tag, for tests of
// the reader: it counts what the reader asks of it and records the glyphs
// it renders. Its stored part is the font data's alone.
class MemoryFontData : public GTTFontFileImp {
 public:
  using Bytes = std::vector<uint8_t>;

  static constexpr RWClassID kID = 0x7ED0;
  static constexpr const char* kName = "MemoryFontData";

  MemoryFontData() = default;
  explicit MemoryFontData(uint32_t fontKey) : GTTFontFileImp(fontKey) {}

  // head, maxp, loca and glyf for the outlines, in the short (0) or long (1)
  // loca format.
  void SetGlyphs(const std::vector<Bytes>& outlines, uint16_t locaFormat);
  // The ten tables a usable font needs, each as small as will do, with
  // the outlines as its glyphs.
  void SetRequiredTables(const std::vector<Bytes>& outlines);

  std::map<uint32_t, Bytes> tables;
  bool cachingAllowed = true;
  // Length of the image each render makes; 0 makes renders fail.
  uint32_t imageLength = 4;

  // What the reader asked.
  uint32_t sizeQueries = 0;
  uint32_t wholeReads = 0;
  uint32_t partReads = 0;
  // (glyph, code) of each render.
  std::vector<std::pair<uint16_t, uint16_t>> renders;

  int32_t SourceQueryA(uint32_t, uint32_t first, uint32_t, uint32_t) override { return static_cast<int32_t>(first); }
  int32_t SourceQueryB(uint32_t, uint32_t, uint32_t second, uint32_t) override { return static_cast<int32_t>(second); }
  uint32_t ReadWholeTable(uint32_t context, uint32_t tag, std::unique_ptr<GByteBuffer>& out, uint32_t size) override;
  uint32_t ReadTablePart(uint32_t context, uint32_t tag, uint32_t offset, uint8_t* destination,
                         uint32_t length) override;
  uint32_t GetTableSize(uint32_t context, uint32_t tag) override;
  int32_t IsCachingAllowed() override { return cachingAllowed ? 1 : 0; }
  uint32_t RenderGlyph(uint32_t context, bool cache, uint16_t glyph, uint16_t code, std::unique_ptr<GByteBuffer>& out,
                       uint32_t sourceValue, int32_t encoding, const GFontInfo* fontInfo) override;
  int32_t QueryGlyph(uint32_t, uint16_t first, int16_t, uint32_t, const GFontInfo*) override { return first; }

  RWCollectable* NewInstance() const override { return new MemoryFontData; }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || GTTFontFileImp::IsKindOf(id); }
};

namespace memory_font {

using Bytes = MemoryFontData::Bytes;

// Big-endian numbers appended to bytes.
void PutU16(Bytes& bytes, uint16_t value);
void PutU32(Bytes& bytes, uint32_t value);

// A simple glyph's outline: one contour and the given number of bytes of
// points and instructions after the 10-byte header.
Bytes SimpleOutline(uint16_t filler);
// A composite glyph of the components, each placed with byte arguments.
Bytes CompositeOutline(const std::vector<uint16_t>& components);

}  // namespace memory_font
