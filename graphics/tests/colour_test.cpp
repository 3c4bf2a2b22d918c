// Tests of the colour values, the solid paint and the palette table:
// arithmetic, ownership, equality and stored forms.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/palette_table.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/tests/attribute_recorder.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

std::vector<int> Components(const GRGBColor& color) {
  return {color.GetRed(), color.GetGreen(), color.GetBlue(), color.GetFourth()};
}

// The colour's stored part in a binary file: the root part, the colour's
// and its own version, then the four bytes.
std::string RGBColorBytes(const GRGBColor& color) {
  return Words({1, static_cast<uint32_t>(color.Key()), color.SerialNumber(), 1, 1}) +
         std::string{static_cast<char>(color.GetRed()), static_cast<char>(color.GetGreen()),
                     static_cast<char>(color.GetBlue()), static_cast<char>(color.GetFourth())};
}

// A colour met for the first time inside a graph: its class ID, then its
// stored part.
std::string FirstRGBColorBytes(const GRGBColor& color) { return Shorts({53}) + RGBColorBytes(color); }

// Each operator in each of its forms. The fourth component of every result
// is 255, whatever the operands carried.
TEST(RGBColorArithmetic, EachOperatorInEachFormWorksPerComponentModulo256) {
  struct Case {
    const char* name;
    std::function<GRGBColor()> compute;
    std::vector<int> expected;
  };
  const GRGBColor a(200, 100, 50, 7);
  const GRGBColor b(100, 200, 10, 0);
  const GRGBColor small(16, 3, 0, 1);
  // clang-format off
  const Case cases[] = {
      {"sum_wraps",                 [&] { return a + b; },   {44, 44, 60, 255}},
      {"difference_wraps",          [&] { return b - a; },   {156, 100, 216, 255}},
      {"product_wraps",             [&] { return small * a; }, {128, 44, 0, 255}},
      {"quotient_by_zero_is_zero",  [&] { return a / small; }, {12, 33, 0, 255}},
      {"colour_plus_number",        [&] { return a + 60; },   {4, 160, 110, 255}},
      {"colour_minus_number",       [&] { return a - 60; },   {140, 40, 246, 255}},
      {"colour_times_number",       [&] { return a * 2; },    {144, 200, 100, 255}},
      {"colour_over_number",        [&] { return a / 3; },    {66, 33, 16, 255}},
      {"colour_over_zero",          [&] { return a / 0; },    {0, 0, 0, 255}},
      {"number_plus_colour",        [&] { return 60 + a; },   {4, 160, 110, 255}},
      {"number_minus_colour",       [&] { return 60 - a; },   {116, 216, 10, 255}},
      {"number_times_colour",       [&] { return 2 * a; },    {144, 200, 100, 255}},
      {"number_over_colour",        [&] { return 250 / small; }, {15, 83, 0, 255}},
      {"in_place_sum",              [&] { GRGBColor c = a; c += b; return c; }, {44, 44, 60, 255}},
      {"in_place_difference",       [&] { GRGBColor c = a; c -= b; return c; }, {100, 156, 40, 255}},
      {"in_place_product",          [&] { GRGBColor c = a; c *= small; return c; }, {128, 44, 0, 255}},
      {"in_place_quotient",         [&] { GRGBColor c = a; c /= small; return c; }, {12, 33, 0, 255}},
      {"in_place_number_sum",       [&] { GRGBColor c = a; c += 60; return c; }, {4, 160, 110, 255}},
      {"in_place_number_difference", [&] { GRGBColor c = a; c -= 60; return c; }, {140, 40, 246, 255}},
      {"in_place_number_product",   [&] { GRGBColor c = a; c *= 2; return c; }, {144, 200, 100, 255}},
      {"in_place_number_quotient",  [&] { GRGBColor c = a; c /= 0; return c; }, {0, 0, 0, 255}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Components(c.compute()), c.expected);
  }
}

