#include "graphics/fonts/testing/memory_font_data.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "graphics/fonts/truetype/tt_tables.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<MemoryFontData>, MemoryFontData::kID, MemoryFontData::kName);

using tt_tables::MakeTag;

}  // namespace

namespace memory_font {

void PutU16(Bytes& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value >> 8));
  bytes.push_back(static_cast<uint8_t>(value));
}

void PutU32(Bytes& bytes, uint32_t value) {
  PutU16(bytes, static_cast<uint16_t>(value >> 16));
  PutU16(bytes, static_cast<uint16_t>(value));
}

Bytes SimpleOutline(uint16_t filler) {
  Bytes outline;
  PutU16(outline, 1);
  for (int i = 0; i < 4; ++i) PutU16(outline, static_cast<uint16_t>(i));
  for (uint16_t i = 0; i < filler; ++i) outline.push_back(static_cast<uint8_t>(i));
  return outline;
}

Bytes CompositeOutline(const std::vector<uint16_t>& components) {
  constexpr uint16_t kMoreComponents = 0x0020;
  Bytes outline;
  PutU16(outline, 0xFFFF);
  for (int i = 0; i < 4; ++i) PutU16(outline, 0);
  for (size_t i = 0; i < components.size(); ++i) {
    PutU16(outline, i + 1 < components.size() ? kMoreComponents : 0);
    PutU16(outline, components[i]);
    outline.push_back(0);
    outline.push_back(0);
  }
  return outline;
}

}  // namespace memory_font

using memory_font::PutU16;
using memory_font::PutU32;

void MemoryFontData::SetGlyphs(const std::vector<Bytes>& outlines, uint16_t locaFormat) {
  Bytes head(54, 0);
  head[50] = static_cast<uint8_t>(locaFormat >> 8);
  head[51] = static_cast<uint8_t>(locaFormat);
  Bytes maxp;
  PutU32(maxp, 0x00005000);
  PutU16(maxp, static_cast<uint16_t>(outlines.size()));
  Bytes loca;
  Bytes glyf;
  for (size_t i = 0; i <= outlines.size(); ++i) {
    if (locaFormat == 0) {
      PutU16(loca, static_cast<uint16_t>(glyf.size() / 2));
    } else {
      PutU32(loca, static_cast<uint32_t>(glyf.size()));
    }
    if (i == outlines.size()) break;
    glyf.insert(glyf.end(), outlines[i].begin(), outlines[i].end());
    // Short offsets count 16-bit words.
    if (glyf.size() % 2 != 0) glyf.push_back(0);
  }
  tables[MakeTag("head")] = head;
  tables[MakeTag("maxp")] = maxp;
  tables[MakeTag("loca")] = loca;
  tables[MakeTag("glyf")] = glyf;
}

void MemoryFontData::SetRequiredTables(const std::vector<Bytes>& outlines) {
  SetGlyphs(outlines, 0);
  Bytes hhea(36, 0);
  hhea[35] = 1;
  tables[MakeTag("hhea")] = hhea;
  // One long metric, then a bearing for every further glyph.
  tables[MakeTag("hmtx")] = Bytes(4 + 2 * (outlines.empty() ? 0 : outlines.size() - 1), 1);
  for (uint32_t tag : {MakeTag("cmap"), MakeTag("name"), MakeTag("post")}) tables[tag] = {0};
  tables[MakeTag("OS/2")] = Bytes(78, 0);
}

uint32_t MemoryFontData::GetTableSize(uint32_t, uint32_t tag) {
  ++sizeQueries;
  const auto found = tables.find(tag);
  return found == tables.end() ? 0 : static_cast<uint32_t>(found->second.size());
}

uint32_t MemoryFontData::ReadWholeTable(uint32_t, uint32_t tag, std::unique_ptr<GByteBuffer>& out, uint32_t size) {
  ++wholeReads;
  out.reset();
  const auto found = tables.find(tag);
  if (found == tables.end() || found->second.size() != size || size == 0) return 0;
  auto* data = new uint8_t[size];
  std::copy(found->second.begin(), found->second.end(), data);
  out = std::make_unique<GByteBuffer>(data, size, true);
  return size;
}

uint32_t MemoryFontData::ReadTablePart(uint32_t, uint32_t tag, uint32_t offset, uint8_t* destination, uint32_t length) {
  ++partReads;
  const auto found = tables.find(tag);
  if (found == tables.end() || uint64_t{offset} + length > found->second.size()) return 0;
  std::copy_n(found->second.begin() + offset, length, destination);
  return length;
}

uint32_t MemoryFontData::RenderGlyph(uint32_t, bool, uint16_t glyph, uint16_t code, std::unique_ptr<GByteBuffer>& out,
                                     uint32_t, int32_t, const GFontInfo*) {
  renders.emplace_back(glyph, code);
  out.reset();
  if (imageLength == 0) return 0;
  out = std::make_unique<GByteBuffer>(new uint8_t[imageLength](), imageLength, true);
  return imageLength;
}
