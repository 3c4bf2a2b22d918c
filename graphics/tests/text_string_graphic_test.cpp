// Tests of the text graphic: building the run from positions or from
// application bytes, the code queries, preparing for storage, copies,
// equality and the stored form.
#include "graphics/display/text_string_graphic.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/fonts/space_distributor.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/text_escapements.h"
#include "graphics/fonts/text_string.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

std::vector<uint16_t> CodesOf(const GTextString& text) {
  std::vector<uint16_t> codes;
  for (uint16_t i = 0; i < text.GetLength(); ++i) codes.push_back(text.GetCodeAt(i));
  return codes;
}

// Every advance in one direction, by the getter of that direction.
std::vector<int16_t> AdvancesOf(const GTextEscapements& escapements,
                                int16_t (GTextEscapements::*advance)(uint16_t) const) {
  std::vector<int16_t> values;
  for (uint16_t i = 0; i < escapements.GetCount(); ++i) values.push_back((escapements.*advance)(i));
  return values;
}

// A font whose break code is the space, measuring the given codes.
TestFont* MakeFont(std::map<uint16_t, int16_t> widths = {}, float angle = 0, int32_t kind = 1) {
  GFontInfo info;
  info.firstCode = 0x20;
  info.lastCode = 0xFFFF;
  info.defaultCode = 0x20;
  info.breakCode = 0x20;
  auto* body = new TestFontImp(info, std::move(widths));
  body->SetFloatMetric2(angle);
  return new TestFont(body, nullptr, kind);
}

TestFontImp& BodyOf(const GTextStringGraphic& graphic) {
  return static_cast<TestFontImp&>(*graphic.GetFont()->GetBody());
}

TEST(TextStringGraphic, AnEmptyGraphicHoldsNothing) {
  const GTextStringGraphic text;
  EXPECT_EQ(text.GetFont(), nullptr);
  EXPECT_EQ(text.GetText(), nullptr);
  EXPECT_EQ(text.GetEscapements(), nullptr);
  EXPECT_EQ(text.ContainsUserDefinedCode(), 0);
  const uint16_t list[] = {1, 0x41};
  EXPECT_EQ(text.ContainsAnyCode(list), 0);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &text),
            Graph(kGTextStringGraphicClassID, Words({1, 0, text.SerialNumber(), 1}) + kNilObject + Words({1, 1}) +
                                                  kNilObject + kNilObject + kNilObject + Shorts({0}) + Words({0}) +
                                                  Shorts({0, 0})));
  EXPECT_TRUE(RoundTrips(text));
}

