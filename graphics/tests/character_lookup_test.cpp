// The character mapping on small hand-built tables: which cmap subtable an
// encoding gets, how a code is brought into the subtable's encoding (and
// which conversions that asks of the converter), the format 4 and format 2
// lookups, and tables that are cut short or point outside themselves.
#include "graphics/fonts/truetype/character_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/tests/truetype_table_fixtures.h"
#include "model/os/unicode.h"

namespace {

using namespace tt_fixtures;

// Answers ToUnicode with code + 0x100 and FromUnicode with code + 0x200, and
// notes every call.
class RecordingConverter : public GUnicodeConverter {
 public:
  std::vector<std::string> calls;

  uint16_t ToUnicode(uint16_t code, int32_t encoding) override {
    calls.push_back("to " + std::to_string(code) + " " + std::to_string(encoding));
    return static_cast<uint16_t>(code + 0x100);
  }
  uint16_t FromUnicode(uint16_t unicode, int32_t encoding) override {
    calls.push_back("from " + std::to_string(unicode) + " " + std::to_string(encoding));
    return static_cast<uint16_t>(unicode + 0x200);
  }
  int32_t ConvertString(const WideChar*, RWCString&, uint32_t) override { return 0; }
  int32_t NarrowToWide(const char*, WideChar*, uint32_t) override { return 0; }
  void ConvertToCodePage(const WideChar*, char*, uint32_t, uint32_t) override {}
};

// Every code c but 0xFFFF maps to glyph c + 1, so the glyph shows the code
// that was looked up.
Bytes CodePlusOne() { return Format4({{0, 0xFFFE, 1, {}}, {0xFFFF, 0xFFFF, 1, {}}}); }

uint16_t Glyph(const Bytes& cmap, const Bytes& os2, uint16_t code, int32_t encoding,
               GUnicodeConverter* converter = nullptr, uint32_t osMajor = 5) {
  return LookUpGlyph(cmap, os2, SelectCharacterMap(cmap, encoding), code, encoding, converter, osMajor);
}

TEST(SelectCharacterMap, PrefersTheEncodingsSubtablesInOrder) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint16_t, uint16_t>> records;  // platform, encoding ID
    int32_t encoding;
    uint16_t chosenEncodingId;
  };
  const Case cases[] = {
      {"ucs4_after_unicode_kept_for_unicode", {{3, 1}, {3, 10}}, 16, 1},
      {"ucs4_after_unicode_kept_for_shift_jis", {{3, 1}, {3, 10}}, 17, 1},
      {"ucs4_after_unicode_kept_for_a_code_page", {{3, 1}, {3, 10}}, 1252, 1},
      {"ucs4_after_unicode_kept_for_glyph_indices", {{3, 1}, {3, 10}}, 1, 1},
      {"ucs4_first_replaced_by_unicode", {{3, 10}, {3, 1}}, 16, 1},
      {"shift_jis_input_takes_shift_jis", {{3, 1}, {3, 2}}, 17, 2},
      {"unicode_input_takes_unicode", {{3, 2}, {3, 1}}, 16, 1},
      {"shift_jis_first_stops_the_walk", {{3, 2}, {3, 1}}, 17, 2},
      {"prc_for_encoding_19", {{3, 1}, {3, 3}}, 19, 3},
      {"big5", {{3, 1}, {3, 4}}, 23, 4},
      {"wansung_for_encoding_20", {{3, 1}, {3, 5}}, 20, 5},
      {"johab", {{3, 1}, {3, 6}}, 22, 6},
      {"johab_not_for_wansung", {{3, 1}, {3, 6}}, 21, 1},
      {"symbol_input_prefers_symbol", {{3, 1}, {3, 0}}, 3, 0},
      {"only_symbol_serves_unicode", {{3, 0}}, 16, 0},
      {"only_big5_serves_unicode", {{3, 4}}, 16, 4},
      {"mac_and_unicode_platforms_skipped", {{0, 3}, {1, 0}, {3, 2}}, 16, 2},
      {"unlisted_first_replaced_by_listed", {{3, 7}, {3, 1}}, 17, 1},
      {"unlisted_kept_against_unlisted", {{3, 7}, {3, 8}}, 17, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Subtable> subtables;
    for (const auto& [platform, id] : c.records) subtables.push_back({platform, id, CodePlusOne()});
    const Bytes cmap = Cmap(subtables);
    const GCharacterMapChoice choice = SelectCharacterMap(cmap, c.encoding);
    ASSERT_TRUE(choice.found);
    EXPECT_EQ(choice.platformId, 3);
    EXPECT_EQ(choice.encodingId, c.chosenEncodingId);
    EXPECT_EQ(choice.format, 4);
  }
}

