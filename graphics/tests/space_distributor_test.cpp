// Tests of the space distributor: how the two distributions hand out their
// units, the unbounded character spacing and when a distributor is active.
#include "graphics/fonts/space_distributor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Distribution = GSpaceDistributor::Distribution;

TEST(SpaceDistributor, StepSpreadsTheRemainderEvenly) {
  struct Case {
    const char* name;
    Distribution distribution;
    std::vector<int16_t> shares;
  };
  const Case cases[] = {
      // {step, error, remainder, remaining, divisor}
      {"one_extra_unit_over_three", {2, 1, 1, 3, 3}, {3, 2, 2, 0, 0}},
      {"two_extra_units_over_four", {0, 2, 2, 4, 4}, {1, 0, 1, 0, 0}},
      {"no_remainder", {5, 1, 0, 2, 1}, {5, 5, 0}},
      {"negative_step", {-3, 1, 0, 2, 1}, {-3, -3, 0}},
      {"nothing_left", {4, 1, 1, 0, 1}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GSpaceDistributor distributor;
    Distribution distribution = c.distribution;
    std::vector<int16_t> shares;
    for (size_t i = 0; i < c.shares.size(); ++i) shares.push_back(distributor.Step(distribution));
    EXPECT_EQ(shares, c.shares);
  }
}

TEST(SpaceDistributor, BreaksDrawFromBothDistributionsWhenTheyIncludeCharacterSpacing) {
  const Distribution character{1, 1, 1, 2, 2};
  const Distribution breaks{10, 1, 0, 2, 1};
  GSpaceDistributor including(character, breaks, false, true);
  EXPECT_EQ(including.NextBreakSpacing(), 12);  // 2 + 10
  EXPECT_EQ(including.NextCharacterSpacing(), 1);
  EXPECT_EQ(including.NextBreakSpacing(), 10);  // the character spacing is used up
  EXPECT_EQ(including.NextBreakSpacing(), 0);

  GSpaceDistributor apart(character, breaks, false, false);
  EXPECT_EQ(apart.NextBreakSpacing(), 10);
  EXPECT_EQ(apart.NextCharacterSpacing(), 2);
}

TEST(SpaceDistributor, AnUnboundedCharacterDistributionGivesItsStepForever) {
  GSpaceDistributor distributor({3, 9, 9, 0, 9}, {0, 1, 0, 0, 0}, true, true);
  EXPECT_TRUE(distributor.IsActive());
  for (int i = 0; i < 100; ++i) ASSERT_EQ(distributor.NextCharacterSpacing(), 3);
  EXPECT_EQ(distributor.NextBreakSpacing(), 3);
  EXPECT_TRUE(distributor.IsActive());
}

TEST(SpaceDistributor, IsActiveOnlyWithGlyphsLeftAndSomethingToGive) {
  struct Case {
    const char* name;
    Distribution character;
    Distribution breaks;
    bool active;
  };
  const Case cases[] = {
      {"nothing_remaining_whatever_the_steps", {5, 1, 3, 0, 4}, {7, 1, 1, 0, 2}, false},
      {"remaining_without_step_or_remainder", {0, 1, 0, 3, 1}, {0, 1, 0, 3, 1}, false},
      {"character_step", {1, 1, 0, 3, 1}, {}, true},
      {"break_remainder", {}, {0, 1, 1, 3, 3}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GSpaceDistributor(c.character, c.breaks, false, true).IsActive(), c.active);
  }
  EXPECT_FALSE(GSpaceDistributor().IsActive());
  EXPECT_EQ(GSpaceDistributor().NextBreakSpacing(), 0);
}

}  // namespace
