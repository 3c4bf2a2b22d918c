// Tests of the escapements: turning advances by the font's angle, setting
// single advances, equality and the stored form.
#include "graphics/fonts/text_escapements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/clips/float_value.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

GCodeBlock<int16_t> Owned(const std::vector<int16_t>& values) { return GCodeBlock<int16_t>(values); }

// Every advance in one direction, by the getter of that direction.
std::vector<int16_t> AdvancesOf(const GTextEscapements& escapements,
                                int16_t (GTextEscapements::*advance)(uint16_t) const) {
  std::vector<int16_t> values;
  for (uint16_t i = 0; i < escapements.GetCount(); ++i) values.push_back((escapements.*advance)(i));
  return values;
}

std::vector<int16_t> XOf(const GTextEscapements& escapements) {
  return AdvancesOf(escapements, &GTextEscapements::GetXAdvance);
}

std::vector<int16_t> YOf(const GTextEscapements& escapements) {
  return AdvancesOf(escapements, &GTextEscapements::GetYAdvance);
}

TEST(TextEscapements, TurnsAdvancesByTheAngle) {
  struct Case {
    const char* name;
    float degrees;
    std::vector<int16_t> advances;
    bool hasX;
    std::vector<int16_t> x;
    bool hasY;
    std::vector<int16_t> y;
  };
  const Case cases[] = {
      {"upright", 0, {100, 100, 100}, true, {100, 100, 100}, false, {0, 0, 0}},
      {"up", 90, {100, 100, 100}, false, {0, 0, 0}, true, {-100, -100, -100}},
      {"upside_down", 180, {100, -5}, true, {-100, 5}, false, {0, 0}},
      {"down", 270, {100, 100, 100}, false, {0, 0, 0}, true, {100, 100, 100}},
      {"below_zero_is_down", -90, {7}, false, {0}, true, {7}},
      // Placed at 71, 141, 212 from the running sum, not 71 + 71 + 71.
      {"diagonal_from_running_sums", 45, {100, 100, 100}, true, {71, 70, 71}, true, {-71, -70, -71}},
      // -70.71 + 0.5 and -141.42 + 0.5 cut toward zero.
      {"negative_advances_cut_toward_zero", 45, {-100, -100}, true, {-70, -70}, true, {70, 70}},
      {"shallow", 30, {10, 10, 10, 10}, true, {9, 8, 9, 9}, true, {-5, -5, -5, -5}},
      {"steep_backwards", 135, {100, 100}, true, {-70, -70}, true, {-71, -70}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GTextEscapements turned(GFloatValue(c.degrees), Owned(c.advances));
    EXPECT_EQ(turned.GetCount(), c.advances.size());
    EXPECT_EQ(turned.GetXAdvances() != nullptr, c.hasX);
    EXPECT_EQ(turned.GetYAdvances() != nullptr, c.hasY);
    EXPECT_EQ(XOf(turned), c.x);
    EXPECT_EQ(YOf(turned), c.y);
  }
}

TEST(TextEscapements, NegatesOnlyItsOwnCopyOfBorrowedAdvances) {
  const int16_t advances[] = {10, 20};
  const GTextEscapements up(GFloatValue(90), GCodeBlock<int16_t>(advances, 2));
  EXPECT_EQ(YOf(up), (std::vector<int16_t>{-10, -20}));
  EXPECT_EQ(advances[0], 10);
  EXPECT_EQ(advances[1], 20);
  // Upright, the borrowed advances are used as they are.
  const GTextEscapements upright(GFloatValue(0), GCodeBlock<int16_t>(advances, 2));
  EXPECT_EQ(upright.GetXAdvances(), advances);
}

TEST(TextEscapements, SetsAdvancesMakingArraysOnlyForNonZeroValues) {
  const int16_t borrowed[] = {1, 2, 3};
  GTextEscapements escapements(GCodeBlock<int16_t>(borrowed, 3), {}, 3);
  escapements.SetYAdvance(1, 0);
  EXPECT_EQ(escapements.GetYAdvances(), nullptr);
  escapements.SetYAdvance(1, -4);
  EXPECT_EQ(YOf(escapements), (std::vector<int16_t>{0, -4, 0}));
  escapements.SetXAdvance(2, 9);
  EXPECT_EQ(XOf(escapements), (std::vector<int16_t>{1, 2, 9}));
  EXPECT_EQ(borrowed[2], 3);
  // An index past the count changes nothing.
  escapements.SetXAdvance(3, 5);
  EXPECT_EQ(XOf(escapements), (std::vector<int16_t>{1, 2, 9}));
}

TEST(TextEscapements, SameContentComparesEachDirection) {
  const int16_t shared[] = {4, 5};
  const GTextEscapements base(GCodeBlock<int16_t>(shared, 2), {}, 2);
  struct Case {
    const char* name;
    GTextEscapements other;
    bool same;
  };
  const Case cases[] = {
      {"the_same_array", GTextEscapements(GCodeBlock<int16_t>(shared, 2), {}, 2), true},
      {"equal_values", GTextEscapements(Owned({4, 5}), {}, 2), true},
      {"another_value", GTextEscapements(Owned({4, 6}), {}, 2), false},
      {"y_present_on_one_side", GTextEscapements(Owned({4, 5}), Owned({0, 0}), 2), false},
      {"x_absent_on_one_side", GTextEscapements({}, {}, 2), false},
      {"another_count", GTextEscapements(Owned({4, 5}), {}, 3), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(base.SameContent(c.other), c.same);
    EXPECT_EQ(c.other.SameContent(base), c.same);
  }
}

TEST(TextEscapements, StoresPresentArraysBehindTheirFlags) {
  const GTextEscapements both(Owned({1, -2}), Owned({3, 4}), 2);
  EXPECT_EQ(SaveContentsToFileBytes(both), Words({1, 0, both.SerialNumber(), 1}) + Shorts({2}) + Words({1}) +
                                               Shorts({1, 0xFFFE}) + Words({1}) + Shorts({3, 4}));
  const GTextEscapements onlyY({}, Owned({7, 8, 9}), 3);
  EXPECT_EQ(SaveContentsToFileBytes(onlyY),
            Words({1, 0, onlyY.SerialNumber(), 1}) + Shorts({3}) + Words({0, 1}) + Shorts({7, 8, 9}));
  for (const GTextEscapements* escapements : {&both, &onlyY}) EXPECT_TRUE(RoundTrips(*escapements));
  EXPECT_TRUE(RoundTrips(GTextEscapements()));

  GTextEscapements restored(Owned({1, 1, 1}), {}, 3);
  const std::string bytes = SaveContentsToFileBytes(onlyY);
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_EQ(restored.GetXAdvances(), nullptr);
  EXPECT_EQ(YOf(restored), (std::vector<int16_t>{7, 8, 9}));
}

TEST(TextEscapements, RefusesCountsTheInputCannotHold) {
  const std::string truncated = Words({1, 0, 0, 1}) + Shorts({0xFFFF}) + Words({1}) + Shorts({1, 2});
  GTextEscapements restored;
  RestoreContentsFromFileBytes(restored, truncated);
  EXPECT_EQ(restored.GetXAdvances(), nullptr);
  EXPECT_EQ(restored.GetXAdvance(0), 0);
}

}  // namespace