TEST(SelectCharacterMap, AnswersTheSubtablesFormatAndOffset) {
  const Bytes format6 = Format6(0x20, {1, 2, 3});
  const Bytes cmap = Cmap({{1, 0, format6}, {3, 1, CodePlusOne()}});
  EXPECT_EQ(SelectCharacterMap(cmap, 16), (GCharacterMapChoice{.found = true,
                                                               .format = 4,
                                                               .offset = static_cast<uint32_t>(20 + format6.size()),
                                                               .platformId = 3,
                                                               .encodingId = 1}));
}

TEST(SelectCharacterMap, FindsNothingOutsideTheTable) {
  struct Case {
    const char* name;
    Bytes cmap;
  };
  Bytes countBeyondRecords = Cmap({{3, 1, CodePlusOne()}});
  countBeyondRecords[3] = 0xFF;
  const Bytes recordOnly = Cmap({{3, 1, {}}});
  const Case cases[] = {
      {"empty", {}},
      {"header_only", {0, 0, 0}},
      {"no_windows_record", Cmap({{1, 0, Format6(0, {1})}, {0, 3, CodePlusOne()}})},
      {"record_cut_short", Bytes(recordOnly.begin(), recordOnly.end() - 1)},
      {"subtable_beyond_the_end", recordOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(SelectCharacterMap(c.cmap, 16).found);
  }
  // A count larger than the records there are ends the walk at the table's
  // end (Shift-JIS input walks on past the Unicode record); the records that
  // are there still count.
  EXPECT_EQ(SelectCharacterMap(countBeyondRecords, 17).encodingId, 1);
}

TEST(LookUpGlyph, BringsTheCodeIntoTheSubtablesEncoding) {
  struct Case {
    const char* name;
    uint16_t encodingId;
    uint16_t firstChar;
    uint16_t lastChar;
    int32_t encoding;
    uint32_t osMajor;
    uint16_t code;
    uint16_t lookedUp;  // the code looked up; none when 0xFFFF
    std::vector<std::string> calls;
  };
  constexpr uint16_t kNone = 0xFFFF;
  const Case cases[] = {
      {"symbol_private_page_single_byte", 0, 0xF020, 0xF0FF, 3, 5, 0x41, 0xF041, {}},
      {"symbol_private_page_two_bytes_unchanged", 0, 0xF020, 0xF0FF, 3, 5, 0x141, 0x141, {}},
      {"symbol_page_from_first_char", 0, 0xE020, 0xE0FF, 16, 5, 0x41, 0xE041, {}},
      {"symbol_low_range_unchanged", 0, 0x20, 0xFF, 1252, 5, 0x41, 0x41, {}},
      {"symbol_unicode_input_unchanged", 0, 0x20, 0x2122, 16, 5, 0x41, 0x41, {}},
      {"symbol_on_old_systems_unchanged", 0, 0x20, 0x2122, 3, 4, 0x41, 0x41, {}},
      {"symbol_on_nt5_converted", 0, 0x20, 0x2122, 3, 5, 0x41, 0x141, {"to 65 3"}},
      {"symbol_code_page_converted_on_old_systems", 0, 0x20, 0x2122, 1252, 4, 0x80, 0x180, {"to 128 1252"}},
      {"unicode_input_unchanged", 1, 0xF020, 0xF0FF, 16, 5, 0x41, 0x41, {}},
      {"symbol_input_on_unicode_unchanged", 1, 0x20, 0xFFFF, 3, 5, 0x41, 0x41, {}},
      {"code_page_converted", 1, 0x20, 0xFFFF, 1252, 5, 0x80, 0x180, {"to 128 1252"}},
      {"glyph_index_beyond_glyphs_converted", 1, 0x20, 0xFFFF, 1, 5, 0x80, 0x180, {"to 128 1"}},
      {"code_page_on_private_page_font", 1, 0xF020, 0xF0FF, 1252, 5, 0x41, 0xF041, {}},
      {"code_page_two_bytes_on_private_page_font", 1, 0xF020, 0xF0FF, 1252, 5, 0x141, 0x141, {}},
      {"unicode_to_shift_jis", 2, 0x20, 0xFFFF, 16, 5, 0x3042, 0x3242, {"from 12354 17"}},
      {"unicode_to_prc", 3, 0x20, 0xFFFF, 16, 5, 0x3042, 0x3242, {"from 12354 18"}},
      {"unicode_to_big5", 4, 0x20, 0xFFFF, 16, 5, 0x3042, 0x3242, {"from 12354 23"}},
      {"unicode_to_wansung", 5, 0x20, 0xFFFF, 16, 5, 0x3042, 0x3242, {"from 12354 21"}},
      {"unicode_to_johab", 6, 0x20, 0xFFFF, 16, 5, 0x3042, 0x3242, {"from 12354 22"}},
      {"shift_jis_input_unchanged", 2, 0x20, 0xFFFF, 17, 5, 0x82A0, 0x82A0, {}},
      {"code_page_on_big5_unchanged", 4, 0x20, 0xFFFF, 1252, 5, 0x80, 0x80, {}},
      {"unicode_on_unknown_id", 7, 0x20, 0xFFFF, 16, 5, 0x41, kNone, {}},
      {"shift_jis_on_unknown_id_unchanged", 7, 0x20, 0xFFFF, 17, 5, 0x41, 0x41, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes cmap = Cmap({{3, c.encodingId, CodePlusOne()}});
    RecordingConverter converter;
    EXPECT_EQ(Glyph(cmap, Os2(c.firstChar, c.lastChar), c.code, c.encoding, &converter, c.osMajor),
              c.lookedUp == kNone ? 0 : c.lookedUp + 1);
    EXPECT_EQ(converter.calls, c.calls);
  }
}

// Without a converter every conversion answers code 0.
TEST(LookUpGlyph, ConversionsWithoutAConverterAnswerCodeZero) {
  const Bytes os2 = Os2(0x20, 0xFFFF);
  EXPECT_EQ(Glyph(Cmap({{3, 1, CodePlusOne()}}), os2, 0x80, 1252), 1);
  EXPECT_EQ(Glyph(Cmap({{3, 2, CodePlusOne()}}), os2, 0x3042, 16), 1);
  EXPECT_EQ(Glyph(Cmap({{3, 0, CodePlusOne()}}), os2, 0x41, 3), 1);
}

TEST(LookUpGlyph, Format4Segments) {
  // clang-format off
  const Bytes cmap = Cmap({{3, 1, Format4({
      {10, 20, 100, {}},
      {30, 33, 7, {0, 5, 0xFFF9, 9}},
      {40, 40, 0xFFF0, {}},  // a negative delta
      {0xFFFF, 0xFFFF, 1, {}},
  })}});
  // clang-format on
  struct Case {
    const char* name;
    uint16_t code;
    uint16_t glyph;
  };
  const Case cases[] = {
      {"before_the_first_segment", 9, 0},
      {"first_code_of_a_segment", 10, 110},
      {"last_code_of_a_segment", 20, 120},
      {"between_segments", 25, 0},
      {"glyph_array_zero_stays_zero", 30, 0},
      {"glyph_array_plus_delta", 31, 12},
      {"glyph_array_plus_delta_wraps", 32, 0},
      {"glyph_array_last", 33, 16},
      {"negative_delta", 40, 24},
      {"last_segment", 0xFFFF, 0},
  };
  const Bytes os2 = Os2(0x20, 0xFFFF);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Glyph(cmap, os2, c.code, 16), c.glyph);
  }
}

