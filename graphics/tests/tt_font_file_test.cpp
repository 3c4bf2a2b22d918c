// The TrueType reader over fonts held in memory: what it reads from the
// source, what it caches, and how it stores itself.

#include "graphics/fonts/truetype/tt_font_file_imp.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/truetype/glyph_cache.h"
#include "graphics/fonts/truetype/tt_table_cache.h"
#include "graphics/fonts/truetype/tt_tables.h"
#include "model/testing/round_trip.h"

namespace {

using memory_font::Bytes;
using memory_font::CompositeOutline;
using memory_font::SimpleOutline;
using tt_tables::MakeTag;

Bytes Sequence(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  return bytes;
}

TEST(TTFontFileImp, EveryRequiredTableMustBeThere) {
  MemoryFontData complete;
  complete.SetRequiredTables({SimpleOutline(2)});
  EXPECT_EQ(complete.HasRequiredTables(0), 1);
  for (uint32_t index : tt_tables::kRequired) {
    SCOPED_TRACE(index);
    MemoryFontData font;
    font.SetRequiredTables({SimpleOutline(2)});
    font.tables.erase(tt_tables::TagOf(index));
    EXPECT_EQ(font.HasRequiredTables(0), 0);
  }
}

TEST(TTFontFileImp, ReadTableStaysInsideTheTable) {
  struct Case {
    const char* name;
    bool cacheable;
    size_t tableSize;
    uint32_t offset;
    uint32_t length;
    bool read;
  };
  const Case cases[] = {
      {"cached_ends_at_the_end", true, 100, 96, 4, true},
      {"cached_one_byte_over", true, 100, 97, 4, false},
      {"piecewise_ends_at_the_end", false, 100, 96, 4, true},
      {"piecewise_one_byte_over", false, 100, 97, 4, false},
      {"offset_near_the_top", true, 100, 0xFFFFFFFE, 4, false},
      {"large_table_ends_at_the_end", true, tt_tables::kWholeTableLimit, tt_tables::kWholeTableLimit - 4, 4, true},
      {"large_table_one_byte_over", true, tt_tables::kWholeTableLimit, tt_tables::kWholeTableLimit - 3, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFontData font;
    const Bytes table = Sequence(c.tableSize);
    font.tables[MakeTag("kern")] = table;
    uint8_t read[4] = {};
    ASSERT_EQ(font.ReadTable(0, tt_tables::kKern, c.offset, c.cacheable, read, c.length), c.read ? c.length : 0);
    if (c.read) {
      EXPECT_EQ(Bytes(read, read + 4), Bytes(table.begin() + c.offset, table.begin() + c.offset + 4));
    }
  }
}

TEST(TTFontFileImp, OnlyTablesBelowTheLimitAreReadWholeAndCached) {
  struct Case {
    const char* name;
    size_t size;
    bool cached;
  };
  const Case cases[] = {{"below_the_limit", tt_tables::kWholeTableLimit - 1, true},
                        {"at_the_limit", tt_tables::kWholeTableLimit, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFontData font;
    font.tables[MakeTag("glyf")] = Sequence(c.size);
    uint8_t read[2] = {};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(font.ReadTable(0, tt_tables::kGlyf, 10, true, read, 2), 2u);
    EXPECT_EQ(font.wholeReads, c.cached ? 1u : 0u);
    EXPECT_EQ(font.partReads, c.cached ? 0u : 3u);
    EXPECT_EQ(font.GetChangeCount(), c.cached ? 1u : 0u);
    std::unique_ptr<GByteBuffer> table;
    EXPECT_EQ(font.GetTable(0, tt_tables::kGlyf, true, table), c.size);
    EXPECT_EQ(font.wholeReads, 1u) << "GetTable reads a table at the limit whole, one below comes from the cache";
  }
}

TEST(TTFontFileImp, AnAbsentTableIsAskedOnceThroughGetTableButEveryTimeThroughReadTable) {
  MemoryFontData font;
  std::unique_ptr<GByteBuffer> table;
  EXPECT_EQ(font.GetTable(0, tt_tables::kVhea, true, table), 0u);
  EXPECT_EQ(font.GetTable(0, tt_tables::kVhea, true, table), 0u);
  EXPECT_FALSE(table);
  EXPECT_EQ(font.sizeQueries, 1u);
  EXPECT_EQ(font.GetChangeCount(), 1u);

  uint8_t read[2] = {};
  EXPECT_EQ(font.ReadTable(0, tt_tables::kVhea, 0, true, read, 2), 0u);
  EXPECT_EQ(font.ReadTable(0, tt_tables::kVhea, 0, true, read, 2), 0u);
  EXPECT_EQ(font.sizeQueries, 3u);
  EXPECT_EQ(font.GetChangeCount(), 3u) << "every store of the empty entry counts";

  MemoryFontData uncached;
  uncached.cachingAllowed = false;
  EXPECT_EQ(uncached.GetTable(0, tt_tables::kVhea, true, table), 0u);
  EXPECT_EQ(uncached.GetTable(0, tt_tables::kVhea, true, table), 0u);
  EXPECT_EQ(uncached.sizeQueries, 2u);
  EXPECT_EQ(uncached.GetChangeCount(), 0u);
}

TEST(TTFontFileImp, GetTableHandsOutTheCachedBytesAfterTheFirstRead) {
  MemoryFontData font;
  const Bytes bytes = Sequence(40);
  font.tables[MakeTag("name")] = bytes;
  std::unique_ptr<GByteBuffer> first;
  ASSERT_EQ(font.GetTable(0, tt_tables::kName, true, first), 40u);
  std::unique_ptr<GByteBuffer> second;
  ASSERT_EQ(font.GetTable(0, tt_tables::kName, true, second), 40u);
  EXPECT_EQ(font.wholeReads, 1u);
  EXPECT_FALSE(second->OwnsData());
  EXPECT_EQ(Bytes(second->GetData(), second->GetData() + 40), bytes);
  EXPECT_EQ(first->GetData(), second->GetData()) << "the first buffer points at what the cache took over";
  EXPECT_EQ(font.GetTableLength(0, tt_tables::kName), 40u);
}

TEST(TTFontFileImp, GlyphDataFollowsLocaInBothFormats) {
  const std::vector<Bytes> outlines = {SimpleOutline(3), {}, SimpleOutline(8), CompositeOutline({0, 2})};
  for (uint16_t format : {0, 1}) {
    SCOPED_TRACE(format);
    MemoryFontData font;
    font.SetGlyphs(outlines, format);
    const Bytes& glyf = font.tables[MakeTag("glyf")];
    uint32_t offset = 0;
    for (uint16_t glyph = 0; glyph < outlines.size(); ++glyph) {
      SCOPED_TRACE(glyph);
      std::unique_ptr<GByteBuffer> outline;
      const uint32_t length = font.GetGlyphData(0, true, glyph, outline);
      ASSERT_TRUE(outline);
      const size_t padded = outlines[glyph].size() + outlines[glyph].size() % 2;
      EXPECT_EQ(length, padded);
      EXPECT_EQ(Bytes(outline->GetData(), outline->GetData() + length),
                Bytes(glyf.begin() + offset, glyf.begin() + offset + length));
      EXPECT_EQ(font.GetGlyphDataOffset(0, glyph), offset);
      offset += length;
    }
  }
}

TEST(TTFontFileImp, BrokenLocaGivesEmptyOrNoOutlines) {
  struct Case {
    const char* name;
    uint16_t locaFormat;
    // Sets the low byte of the short loca entry at the index.
    size_t entry;
    uint8_t value;
    uint16_t glyph;
    bool outline;
  };
  const Case cases[] = {
      {"next_offset_smaller_is_empty", 0, 0, 14, 0, true},
      {"outline_past_the_end_of_glyf", 0, 2, 200, 1, false},
      {"no_next_entry", 0, 0, 0, 2, false},
      {"loca_format_neither_0_nor_1", 2, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFontData font;
    font.SetGlyphs({SimpleOutline(4), SimpleOutline(4)}, c.locaFormat);
    if (c.value != 0) font.tables[MakeTag("loca")][2 * c.entry + 1] = c.value;
    std::unique_ptr<GByteBuffer> outline;
    EXPECT_EQ(font.GetGlyphData(0, true, c.glyph, outline), 0u);
    EXPECT_EQ(outline != nullptr, c.outline);
  }
}

TEST(TTFontFileImp, CompositeOfCompositeCachesEveryOutlineAndRendersOnlyTheOuter) {
  MemoryFontData font;
  font.SetGlyphs({SimpleOutline(2), SimpleOutline(6), CompositeOutline({0, 1}), CompositeOutline({2, 1})}, 0);
  EXPECT_EQ(font.LoadGlyph(0, 3, 0x41, true, 16, nullptr, nullptr), 1);
  for (uint16_t glyph = 0; glyph < 4; ++glyph) {
    std::unique_ptr<GByteBuffer> cached;
    EXPECT_EQ(font.GetCachedOutline(glyph, cached), 1) << glyph;
  }
  ASSERT_EQ(font.renders.size(), 1u);
  EXPECT_EQ(font.renders[0], std::make_pair(uint16_t{3}, uint16_t{0x41})) << "Unicode renders by glyph index";

  font.renders.clear();
  EXPECT_EQ(font.LoadGlyph(0, 3, 0x41, true, 0, nullptr, nullptr), 1);
  EXPECT_EQ(font.renders[0], std::make_pair(uint16_t{0x41}, uint16_t{0x41})) << "other encodings render by code";
  font.imageLength = 0;
  EXPECT_EQ(font.LoadGlyph(0, 3, 0x41, true, 0, nullptr, nullptr), 0) << "a failed render fails";
}

TEST(TTFontFileImp, MalformedCompositesFailWithoutEndlessWork) {
  struct Case {
    const char* name;
    std::vector<Bytes> outlines;
  };
  Bytes truncated = CompositeOutline({0});
  // Two bytes short, as glyf keeps outlines at even offsets.
  truncated.resize(truncated.size() - 2);
  Bytes wordsPastTheEnd = CompositeOutline({0});
  wordsPastTheEnd[11] |= 0x01;  // arguments are words: two more bytes
  const Case cases[] = {
      {"names_itself", {SimpleOutline(2), CompositeOutline({1})}},
      {"two_name_each_other", {CompositeOutline({1}), CompositeOutline({0})}},
      {"component_missing", {CompositeOutline({40})}},
      {"record_cut_short", {SimpleOutline(2), truncated}},
      {"arguments_past_the_end", {SimpleOutline(2), wordsPastTheEnd}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFontData font;
    font.SetGlyphs(c.outlines, 1);
    EXPECT_EQ(font.LoadGlyph(0, 1, 0, false, 0, nullptr, nullptr), 0);
  }
  // A glyph that names one composite 64 times, which names another 64
  // times, ... is walked once per glyph.
  std::vector<Bytes> wide = {SimpleOutline(2)};
  for (uint16_t level = 1; level < 12; ++level) wide.push_back(CompositeOutline(std::vector<uint16_t>(64, level - 1)));
  MemoryFontData font;
  font.SetGlyphs(wide, 1);
  EXPECT_EQ(font.LoadGlyph(0, 11, 0, false, 0, nullptr, nullptr), 1);
}

TEST(TTFontFileImp, MetricsReadTheLongMetricsAndTheBearingsAfterThem) {
  MemoryFontData font;
  Bytes hhea(36, 0);
  hhea[35] = 2;
  font.tables[MakeTag("hhea")] = hhea;
  // Two long metrics (advance, bearing), then the bearings of glyphs 2, 3.
  font.tables[MakeTag("hmtx")] = {0, 100, 0, 5, 0, 200, 0xFF, 0xF6, 0, 7, 0, 8};
  struct Case {
    const char* name;
    uint16_t glyph;
    uint16_t advance;
    int16_t bearing;
  };
  const Case cases[] = {
      {"first_long", 0, 100, 5}, {"last_long", 1, 200, -10}, {"first_short", 2, 200, 7}, {"last_short", 3, 200, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint16_t advance = 0;
    int16_t bearing = 0;
    ASSERT_EQ(font.GetHorizontalMetrics(0, c.glyph, advance, bearing), 1);
    EXPECT_EQ(advance, c.advance);
    EXPECT_EQ(bearing, c.bearing);
  }
  uint16_t advance = 0;
  int16_t bearing = 0;
  EXPECT_EQ(font.GetHorizontalMetrics(0, 4, advance, bearing), 0) << "past the bearings";
  EXPECT_EQ(font.GetVerticalMetrics(0, 0, advance, bearing), 0) << "no vhea";

  MemoryFontData noLongMetrics;
  noLongMetrics.tables[MakeTag("hhea")] = Bytes(36, 0);
  noLongMetrics.tables[MakeTag("hmtx")] = Bytes(8, 1);
  EXPECT_EQ(noLongMetrics.GetHorizontalMetrics(0, 0, advance, bearing), 0);
}

TEST(TTFontFileImp, HeaderValuesAreReadOnceAndCounted) {
  MemoryFontData font;
  font.SetRequiredTables({SimpleOutline(2), SimpleOutline(2)});
  Bytes& os2 = font.tables[MakeTag("OS/2")];
  os2[70] = 0xFF;
  os2[71] = 0x38;
  uint16_t count = 0;
  int16_t descender = 0;
  ASSERT_EQ(font.GetGlyphCount(0, count), 1);
  ASSERT_EQ(font.GetTypoDescender(0, descender), 1);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(descender, -200);
  const uint32_t changes = font.GetChangeCount();
  const uint32_t reads = font.partReads;
  font.tables.clear();
  ASSERT_EQ(font.GetGlyphCount(0, count), 1);
  ASSERT_EQ(font.GetTypoDescender(0, descender), 1);
  EXPECT_EQ(font.GetChangeCount(), changes);
  EXPECT_EQ(font.partReads, reads);
  int16_t box[4] = {};
  EXPECT_EQ(font.GetFontBox(0, box[0], box[1], box[2], box[3]), 0) << "head is gone";
}

TEST(TTFontFileImp, PreloadReadsItsTablesAndGlyphZeroOnce) {
  MemoryFontData font;
  font.SetRequiredTables({SimpleOutline(2)});
  font.cachingAllowed = false;
  EXPECT_EQ(font.Preload(0, 0), 1);
  const GTTTableCache* cache = font.GetTableCache();
  ASSERT_NE(cache, nullptr);
  for (uint32_t index : tt_tables::kPreload) EXPECT_TRUE(cache->Get(index)) << index;
  std::unique_ptr<GByteBuffer> outline;
  EXPECT_EQ(font.GetCachedOutline(0, outline), 1);
  const uint32_t changes = font.GetChangeCount();
  const uint32_t asked = font.sizeQueries + font.wholeReads + font.partReads;
  EXPECT_EQ(font.Preload(0, 0), 1);
  EXPECT_EQ(font.GetChangeCount(), changes);
  EXPECT_EQ(font.sizeQueries + font.wholeReads + font.partReads, asked);
}

TEST(TTFontFileImp, RestoredFontDataKeepsItsCachesAndValues) {
  MemoryFontData font(77);
  font.SetRequiredTables({SimpleOutline(2), CompositeOutline({0})});
  font.Preload(0, 0);
  uint16_t count = 0;
  font.GetGlyphCount(0, count);
  font.LoadGlyph(0, 1, 0, false, 0, nullptr, nullptr);
  font.FirstSourceGroup() = {true, -3, 4, 5};
  EXPECT_TRUE(RoundTrips(font));
  MemoryFontData empty(78);
  EXPECT_TRUE(RoundTrips(empty));
}

TEST(TTFontFileImp, StoredFormOfFontDataWithoutCaches) {
  MemoryFontData font(0x01020304);
  font.SecondSourceGroup() = {true, -2, 3, 0xFFFF};
  const std::string bytes = SaveContentsToFileBytes(font);
  // The root's part (version, key, serial number) comes first.
  const std::string own = bytes.substr(12);
  const std::string expected = std::string(
                                   "\x01\x00\x00\x00"  // version
                                   "\x00\x00\x00\x00"  // change count
                                   "\x04\x03\x02\x01"  // font key
                                   "\xFF"              // loca format unknown
                                   "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                   "\x01\x00\x00\x00\xFE\xFF\x03\x00\xFF\xFF",
                                   33) +
                               std::string(4 * 6, '\0');
  EXPECT_EQ(own.substr(0, expected.size()), expected);
}

}  // namespace