// A new colour is a value of its own; in place, the colour keeps its
// identity.
TEST(RGBColorArithmetic, NewColoursAreFreshAndInPlaceKeepsKeyAndSerialNumber) {
  GRGBColor color(1, 2, 3, 4);
  color.SetKey(12);
  const uint32_t serial = color.SerialNumber();
  const GRGBColor sum = color + color;
  EXPECT_EQ(sum.Key(), 0);
  EXPECT_NE(sum.SerialNumber(), serial);
  color *= sum;
  EXPECT_EQ(color.Key(), 12);
  EXPECT_EQ(color.SerialNumber(), serial);
  EXPECT_EQ(Components(color), (std::vector<int>{2, 8, 18, 255}));

  const GRGBTriple negated = GRGBColor(1, 0, 255, 9).Negate();
  EXPECT_EQ(negated.GetRed(), 255);
  EXPECT_EQ(negated.GetGreen(), 0);
  EXPECT_EQ(negated.GetBlue(), 1);
}

TEST(RGBColor, ConstructionAccessAndCopyInto) {
  EXPECT_EQ(Components(GRGBColor()), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Components(GRGBColor(GRGBTriple(9, 8, 7), 6)), (std::vector<int>{9, 8, 7, 6}));
  GRGBColor color;
  color.Set(1, 2, 3, 4);
  color.SetGreen(20);
  color.SetFourth(40);
  uint8_t red, green, blue, fourth;
  color.GetComponents(red, green, blue, fourth);
  EXPECT_EQ((std::vector<int>{red, green, blue, fourth}), (std::vector<int>{1, 20, 3, 40}));

  color.SetKey(5);
  GRGBColor target(9, 9, 9, 9);
  color.CopyTo(target);
  EXPECT_EQ(Components(target), Components(color));
  EXPECT_EQ(target.Key(), 5);
  EXPECT_EQ(target.SerialNumber(), color.SerialNumber());
}

TEST(RGBColor, EqualityIsTheFourComponentsWithoutTheKey) {
  GRGBColor color(1, 2, 3, 255);
  color.SetKey(1);
  GRGBColor other(1, 2, 3, 255);
  other.SetKey(2);
  EXPECT_TRUE(color.SameContent(other));
  other.SetFourth(0);
  EXPECT_FALSE(color.SameContent(other));
  EXPECT_FALSE(color.SameContent(GColorPaint()));
}

TEST(RGBColor, StoredFormAndAnotherVersion) {
  GRGBColor color(10, 20, 30, 255);
  color.SetKey(7);
  EXPECT_EQ(SaveContentsToFileBytes(color), Words({1, 7, color.SerialNumber(), 1, 1}) + "\x0A\x14\x1E\xFF");
  EXPECT_TRUE(RoundTrips(color));

  // A colour part of another version stops before the components.
  std::string bytes = RGBColorBytes(GRGBColor(1, 2, 3, 4));
  bytes[16] = 2;
  GRGBColor restored(10, 20, 30, 255);
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), 20u);
  EXPECT_EQ(Components(restored), (std::vector<int>{10, 20, 30, 255}));
}

// A colour whose destruction is seen.
class TrackedColor : public GRGBColor {
 public:
  explicit TrackedColor(int* deleted) : GRGBColor(1, 2, 3, 255), deleted_(deleted) {}
  ~TrackedColor() override { ++*deleted_; }

 private:
  int* deleted_;
};

TEST(ColorPaint, OwnsItsColourAndClonesItWhenCopied) {
  int deleted = 0;
  auto paint = std::make_unique<GColorPaint>(new TrackedColor(&deleted));
  paint->SetColor(paint->GetColor());
  EXPECT_EQ(deleted, 0);
  paint->SetColor(new GRGBColor(4, 5, 6, 255));
  EXPECT_EQ(deleted, 1);

  const GColorPaint copy(*paint);
  ASSERT_NE(copy.GetColor(), nullptr);
  EXPECT_NE(copy.GetColor(), paint->GetColor());
  EXPECT_TRUE(copy.GetColor()->SameContent(*paint->GetColor()));

  paint->SetColor(new TrackedColor(&deleted));
  paint.reset();
  EXPECT_EQ(deleted, 2);
}

