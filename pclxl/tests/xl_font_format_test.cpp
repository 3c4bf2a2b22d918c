// The bytes of downloaded PCL XL fonts (headers, segments, character
// records), the pieces a header goes out in and the size placeholders of
// PCL font selections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pclxl/borzan/glyph_components.h"
#include "pclxl/borzan/xl_font_format.h"
#include "pclxl/borzan/xl_font_selection.h"

namespace {

using xl_font::Bytes;

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(XLFontFormat, EncodingsBecomePclSymbolSets) {
  struct Case {
    const char* name;
    int32_t encoding;
    uint16_t symbolSet;
  };
  const Case cases[] = {
      {"glyph_indices_0A", 1, 1},       {"mapped_codes_0B", 2, 2},   {"symbol_19M", 3, 621},
      {"unicode_18N", 16, 590},         {"japanese_19K", 17, 619},   {"korean_pair_19H", 20, 616},
      {"korean_pair_19H_too", 21, 616}, {"big5_18T", 23, 596},       {"highest_14L", 55, 460},
      {"wide_number_579L", 53, 18540},  {"gap_in_the_table", 10, 0}, {"past_the_table", 56, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(xl_font::PclSymbolSet(c.encoding), c.symbolSet);
  }
}

TEST(XLFontFormat, HeaderBlocksSplitAtTheLongestPieceAndPaddingJoinsWhenItFits) {
  struct Case {
    const char* name;
    uint32_t length;
    uint32_t padding;
    std::vector<uint16_t> pieces;
  };
  const Case cases[] = {
      {"small_block", 10, 0, {10}},
      {"small_block_padded", 10, 2, {12}},
      {"longest_single_piece", 65535, 0, {65535}},
      {"one_byte_more_splits", 65536, 0, {65535, 1}},
      {"padding_fills_the_piece", 65532, 3, {65535}},
      {"padding_that_does_not_fit_goes_alone", 65534, 2, {65534, 2}},
      {"padding_after_a_full_piece", 65535, 1, {65535, 1}},
      {"two_full_pieces_and_a_rest", 2 * 65535 + 5, 3, {65535, 65535, 8}},
      {"padding_of_an_empty_table", 0, 3, {3}},
      {"nothing", 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(xl_font::HeaderPieces(c.length, c.padding), c.pieces);
  }
}

TEST(XLFontFormat, HeaderAndSegmentsAreBigEndian) {
  EXPECT_EQ(xl_font::Header(590, xl_font::Technology::kTrueType, 1024), Bytes({0, 0, 0x02, 0x4E, 1, 0, 0x04, 0x00}));
  EXPECT_EQ(xl_font::Header(2, xl_font::Technology::kBitmap, 224), Bytes({0, 0, 0, 2, 254, 0, 0, 224}));
  EXPECT_EQ(xl_font::BitmapResolution(600, 1200), Of(std::string("BR\0\0\0\x04\x02\x58\x04\xB0", 10)));
  EXPECT_EQ(xl_font::NullSegment(), Bytes({0xFF, 0xFF, 0, 0, 0, 0}));
  EXPECT_EQ(xl_font::VerticalRotation(-5), Of(std::string("VR\0\0\0\x04\0\0\xFF\xFB", 10)));
}

TEST(XLFontFormat, GlobalTrueTypeDataHoldsADirectoryAndPaddedTables) {
  const Bytes head = {1, 2, 3, 4, 5};
  const Bytes gdir;
  const Bytes maxp = {9, 9, 9, 9};
  const xl_font::SfntTable tables[] = {{0x67646972, gdir}, {0x68656164, head}, {0x6D617870, maxp}};
  const std::vector<xl_font::HeaderBlock> blocks = xl_font::GlobalTrueType(tables);
  ASSERT_EQ(blocks.size(), 4U);
  // 12 + 3 x 16 directory bytes, then 0 + 8 + 4 table bytes.
  const Bytes directory =
      Of(std::string("GT\0\0\0\x48"
                     "\0\x01\0\0\0\x03\0\x20\0\x01\0\x10"
                     "gdir\0\0\0\0\0\0\0\x3C\0\0\0\0"
                     "head\0\0\0\0\0\0\0\x3C\0\0\0\x08"
                     "maxp\0\0\0\0\0\0\0\x44\0\0\0\x04",
                     6 + 12 + 48));
  EXPECT_EQ(blocks[0].data, directory);
  EXPECT_EQ(blocks[0].padding, 0U);
  EXPECT_EQ(blocks[1].data, gdir);
  EXPECT_EQ(blocks[1].padding, 0U);
  EXPECT_EQ(blocks[2].data, head);
  EXPECT_EQ(blocks[2].padding, 3U);
  EXPECT_EQ(blocks[3].padding, 0U);
}

TEST(XLFontFormat, GalleyCharactersStandInForTheJapaneseYenAndMiddleDot) {
  struct Case {
    const char* name;
    int32_t characterSet;
    int32_t encoding;
    std::optional<Bytes> segment;
  };
  const Bytes none = Of(std::string("GC\0\0\0\x06\0\0\xFF\xFF\0\0", 12));
  const Bytes yen = Of(std::string("GC\0\0\0\x0C\0\0\xFF\xFF\0\x01\0\0\0\xFF\0\xA5", 18));
  const Bytes dot =
      Of(std::string("GC\0\0\0\x18\0\0\xFF\xFF\0\x03"
                     "\0\x20\0\x7D\xFF\x65"
                     "\x20\x3E\x20\x3E\xFF\x65"
                     "\xFF\x61\xFF\x9F\xFF\x65",
                     30));
  const Case cases[] = {
      {"latin_font_no_regions", 16, 2, none},
      {"japanese_as_japanese", 17, 17, yen},
      {"japanese_mapped", 17, 2, yen},
      {"japanese_as_unicode", 17, 16, dot},
      {"japanese_as_symbol_no_segment", 17, 3, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(xl_font::GalleyCharacters(c.characterSet, c.encoding), c.segment);
  }
}

TEST(XLFontFormat, VerticalExclusionListDependsOnCharacterSetAndTextEncoding) {
  using List = xl_font::VerticalList;
  struct Case {
    const char* name;
    int32_t characterSet;
    int32_t encoding;
    std::optional<List> list;
  };
  const Case cases[] = {
      {"japanese_own", 17, 17, List::kA},       {"japanese_unicode", 17, 16, List::kB},
      {"japanese_other", 17, 23, std::nullopt}, {"big5_own", 23, 23, List::kA},
      {"big5_unicode", 23, 16, List::kC},       {"chinese_unicode", 18, 16, List::kD},
      {"chinese_pair", 19, 18, List::kA},       {"chinese_other", 18, 20, std::nullopt},
      {"korean_unicode", 21, 16, List::kE},     {"korean_pair", 20, 22, List::kA},
      {"korean_other", 22, 17, std::nullopt},   {"unicode_font", 16, 2, List::kE},
      {"any_other_font", 1, 2, List::kA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(xl_font::ChooseVerticalList(c.characterSet, c.encoding), c.list);
  }
  EXPECT_EQ(xl_font::VerticalExclusions(List::kA), Of(std::string("VE\0\0\0\x06\0\x01\0\0\0\xFF", 12)));
  const Bytes e = xl_font::VerticalExclusions(List::kE);
  EXPECT_EQ(e.size(), 6U + 2 + 4 * 4);
  EXPECT_EQ(Bytes(e.end() - 4, e.end()), Bytes({0xFF, 0xE7, 0xFF, 0xFF}));
}

TEST(XLFontFormat, OutlineGlyphsCarryLeftSideBearingBeforeAdvance) {
  const Bytes outline = {0xAA, 0xBB};
  EXPECT_EQ(xl_font::TrueTypeGlyph(0x0102, -3, 600, outline),
            Bytes({1, 1, 0, 10, 0xFF, 0xFD, 0x02, 0x58, 0x01, 0x02, 0xAA, 0xBB}));
  EXPECT_EQ(xl_font::VerticalTrueTypeGlyph(7, 5, 1000, 80, outline),
            Bytes({1, 2, 0, 12, 0, 5, 0x03, 0xE8, 0, 80, 0, 7, 0xAA, 0xBB}));
}

TEST(XLFontFormat, BitmapGlyphsGoOutWithByteRowsAndEmptyOnesNotAtAll) {
  // 10 pixels wide: rows of 4 bytes come in, rows of 2 go out.
  const Bytes image = {0xFF, 0xC0, 0, 0, 0x80, 0x40, 0, 0};
  EXPECT_EQ(xl_font::BitmapGlyph({-1, 7, 10, 2}, image),
            Bytes({0, 0, 0xFF, 0xFF, 0, 7, 0, 10, 0, 2, 0xFF, 0xC0, 0x80, 0x40}));
  EXPECT_EQ(xl_font::BitmapGlyph({0, 0, 10, 2}, Bytes(8, 0)), std::nullopt);
  EXPECT_EQ(xl_font::BitmapGlyph({0, 0, 0, 2}, image), std::nullopt);
  EXPECT_EQ(xl_font::BitmapGlyph({0, 0, 10, 3}, image), std::nullopt);
}

TEST(XLFontFormat, CompositeGlyphsNameTheirComponentsAsFarAsTheRecordsReach) {
  const Bytes header = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes composite = header;
  // Word arguments and a scale, more components; byte arguments and a 2x2.
  const Bytes first = {0x00, 0x29, 0x00, 0x05, 0, 1, 0, 2, 0x40, 0x00};
  const Bytes second = {0x00, 0x80, 0x01, 0x00, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0};
  composite.insert(composite.end(), first.begin(), first.end());
  composite.insert(composite.end(), second.begin(), second.end());
  EXPECT_EQ(CompositeComponents(composite), std::vector<uint16_t>({5, 256}));
  const Bytes cut(composite.begin(), composite.end() - 1);
  EXPECT_EQ(CompositeComponents(cut), std::vector<uint16_t>({5}));
  EXPECT_TRUE(CompositeComponents(Bytes({0, 1, 0, 0})).empty());
  EXPECT_TRUE(CompositeComponents({}).empty());
}

TEST(XLFontSelection, SizePlaceholdersBecomeQuarterPoints) {
  struct Case {
    const char* name;
    const char* selection;
    float size;
    uint16_t resolution;
    const char* expected;
  };
  const Case cases[] = {
      {"height_50_at_600", "\x1B(s#HEIGHTV", 50, 600, "\x1B(s6.00V"},
      {"height_rounds_down_to_a_quarter", "#HEIGHT", 53, 600, "6.25"},
      {"pitch_of_12_points", "\x1B(s#PITCHH", 100, 600, "\x1B(s10.00H"},
      {"width_as_pitch", "#WIDTH", 100, 600, "10.00"},
      {"every_placeholder", "#HEIGHT/#HEIGHT", 100, 1200, "6.00/6.00"},
      {"tiny_size_has_no_pitch", "#PITCH", 1, 600, "0.00"},
      {"no_placeholder", "\x1B(8U", 10, 600, "\x1B(8U"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FillSizePlaceholders(c.selection, c.size, c.resolution), c.expected);
  }
}

}  // namespace
