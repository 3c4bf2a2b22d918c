// Reads every glyph of a font made from arbitrary bytes: outlines, their
// composite components and the metrics must be read inside their tables,
// and every walk must end. Input: flags (bit 0: long loca offsets, bit 1:
// whole tables may be cached), numGlyphs, numberOfHMetrics, the lengths of
// loca and hmtx (16-bit big-endian each), then loca, hmtx and the rest as
// glyf. The seeds are the first glyphs of DejaVu Sans.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/truetype/big_endian_span.h"
#include "graphics/fonts/truetype/sfnt_file.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "graphics/fuzz/sfnt_table.h"

namespace {

using memory_font::Bytes;
using memory_font::PutU16;
using tt_tables::MakeTag;

constexpr size_t kHeaderSize = 9;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The first count glyphs of the font as an input.
std::string Seed(GSfntFile& file, uint16_t count, uint8_t flags) {
  const Bytes head = ReadSfntTable(file, "head");
  const Bytes loca = ReadSfntTable(file, "loca");
  const Bytes glyf = ReadSfntTable(file, "glyf");
  const Bytes hmtx = ReadSfntTable(file, "hmtx");
  const GBigEndianSpan headSpan(head.data(), head.size());
  const GBigEndianSpan locaSpan(loca.data(), loca.size());
  const bool longLoca = headSpan.U16(50).value_or(0) == 1;
  const size_t entry = longLoca ? 4 : 2;
  const uint64_t glyfEnd = longLoca ? locaSpan.U32(4 * count).value_or(0) : 2 * locaSpan.U16(2 * count).value_or(0);
  const size_t hmtxLength = std::min<size_t>(hmtx.size(), 4 * count);
  if (glyfEnd > glyf.size() || loca.size() < entry * (count + 1)) return {};
  Bytes input = {static_cast<uint8_t>(flags | (longLoca ? 1 : 0))};
  PutU16(input, count);
  PutU16(input, count);
  PutU16(input, static_cast<uint16_t>(entry * (count + 1)));
  PutU16(input, static_cast<uint16_t>(hmtxLength));
  input.insert(input.end(), loca.begin(), loca.begin() + static_cast<std::ptrdiff_t>(entry * (count + 1)));
  input.insert(input.end(), hmtx.begin(), hmtx.begin() + static_cast<std::ptrdiff_t>(hmtxLength));
  input.insert(input.end(), glyf.begin(), glyf.begin() + static_cast<std::ptrdiff_t>(glyfEnd));
  return std::string(input.begin(), input.end());
}

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  GSfntFile file;
  if (!file.Open(system_fonts::kDejaVuSans)) return seeds;
  for (uint16_t count : {8, 64, 200}) {
    for (uint8_t flags : {0, 2}) {
      std::string seed = Seed(file, count, flags);
      if (!seed.empty()) seeds.push_back(std::move(seed));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeaderSize) return 0;
  const GBigEndianSpan input(data, size);
  const uint16_t numGlyphs = *input.U16(1);
  const uint16_t locaLength = *input.U16(5);
  const uint16_t hmtxLength = *input.U16(7);
  if (!input.Holds(kHeaderSize, uint64_t{locaLength} + hmtxLength)) return 0;

  MemoryFontData font(1);
  font.cachingAllowed = (data[0] & 2) != 0;
  font.SetGlyphs({}, data[0] & 1);
  Bytes maxp(6, 0);
  maxp[4] = data[1];
  maxp[5] = data[2];
  font.tables[MakeTag("maxp")] = maxp;
  Bytes hhea(36, 0);
  hhea[34] = data[3];
  hhea[35] = data[4];
  font.tables[MakeTag("hhea")] = hhea;
  font.tables[MakeTag("vhea")] = hhea;
  const uint8_t* at = data + kHeaderSize;
  font.tables[MakeTag("loca")] = Bytes(at, at + locaLength);
  font.tables[MakeTag("hmtx")] = Bytes(at + locaLength, at + locaLength + hmtxLength);
  font.tables[MakeTag("vmtx")] = font.tables[MakeTag("hmtx")];
  font.tables[MakeTag("glyf")] = Bytes(at + locaLength + hmtxLength, data + size);
  const size_t glyfSize = font.tables[MakeTag("glyf")].size();

  // A few glyphs past the count too: the count is the font's word only.
  const uint32_t last = std::min<uint32_t>(uint32_t{numGlyphs} + 4, 0xFFFF);
  for (uint32_t glyph = 0; glyph <= last; ++glyph) {
    const auto g = static_cast<uint16_t>(glyph);
    std::unique_ptr<GByteBuffer> outline;
    const uint32_t length = font.GetGlyphData(0, true, g, outline);
    Check(length <= glyfSize && (!outline || outline->GetSize() == length));
    font.LoadGlyph(0, g, g, (glyph & 1) != 0, 16, nullptr, nullptr);
    uint16_t advance = 0;
    int16_t bearing = 0;
    font.GetHorizontalMetrics(0, g, advance, bearing);
    font.GetVerticalMetrics(0, g, advance, bearing);
    font.GetGlyphDataOffset(0, g);
  }
  return 0;
}