TEST(ColorPaint, EqualityComparesColoursOnlyWhenBothHaveOne) {
  struct Case {
    const char* name;
    GColor* left;
    GColor* right;
    int32_t rightKey;
    bool equal;
  };
  // clang-format off
  const Case cases[] = {
      {"equal_colours",          new GRGBColor(1, 2, 3, 255), new GRGBColor(1, 2, 3, 255), 0, true},
      {"other_colours",          new GRGBColor(1, 2, 3, 255), new GRGBColor(1, 2, 4, 255), 0, false},
      {"left_without_colour",    nullptr,                     new GRGBColor(1, 2, 4, 255), 0, true},
      {"right_without_colour",   new GRGBColor(1, 2, 3, 255), nullptr,                     0, true},
      {"other_key",              nullptr,                     nullptr,                     1, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GColorPaint left(c.left);
    GColorPaint right(c.right);
    right.SetKey(c.rightKey);
    EXPECT_EQ(left.SameContent(right), c.equal);
    EXPECT_EQ(right.SameContent(left), c.equal);
  }
}

TEST(ColorPaint, AppliesItselfThroughTheTargetsColourOperations) {
  GColorPaint paint(new GRGBColor(1, 2, 3, 255));
  AttributeRecorder target;
  EXPECT_EQ(paint.ApplyAsPen(target), AttributeRecorder::kStatus);
  EXPECT_EQ(paint.ApplyAsBrush(target), AttributeRecorder::kStatus);
  EXPECT_EQ(target.Handlers(), (std::vector<std::string>{"pen_color", "brush_color"}));
  EXPECT_EQ(target.calls[0].object, &paint);
}

TEST(ColorPaint, StoredFormsWithAndWithoutColour) {
  auto* color = new GRGBColor(10, 20, 30, 255);
  GColorPaint paint(color);
  paint.SetKey(3);
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &paint),
            Graph(kGColorPaintClassID, Words({1, 3, paint.SerialNumber(), 1, 1}) + FirstRGBColorBytes(*color)));
  EXPECT_TRUE(RoundTrips(paint));

  const GColorPaint bare;
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &bare),
            Graph(kGColorPaintClassID, Words({1, 0, bare.SerialNumber(), 1, 1}) + kNilObject));
  EXPECT_TRUE(RoundTrips(bare));
}

// A reference to something that is not a colour leaves the paint without
// one.
TEST(ColorPaint, AColourReferenceToAnotherClassIsRefused) {
  GColorPaint restored(new GRGBColor);
  const std::string table = Shorts({553}) + Words({1, 0, 8, 1, 0});
  RestoreInPlace(restored, Words({1, 3, 9, 1, 1}) + table);
  EXPECT_EQ(restored.GetColor(), nullptr);
}

