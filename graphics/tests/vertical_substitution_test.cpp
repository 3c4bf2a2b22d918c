// Vertical forms from hand-built mort and GSUB tables: the one mort layout
// that is read and what breaks it, the GSUB versions, features, lookup
// types, subtable and coverage formats that are read, tables that point
// outside themselves, and which table decides when a font has both.
#include "graphics/fonts/truetype/vertical_substitution.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/tests/truetype_table_fixtures.h"

namespace {

using namespace tt_fixtures;

// Every length of a table cut short answers the glyph unchanged or what the
// whole table answers, reading only the bytes it is given.
template <typename Substitute>
void ExpectCutsAreSafe(const Bytes& table, uint16_t glyph, Substitute substitute) {
  const uint16_t whole = substitute(table, glyph);
  for (size_t size = 0; size < table.size(); ++size) {
    const Bytes cut(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(size));
    const uint16_t answer = substitute(cut, glyph);
    EXPECT_TRUE(answer == glyph || answer == whole) << size << " bytes";
  }
}

TEST(SubstituteVerticalMort, TheFirstEntryOfTheGlyphAnswers) {
  const Bytes mort = Mort({{5, 50}, {7, 70}, {5, 55}, {0xFFFF, 0xFFFF}});
  struct Case {
    const char* name;
    uint16_t glyph;
    uint16_t expected;
  };
  const Case cases[] = {{"first_entry", 5, 50}, {"later_entry", 7, 70}, {"not_listed", 6, 6}, {"glyph_zero", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SubstituteVerticalMort(mort, c.glyph), c.expected);
  }
}

TEST(SubstituteVerticalMort, OnlyTheOneLayoutIsRead) {
  const Bytes mort = Mort({{5, 50}});
  ASSERT_EQ(SubstituteVerticalMort(mort, 5), 50);
  struct Case {
    const char* name;
    size_t offset;
    bool stillRead;
  };
  const Case cases[] = {
      {"version", 1, false},
      {"chain_count", 7, false},
      {"default_flags", 11, false},
      {"chain_length_varies", 13, true},
      {"chain_length_low_byte_varies", 15, true},
      {"feature_count", 17, false},
      {"first_feature_type", 21, false},
      {"first_feature_disable_flags", 31, false},
      {"second_feature_setting", 35, false},
      {"second_feature_disable_flags", 43, false},
      {"third_feature_type", 45, false},
      {"third_feature_flags", 55, false},
      {"subtable_length_varies", 56, true},
      {"subtable_length_low_byte_varies", 57, true},
      {"coverage", 58, false},
      {"coverage_type", 59, false},
      {"subtable_flags", 63, false},
      {"lookup_format", 65, false},
      {"unit_size", 67, false},
      {"search_range_varies", 71, true},
      {"range_shift_varies", 75, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes changed = mort;
    changed[c.offset] ^= 0x10;
    EXPECT_EQ(SubstituteVerticalMort(changed, 5), c.stillRead ? 50 : 5);
  }
}

TEST(SubstituteVerticalMort, EntriesMustLieInsideTheTable) {
  const Bytes mort = Mort({{5, 50}, {7, 70}});
  // The header alone (76 bytes) is not enough, even with no entries.
  EXPECT_EQ(SubstituteVerticalMort(Mort({}), 5), 5);
  Bytes countTooLarge = mort;
  countTooLarge[69] = 3;
  EXPECT_EQ(SubstituteVerticalMort(countTooLarge, 5), 5);
  Bytes countSmaller = mort;
  countSmaller[69] = 1;
  EXPECT_EQ(SubstituteVerticalMort(countSmaller, 7), 7);
  EXPECT_EQ(SubstituteVerticalMort(countSmaller, 5), 50);
  ExpectCutsAreSafe(mort, 7, SubstituteVerticalMort);
}

// A vert feature with a single substitution by delta covering glyph 5.
Bytes VertByDelta(uint32_t version) {
  return Gsub(version, {{kVert, {0}}}, {{1, {SingleByDelta(Coverage1({5}), 100)}}});
}

TEST(SubstituteVerticalGsub, ReadsOnlyTheTwoVersions) {
  struct Case {
    const char* name;
    uint32_t version;
    uint16_t expected;
  };
  const Case cases[] = {
      {"version_1_0", 0x00010000, 105},
      {"halves_swapped", 0x00001000, 105},
      {"version_1_1", 0x00010001, 5},
      {"version_2", 0x00020000, 5},
      {"zero", 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SubstituteVerticalGsub(VertByDelta(c.version), 5), c.expected);
  }
  const Bytes whole = VertByDelta(0x00010000);
  EXPECT_EQ(SubstituteVerticalGsub(Bytes(whole.begin(), whole.begin() + 9), 5), 5);
}

TEST(SubstituteVerticalGsub, FollowsTheFirstVertFeaturesLookups) {
  const Bytes byList = SingleByList(Coverage2({{10, 12, 0}, {20, 20, 3}}), {110, 111, 112, 120});
  struct Case {
    const char* name;
    std::vector<GsubFeature> features;
    std::vector<GsubLookup> lookups;
    uint16_t glyph;
    uint16_t expected;
  };
  const std::vector<GsubLookup> twoLookups = {{1, {SingleByDelta(Coverage1({5}), 45)}},
                                              {1, {SingleByDelta(Coverage1({5, 6}), 55)}}};
  const Case cases[] = {
      {"no_vert_feature", {{kLiga, {0}}}, twoLookups, 5, 5},
      {"first_vert_feature_only", {{kLiga, {0}}, {kVert, {1}}, {kVert, {0}}}, twoLookups, 5, 60},
      {"lookups_in_the_features_order", {{kVert, {1, 0}}}, twoLookups, 5, 60},
      {"first_lookup_covering_answers", {{kVert, {0, 1}}}, twoLookups, 5, 50},
      {"later_lookup_when_first_does_not_cover", {{kVert, {0, 1}}}, twoLookups, 6, 61},
      {"uncovered_glyph_stays", {{kVert, {0, 1}}}, twoLookups, 7, 7},
      {"lookup_index_beyond_the_list", {{kVert, {2, 0}}}, twoLookups, 5, 5},
      {"other_lookup_type_ends_the_search",
       {{kVert, {0, 1}}},
       {{4, {SingleByDelta(Coverage1({5}), 45)}}, twoLookups[1]},
       5,
       5},
      {"unknown_subtable_format_ends_the_search",
       {{kVert, {0}}},
       {{1, {Bytes{0, 3, 0, 6, 0, 0, 0, 1, 0, 0}, SingleByDelta(Coverage1({5}), 1)}}},
       5,
       5},
      {"later_subtable_of_a_lookup",
       {{kVert, {0}}},
       {{1, {SingleByDelta(Coverage1({4}), 1), SingleByDelta(Coverage1({5}), 2)}}},
       5,
       7},
      {"delta_wraps", {{kVert, {0}}}, {{1, {SingleByDelta(Coverage1({0xFFF0}), 0x20)}}}, 0xFFF0, 0x10},
      {"list_by_range_start", {{kVert, {0}}}, {{1, {byList}}}, 10, 110},
      {"list_by_range_end", {{kVert, {0}}}, {{1, {byList}}}, 12, 112},
      {"list_by_start_coverage_index", {{kVert, {0}}}, {{1, {byList}}}, 20, 120},
      {"list_between_ranges", {{kVert, {0}}}, {{1, {byList}}}, 13, 13},
      {"list_coverage_index_beyond_the_glyph_count",
       {{kVert, {0}}},
       {{1, {SingleByList(Coverage2({{10, 12, 3}}), {110, 111, 112, 113}), SingleByDelta(Coverage1({11}), 1)}}},
       11,
       11},
      {"unknown_coverage_format_covers_nothing",
       {{kVert, {0}}},
       {{1, {SingleByDelta(Bytes{0, 3, 0, 1, 0, 5}, 1), SingleByDelta(Coverage1({5}), 2)}}},
       5,
       7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SubstituteVerticalGsub(Gsub(0x00010000, c.features, c.lookups), c.glyph), c.expected);
  }
}

TEST(SubstituteVerticalGsub, TablesCutShort) {
  const Bytes gsub =
      Gsub(0x00010000, {{kLiga, {0}}, {kVert, {0, 1}}},
           {{1, {SingleByDelta(Coverage1({4}), 1)}}, {1, {SingleByList(Coverage2({{10, 12, 0}}), {110, 111, 112})}}});
  ASSERT_EQ(SubstituteVerticalGsub(gsub, 12), 112);
  ExpectCutsAreSafe(gsub, 12, SubstituteVerticalGsub);
  // The coverage is the table's last bytes: without its last byte the glyph
  // is not covered.
  EXPECT_EQ(SubstituteVerticalGsub(Bytes(gsub.begin(), gsub.end() - 1), 12), 12);
}

TEST(SubstituteVertical, MortDecidesWheneverTheFontHasOne) {
  const Bytes gsub = VertByDelta(0x00010000);
  Bytes wrongMort = Mort({{5, 50}});
  wrongMort[0] = 1;
  struct Case {
    const char* name;
    Bytes mort;
    Bytes gsub;
    uint16_t expected;
  };
  const Case cases[] = {
      {"mort_over_gsub", Mort({{5, 50}}), gsub, 50},
      {"mort_without_the_glyph", Mort({{6, 60}}), gsub, 5},
      {"unreadable_mort_still_decides", wrongMort, gsub, 5},
      {"gsub_without_mort", {}, gsub, 105},
      {"neither", {}, {}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SubstituteVertical(c.mort, c.gsub, 5), c.expected);
  }
}

}  // namespace