// Past seven segments the end codes are searched by halves; every segment's
// first and last code, and the gaps beside them, must still be found.
TEST(LookUpGlyph, Format4ManySegments) {
  for (const uint16_t count : {7, 8, 9, 16, 33}) {
    SCOPED_TRACE(count);
    std::vector<Segment> segments;
    for (uint16_t i = 0; i < count; ++i) {
      segments.push_back({static_cast<uint16_t>(100 * i + 10), static_cast<uint16_t>(100 * i + 50), i, {}});
    }
    const Bytes cmap = Cmap({{3, 1, Format4(segments)}});
    const Bytes os2 = Os2(0x20, 0xFFFF);
    for (uint16_t i = 0; i < count; ++i) {
      const uint16_t start = segments[i].start;
      const uint16_t end = segments[i].end;
      EXPECT_EQ(Glyph(cmap, os2, start - 1, 16), 0);
      EXPECT_EQ(Glyph(cmap, os2, start, 16), start + i);
      EXPECT_EQ(Glyph(cmap, os2, end, 16), end + i);
      EXPECT_EQ(Glyph(cmap, os2, end + 1, 16), 0);
    }
    // Above every end code.
    EXPECT_EQ(Glyph(cmap, os2, 0xFFFE, 16), 0);
  }
}