TEST(TextStringGraphic, PositionsBecomeAdvancesAlongTheAxesTheTextMovesOn) {
  struct Case {
    const char* name;
    std::vector<GPoint> positions;
    std::vector<int16_t> x;  // empty: no x array
    std::vector<int16_t> y;
  };
  const Case cases[] = {
      {"along_x", {{0, 0}, {10, 0}, {25, 0}}, {10, 15, 0}, {}},
      {"down_and_back", {{5, 5}, {5, 9}, {2, 12}}, {0, -3, 0}, {4, 3, 0}},
      {"one_glyph", {{7, 8}}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint16_t> codes(c.positions.size(), 0x3042);
    TestFont* font = MakeFont();
    const GTextStringGraphic graphic(font, GCodeBlock<uint16_t>(codes), 16, c.positions, 9, nullptr);
    EXPECT_EQ(graphic.GetFont(), font);
    EXPECT_EQ(graphic.GetPosition(), c.positions.front());
    EXPECT_EQ(graphic.GetTotalAdvance(), 0);
    EXPECT_EQ(graphic.GetOptions(), 9U);
    EXPECT_EQ(graphic.GetText()->GetCodeSize(), 2);
    EXPECT_EQ(graphic.GetText()->GetEncoding(), 16);
    EXPECT_EQ(CodesOf(*graphic.GetText()), codes);
    const GTextEscapements& escapements = *graphic.GetEscapements();
    EXPECT_EQ(escapements.GetCount(), codes.size());
    EXPECT_EQ(escapements.GetXAdvances() != nullptr, !c.x.empty());
    EXPECT_EQ(escapements.GetYAdvances() != nullptr, !c.y.empty());
    if (!c.x.empty()) {
      EXPECT_EQ(AdvancesOf(escapements, &GTextEscapements::GetXAdvance), c.x);
    }
    if (!c.y.empty()) {
      EXPECT_EQ(AdvancesOf(escapements, &GTextEscapements::GetYAdvance), c.y);
    }
  }
  const GTextStringGraphic empty(nullptr, GCodeBlock<uint16_t>(), 16, {}, 0, nullptr);
  EXPECT_EQ(empty.GetText()->GetLength(), 0);
  EXPECT_EQ(empty.GetText()->GetCodes(), nullptr);
}

// The run from the application's units: pairs of double-byte encodings,
// 16-bit units narrowed when they fit, bytes borrowed.
TEST(TextStringGraphic, BytesBecomeCodesByTheirEncoding) {
  struct Case {
    const char* name;
    int32_t encoding;
    std::vector<uint8_t> bytes;
    std::vector<int16_t> advances;
    int32_t codeSize;
    std::vector<uint16_t> codes;
    std::vector<int16_t> x;
    bool borrowsCodes;
  };
  const Case cases[] = {
      {"shift_jis_pair_and_ascii", 17, {0x82, 0xA0, 0x41}, {10, 12, 7}, 2, {0x82A0, 0x41}, {22, 7}, false},
      {"lone_lead_byte_at_the_end", 17, {0x41, 0x82}, {5, 6}, 1, {0x41, 0x82}, {5, 6}, true},
      {"shift_jis_upper_lead_range", 17, {0xE0, 0x40, 0xA0}, {1, 2, 3}, 2, {0xE040, 0xA0}, {3, 3}, false},
      {"euc_leads_from_a1", 18, {0xA1, 0xA1, 0x81, 0x40}, {1, 1, 1, 1}, 2, {0xA1A1, 0x81, 0x40}, {2, 1, 1}, false},
      {"gbk_leads_from_81", 19, {0x81, 0x40}, {4, 4}, 2, {0x8140}, {8}, false},
      {"johab_leads_from_84", 22, {0x83, 0x41, 0x84, 0x41}, {1, 1, 1, 1}, 2, {0x83, 0x41, 0x8441}, {1, 1, 2}, false},
      {"big5_pair", 23, {0xA4, 0xA4}, {9, 9}, 2, {0xA4A4}, {18}, false},
      {"single_byte_borrowed", 4, {0x41, 0xE9}, {3, 4}, 1, {0x41, 0xE9}, {3, 4}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GTextStringGraphic graphic(nullptr, c.encoding, c.bytes.data(), c.advances.data(), 0,
                                     static_cast<uint32_t>(c.bytes.size()), 0x00140005, nullptr, nullptr);
    EXPECT_EQ(graphic.GetPosition(), (GPoint{5, 20}));
    EXPECT_EQ(graphic.GetText()->GetCodeSize(), c.codeSize);
    EXPECT_EQ(graphic.GetText()->GetEncoding(), c.encoding);
    EXPECT_EQ(CodesOf(*graphic.GetText()), c.codes);
    EXPECT_EQ(graphic.GetText()->GetCodes() == c.bytes.data(), c.borrowsCodes);
    EXPECT_EQ(AdvancesOf(*graphic.GetEscapements(), &GTextEscapements::GetXAdvance), c.x);
    EXPECT_EQ(graphic.GetEscapements()->GetYAdvances(), nullptr);
  }
}

TEST(TextStringGraphic, SixteenBitUnitsAreNarrowedWhenEveryOneFitsAByte) {
  const uint16_t latin[] = {0x41, 0xE9};
  const GTextStringGraphic narrowed(nullptr, 16, latin, nullptr, 0, 2, 0, nullptr, nullptr);
  EXPECT_EQ(narrowed.GetText()->GetCodeSize(), 1);
  EXPECT_EQ(CodesOf(*narrowed.GetText()), (std::vector<uint16_t>{0x41, 0xE9}));

  const uint16_t kana[] = {0x41, 0x3042};
  const GTextStringGraphic wide(nullptr, 16, kana, nullptr, 0, 2, 0, nullptr, nullptr);
  EXPECT_EQ(wide.GetText()->GetCodeSize(), 2);
  EXPECT_EQ(wide.GetText()->GetCodes(), kana);

  const uint16_t glyphs[] = {0x101};
  const GTextStringGraphic indices(nullptr, 1, glyphs, nullptr, 0, 1, 0, nullptr, nullptr);
  EXPECT_EQ(indices.GetText()->GetCodeSize(), 2);
  EXPECT_EQ(CodesOf(*indices.GetText()), (std::vector<uint16_t>{0x101}));
}

TEST(TextStringGraphic, WithoutAdvancesTheFontMeasuresTheCodes) {
  const uint8_t bytes[] = {'a', ' ', 'b'};
  const GTextStringGraphic graphic(MakeFont({{'a', 11}, {' ', 5}, {'b', 13}}), 4, bytes, nullptr, 0, 3, 0, nullptr,
                                   nullptr);
  EXPECT_EQ(AdvancesOf(*graphic.GetEscapements(), &GTextEscapements::GetXAdvance), (std::vector<int16_t>{11, 5, 13}));
  EXPECT_EQ(graphic.GetTotalAdvance(), 29);
}

TEST(TextStringGraphic, AnActiveDistributorSpacesBreaksAndCharactersApart) {
  const uint8_t bytes[] = {'a', ' ', 'b', ' '};
  const int16_t advances[] = {10, 10, 10, 10};
  // Characters get 1 each; breaks 4 and 3 on top of that.
  GSpaceDistributor distributor({1, 1, 0, 1, 1}, {3, 1, 1, 2, 2}, true, true);
  const GTextStringGraphic spaced(MakeFont(), 4, bytes, advances, 0, 4, 0, &distributor, nullptr);
  EXPECT_EQ(AdvancesOf(*spaced.GetEscapements(), &GTextEscapements::GetXAdvance),
            (std::vector<int16_t>{11, 15, 11, 14}));
  EXPECT_EQ(spaced.GetTotalAdvance(), 51);
  // The borrowed advances are not written.
  EXPECT_EQ(advances[1], 10);

  GSpaceDistributor idle;
  const GTextStringGraphic plain(MakeFont(), 4, bytes, advances, 0, 4, 0, &idle, nullptr);
  EXPECT_EQ(plain.GetTotalAdvance(), 40);
  EXPECT_EQ(plain.GetEscapements()->GetXAdvances(), advances);
}

TEST(TextStringGraphic, AdvancesAreTurnedByTheFontsAngle) {
  const uint8_t bytes[] = {'a', 'b', 'c'};
  const int16_t advances[] = {100, 100, 100};
  const GTextStringGraphic up(MakeFont({}, 90), 4, bytes, advances, 0, 3, 0, nullptr, nullptr);
  EXPECT_EQ(up.GetEscapements()->GetXAdvances(), nullptr);
  EXPECT_EQ(AdvancesOf(*up.GetEscapements(), &GTextEscapements::GetYAdvance), (std::vector<int16_t>{-100, -100, -100}));
  EXPECT_EQ(up.GetTotalAdvance(), 300);

  const GTextStringGraphic diagonal(MakeFont({}, 45), 4, bytes, advances, 0, 3, 0, nullptr, nullptr);
  EXPECT_EQ(AdvancesOf(*diagonal.GetEscapements(), &GTextEscapements::GetXAdvance), (std::vector<int16_t>{71, 70, 71}));
  EXPECT_EQ(AdvancesOf(*diagonal.GetEscapements(), &GTextEscapements::GetYAdvance),
            (std::vector<int16_t>{-71, -70, -71}));
}

TEST(TextStringGraphic, FindsCodesInTheUserDefinedAreaOfTheirEncoding) {
  struct Case {
    const char* name;
    int32_t encoding;
    uint16_t code;
    int32_t expected;
  };
  const Case cases[] = {
      {"unicode_private_use", 16, 0xE000, 1},
      {"unicode_past_the_area", 16, 0xEDE8, 0},
      {"shift_jis_last", 17, 0xF9FC, 1},
      {"shift_jis_before", 17, 0xF03F, 0},
      {"gb2312_middle_area", 18, 0xAA41, 1},
      {"gbk_low_byte_in_first_range", 19, 0xA140, 1},
      {"gbk_low_byte_between_ranges", 19, 0xA17F, 0},
      {"gbk_low_byte_in_second_range", 19, 0xA7A0, 1},
      {"gbk_high_area_low_byte_too_small", 19, 0xF8A0, 0},
      {"gbk_high_area", 19, 0xFEFE, 1},
      {"wansung_has_none", 20, 0xC9A1, 0},
      {"unified_hangul", 21, 0xC9A1, 1},
      {"johab_has_none", 22, 0xD931, 0},
      {"big5_first", 23, 0x8140, 1},
      {"big5_between", 23, 0xA140, 0},
      {"big5_last", 23, 0xFEFE, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint16_t> codes = {0x41, c.code};
    const GTextStringGraphic graphic(nullptr, GCodeBlock<uint16_t>(codes), c.encoding, std::vector<GPoint>(2), 0,
                                     nullptr);
    EXPECT_EQ(graphic.ContainsUserDefinedCode(), c.expected);
  }
  // Byte codes are never user-defined.
  const uint8_t bytes[] = {0xF0, 0x40};
  const GTextStringGraphic narrow(nullptr, 17, bytes, nullptr, 0, 1, 0, nullptr, nullptr);
  EXPECT_EQ(narrow.ContainsUserDefinedCode(), 0);
}

TEST(TextStringGraphic, FindsAnyCodeOfAnAscendingList) {
  const uint8_t bytes[] = {'c', 'a', 't'};
  const GTextStringGraphic graphic(nullptr, 4, bytes, nullptr, 0, 3, 0, nullptr, nullptr);
  struct Case {
    const char* name;
    std::vector<uint16_t> list;
    int32_t expected;
  };
  const Case cases[] = {
      {"last_code_last_entry", {3, 'b', 'e', 't'}, 1},
      {"first_entry", {2, 'a', 'z'}, 1},
      {"none_of_them", {3, 'b', 'd', 'u'}, 0},
      {"empty_list", {0}, 0},
      // The count, not the storage, bounds the search.
      {"entry_past_the_count", {1, 'b', 'c'}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(graphic.ContainsAnyCode(c.list.data()), c.expected);
  }
  EXPECT_EQ(graphic.ContainsAnyCode(nullptr), 0);
}

TEST(TextStringGraphic, OwnDataPreparesTheTextInTheFontsModeAndCopiesBorrowedData) {
  const uint8_t bytes[] = {'a', 'b'};
  const int16_t advances[] = {3, 4};
  for (int32_t kind : {1, 2, 7}) {
    SCOPED_TRACE(kind);
    GTextStringGraphic graphic(MakeFont({}, 0, kind), 4, bytes, advances, 0, 2, 0, nullptr, nullptr);
    graphic.OwnData();
    EXPECT_EQ(BodyOf(graphic).textModes, std::vector<int32_t>{kind == 1 ? 1 : 2});
    EXPECT_NE(graphic.GetText()->GetCodes(), bytes);
    EXPECT_NE(graphic.GetEscapements()->GetXAdvances(), advances);
    EXPECT_EQ(CodesOf(*graphic.GetText()), (std::vector<uint16_t>{'a', 'b'}));
  }
}

TEST(TextStringGraphic, SavingPreparesTheText) {
  const uint8_t bytes[] = {'a'};
  GTextStringGraphic graphic(MakeFont({{'a', 6}}, 0, 2), 4, bytes, nullptr, 0, 1, 0, nullptr, nullptr);
  SaveGraph(StoreForm::kFile, &graphic);
  EXPECT_FALSE(BodyOf(graphic).textModes.empty());
  EXPECT_EQ(BodyOf(graphic).textModes.back(), 2);
}

// The font travels in the job's font database; without it the graphic
// keeps its text, escapements and fields through every store form.
TEST(TextStringGraphic, RoundTripsItsRun) {
  const uint8_t bytes[] = {0x82, 0xA0, 0x41};
  const int16_t advances[] = {10, 12, 7};
  GTextStringGraphic graphic(nullptr, 17, bytes, advances, 0x01020304, 3, 0xFFF6000A, nullptr, nullptr);
  EXPECT_TRUE(RoundTrips(graphic));
  const std::string stored = SaveContentsToFileBytes(graphic);
  EXPECT_EQ(stored.substr(stored.size() - 10), Shorts({29}) + Words({0x01020304}) + Shorts({10, 0xFFF6}));
}

// Where the objects start in a text graphic stored as the outermost object
// of a graph in a binary file (after the graph's start value and class ID,
// the root and command parts, the nil state and two version words), and how
// long the fields after them are.
constexpr size_t kObjectsOffset = 6 + 16 + 6 + 8;
constexpr size_t kTrailingFieldsSize = 10;

std::string ObjectsOf(GTextStringGraphic& graphic) {
  const std::string bytes = SaveGraph(StoreForm::kFile, &graphic);
  return bytes.substr(kObjectsOffset, bytes.size() - kObjectsOffset - kTrailingFieldsSize);
}

// A graphic stored with the given font, text and escapements references and
// trailing fields.
std::string Stored(const std::string& objects, const std::string& trailing) {
  GTextStringGraphic empty;
  return SaveGraph(StoreForm::kFile, &empty).substr(0, kObjectsOffset) + objects + trailing;
}

TEST(TextStringGraphic, RestoresItsObjectsAndCopiesThem) {
  const uint8_t bytes[] = {'h', 'i'};
  const int16_t advances[] = {5, 6};
  GTextStringGraphic source(nullptr, 4, bytes, advances, 3, 2, 0x00020001, nullptr, nullptr);
  source.SetFont(MakeFont());
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, &source));
  ASSERT_TRUE(restored);
  const auto& graphic = static_cast<const GTextStringGraphic&>(*restored);
  ASSERT_NE(graphic.GetFont(), nullptr);
  EXPECT_EQ(graphic.GetFont()->ClassID(), TestFont::kClassID);
  ASSERT_NE(graphic.GetText(), nullptr);
  EXPECT_TRUE(graphic.GetText()->SameContent(*source.GetText()));
  ASSERT_NE(graphic.GetEscapements(), nullptr);
  EXPECT_TRUE(graphic.GetEscapements()->SameContent(*source.GetEscapements()));
  EXPECT_EQ(graphic.GetTotalAdvance(), 11);
  EXPECT_EQ(graphic.GetOptions(), 3U);
  EXPECT_EQ(graphic.GetPosition(), (GPoint{1, 2}));

  // A copy holds copies of all three.
  const std::unique_ptr<GTextStringGraphic> clone(static_cast<GTextStringGraphic*>(source.Clone()));
  EXPECT_NE(clone->GetFont(), source.GetFont());
  EXPECT_EQ(clone->GetFont()->GetBody(), source.GetFont()->GetBody());
  EXPECT_NE(clone->GetText(), source.GetText());
  EXPECT_NE(clone->GetEscapements(), source.GetEscapements());
  EXPECT_EQ(clone->GetOptions(), source.GetOptions());
  EXPECT_TRUE(clone->SameContent(source));
}

// Each object must be of its kind: another in its place is not kept.
TEST(TextStringGraphic, AStoredObjectOfAnotherKindIsRefused) {
  GTextStringGraphic withFont;
  withFont.SetFont(MakeFont());
  const std::string font = ObjectsOf(withFont).substr(0, ObjectsOf(withFont).size() - 2 * kNilObject.size());
  GTextStringGraphic withRun(nullptr, GCodeBlock<uint16_t>(std::vector<uint16_t>{1}), 16, {}, 0, nullptr);
  const std::string run = ObjectsOf(withRun).substr(kNilObject.size());
  const std::string trailing = Shorts({0}) + Words({0}) + Shorts({0, 0});
  struct Case {
    const char* name;
    std::string objects;
  };
  const Case cases[] = {
      {"text_as_font", run + kNilObject},
      {"font_as_text", kNilObject + font + kNilObject},
      {"font_as_escapements", kNilObject + kNilObject + font},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTextStringGraphic restored;
    RestoreInPlace(restored, Stored(c.objects, trailing).substr(6));
    EXPECT_EQ(restored.GetFont(), nullptr);
    EXPECT_EQ(restored.GetText(), nullptr);
    EXPECT_EQ(restored.GetEscapements(), nullptr);
  }
}

TEST(TextStringGraphic, SetFontReplacesTheFont) {
  GTextStringGraphic text;
  text.SetFont(MakeFont());
  // The first font goes with its last owner (the address sanitizer reports
  // a leak otherwise).
  TestFont* second = MakeFont();
  text.SetFont(second);
  EXPECT_EQ(text.GetFont(), second);
}

TEST(TextStringGraphic, EqualityComparesFontTextAndEscapements) {
  const uint8_t bytes[] = {'a', 'b'};
  const int16_t advances[] = {1, 2};
  const int16_t others[] = {1, 3};
  const auto make = [&](const int16_t* run) {
    return std::make_unique<GTextStringGraphic>(nullptr, 4, bytes, run, 0, 2, 0, nullptr, nullptr);
  };
  auto a = make(advances);
  auto b = make(advances);
  EXPECT_TRUE(a->SameContent(*b));
  EXPECT_FALSE(a->SameContent(*make(others)));

  TestFont* font = MakeFont();
  a->SetFont(font);
  EXPECT_FALSE(a->SameContent(*b));
  EXPECT_FALSE(b->SameContent(*a));
  // Another handle on the same body is the same font.
  b->SetFont(new TestFont(*font));
  EXPECT_TRUE(a->SameContent(*b));
  b->SetKey(3);
  EXPECT_FALSE(a->SameContent(*b));
}

}  // namespace