TEST(PaletteTable, TheDefaultHoldsWhiteThenBlack) {
  const GPaletteTable table;
  ASSERT_EQ(table.GetCount(), 2u);
  EXPECT_EQ(Components(*table.GetEntry(0)), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(Components(*table.GetEntry(1)), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_TRUE(table.IsGray());
}

TEST(PaletteTable, AnIndexPastTheEndRaisesTheIndexErrorAndAnswersNull) {
  const RecordingErrorHandler errors;
  const GPaletteTable table;
  EXPECT_EQ(table.GetEntry(2), nullptr);
  EXPECT_EQ(errors.Texts(),
            (std::vector<std::string>{"[INDEXERR] Illegal Index (2) for collection or string with 2 elements"}));
}

TEST(PaletteTable, IsGrayWhenEveryEntryHasEqualComponents) {
  struct Case {
    const char* name;
    std::vector<GRGBColor> colors;
    bool gray;
  };
  const Case cases[] = {
      {"empty", {}, true},
      {"greys", {GRGBColor(7, 7, 7, 255), GRGBColor(200, 200, 200, 0)}, true},
      {"red_differs", {GRGBColor(7, 7, 7, 255), GRGBColor(8, 7, 7, 255)}, false},
      {"blue_differs", {GRGBColor(7, 7, 6, 255)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GPaletteTable(c.colors).IsGray(), c.gray);
  }
}

TEST(PaletteTable, CopiesAndAssignmentsCloneTheEntries) {
  const GRGBColor colors[] = {GRGBColor(1, 2, 3, 255), GRGBColor(4, 5, 6, 255), GRGBColor(7, 8, 9, 255)};
  GPaletteTable table(colors);
  table.SetKey(4);
  ASSERT_EQ(table.GetCount(), 3u);
  EXPECT_EQ(Components(*table.GetEntry(2)), (std::vector<int>{7, 8, 9, 255}));

  const GPaletteTable copy(table);
  EXPECT_EQ(copy.Key(), 0);
  EXPECT_NE(copy.SerialNumber(), table.SerialNumber());
  ASSERT_EQ(copy.GetCount(), 3u);
  EXPECT_NE(copy.GetEntry(0), table.GetEntry(0));
  EXPECT_TRUE(copy.GetEntry(0)->SameContent(*table.GetEntry(0)));

  GPaletteTable assigned;
  assigned.SetKey(9);
  assigned = table;
  EXPECT_EQ(assigned.Key(), 9);
  ASSERT_EQ(assigned.GetCount(), 3u);
  EXPECT_NE(assigned.GetEntry(1), table.GetEntry(1));
  EXPECT_TRUE(assigned.GetEntry(1)->SameContent(*table.GetEntry(1)));
}

TEST(PaletteTable, EqualityIsKeyCountAndEachEntry) {
  const GRGBColor two[] = {GRGBColor(1, 2, 3, 255), GRGBColor(4, 5, 6, 255)};
  const GRGBColor other[] = {GRGBColor(1, 2, 3, 255), GRGBColor(4, 5, 7, 255)};
  const GPaletteTable table(two);
  EXPECT_TRUE(table.SameContent(GPaletteTable(two)));
  EXPECT_FALSE(table.SameContent(GPaletteTable(other)));
  EXPECT_FALSE(table.SameContent(GPaletteTable(std::span(two, 1))));
  GPaletteTable keyed(two);
  keyed.SetKey(1);
  EXPECT_FALSE(table.SameContent(keyed));
}

TEST(PaletteTable, StoredFormAndRoundTrips) {
  const GPaletteTable table;
  EXPECT_EQ(
      SaveGraph(StoreForm::kFile, &table),
      Graph(kGPaletteTableClassID, Words({1, 0, table.SerialNumber(), 1, 2}) + FirstRGBColorBytes(*table.GetEntry(0)) +
                                       FirstRGBColorBytes(*table.GetEntry(1))));
  EXPECT_TRUE(RoundTrips(table));
  const GRGBColor colors[] = {GRGBColor(1, 2, 3, 255), GRGBColor(4, 5, 6, 255), GRGBColor(7, 8, 9, 255)};
  EXPECT_TRUE(RoundTrips(GPaletteTable(colors)));
  EXPECT_TRUE(RoundTrips(GPaletteTable(std::span<const GRGBColor>())));
}

// A restore lets go of the entries held, then refuses a count the input
// cannot hold and an entry that is not a colour.
TEST(PaletteTable, RestoreRefusesCountsBeyondTheInputAndEntriesThatAreNotColours) {
  struct Case {
    const char* name;
    std::string entries;
    uint32_t restoredCount;
  };
  const std::string colour = FirstRGBColorBytes(GRGBColor(1, 2, 3, 255));
  const Case cases[] = {
      {"count_beyond_the_input", Words({0x10000000}) + colour, 0},
      {"nil_entry", Words({2}) + colour + kNilObject, 1},
      {"paint_entry", Words({1}) + Shorts({152}) + Words({1, 0, 5, 1, 1}) + kNilObject, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPaletteTable table;
    RestoreInPlace(table, Words({1, 0, 0, 1}) + c.entries);
    EXPECT_EQ(table.GetCount(), c.restoredCount);
  }
}

}  // namespace