TEST(LookUpGlyph, Format2HighByteMapping) {
  const Bytes cmap = Cmap({{3, 2,
                            Format2({{0x81, 1}}, {
                                                     {0x20, 0, {1, 2, 3, 4}},  // single bytes 0x20..0x23
                                                     {0x40, 10, {1, 0}},       // 0x8140, 0x8141
                                                 })}});
  struct Case {
    const char* name;
    uint16_t code;
    uint16_t glyph;
  };
  const Case cases[] = {
      {"single_byte", 0x21, 2},
      {"single_byte_below_first_code", 0x1F, 0},
      {"single_byte_beyond_entries", 0x24, 0},
      {"two_bytes_plus_delta", 0x8140, 11},
      {"two_bytes_zero_stays_zero", 0x8141, 0},
      {"two_bytes_beyond_entries", 0x8142, 0},
      {"two_bytes_below_first_code", 0x813F, 0},
      {"lead_byte_without_subheader_looks_up_lead_byte", 0x2241, 3},
      {"lead_byte_without_subheader_outside_subheader_0", 0x4141, 0},
  };
  const Bytes os2 = Os2(0x20, 0xFFFF);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Glyph(cmap, os2, c.code, 17), c.glyph);
  }
}

TEST(LookUpGlyph, OtherFormatsHaveNoGlyphs) {
  const Bytes os2 = Os2(0x20, 0xFFFF);
  const Bytes format6 = Cmap({{3, 1, Format6(0x20, {5, 6, 7})}});
  const Bytes format12 = Cmap({{3, 1, Format12(0, 0xFFFF, 1)}});
  for (const uint16_t code : {0x00, 0x20, 0x21, 0x41, 0x3042}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(Glyph(format6, os2, code, 16), 0);
    EXPECT_EQ(Glyph(format12, os2, code, 16), 0);
  }
}

// Every cut of the tables and every table whose offsets lead outside gives
// glyph 0 or the whole table's glyph, never a read outside.
TEST(LookUpGlyph, TablesCutShort) {
  const Bytes os2 = Os2(0x20, 0xFFFF);
  const Bytes format4 = Cmap({{3, 1, Format4({{10, 20, 100, {}}, {30, 31, 0, {3, 4}}, {0xFFFF, 0xFFFF, 1, {}}})}});
  const Bytes format2 = Cmap({{3, 2, Format2({{0x81, 1}}, {{0x20, 0, {1, 2}}, {0x40, 10, {1, 2}}})}});
  struct Case {
    const char* name;
    const Bytes& cmap;
    int32_t encoding;
    std::vector<uint16_t> codes;
  };
  const Case cases[] = {{"format4", format4, 16, {10, 20, 30, 31}},
                        {"format2", format2, 17, {0x20, 0x21, 0x8140, 0x8141}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GCharacterMapChoice choice = SelectCharacterMap(c.cmap, c.encoding);
    for (const uint16_t code : c.codes) {
      const uint16_t whole = LookUpGlyph(c.cmap, os2, choice, code, c.encoding, nullptr, 5);
      ASSERT_NE(whole, 0);
      for (size_t size = 0; size < c.cmap.size(); ++size) {
        // A copy of its own, so that a read beyond it is seen by the
        // sanitizers.
        const Bytes cut(c.cmap.begin(), c.cmap.begin() + static_cast<std::ptrdiff_t>(size));
        const uint16_t glyph = LookUpGlyph(cut, os2, choice, code, c.encoding, nullptr, 5);
        EXPECT_TRUE(glyph == 0 || glyph == whole) << "code " << code << ", " << size << " bytes";
      }
      // The last glyph entries are the table's last bytes.
      EXPECT_EQ(
          LookUpGlyph(Bytes(c.cmap.begin(), c.cmap.end() - 1), os2, choice, c.codes.back(), c.encoding, nullptr, 5), 0);
    }
  }
}

TEST(LookUpGlyph, NothingWithoutAChoiceOrTheCharacterRange) {
  const Bytes cmap = Cmap({{3, 1, CodePlusOne()}});
  const Bytes os2 = Os2(0x20, 0xFFFF);
  EXPECT_EQ(LookUpGlyph(cmap, os2, GCharacterMapChoice{}, 0x41, 16, nullptr, 5), 0);
  EXPECT_EQ(Glyph(cmap, Bytes(os2.begin(), os2.begin() + 67), 0x41, 16), 0);
  EXPECT_EQ(Glyph(cmap, Bytes(os2.begin(), os2.begin() + 68), 0x41, 16), 0x42);
  EXPECT_EQ(Glyph(cmap, {}, 0x41, 16), 0);
}

}  // namespace
