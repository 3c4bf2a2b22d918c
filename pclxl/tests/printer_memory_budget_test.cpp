// The printer-memory budget: what consuming and releasing do at and past
// the limit, with arithmetic that must never wrap.
#include "pclxl/generator/printer_memory_budget.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(PrinterMemoryBudget, StartsWithAMegabyteUnusedAndTrackingOn) {
  GPrinterMemoryBudget budget;
  EXPECT_EQ(budget.Limit(), 1048576U);
  EXPECT_EQ(budget.Used(), 0U);
  EXPECT_EQ(budget.Remaining(), 1048576U);
  EXPECT_EQ(budget.IsTracking(), 1);
  budget.SetTracking(0);
  EXPECT_EQ(budget.IsTracking(), 0);
}

struct Step {
  enum Kind { kSetLimit, kConsume, kRelease, kResetUsage } kind;
  uint32_t bytes;
};

uint32_t Apply(GPrinterMemoryBudget& budget, const Step& step) {
  switch (step.kind) {
    case Step::kSetLimit:
      budget.SetLimit(step.bytes);
      return budget.Remaining();
    case Step::kConsume:
      return budget.Consume(step.bytes);
    case Step::kRelease:
      return budget.Release(step.bytes);
    case Step::kResetUsage:
      return budget.ResetUsage();
  }
  return 0;
}

TEST(PrinterMemoryBudget, ConsumesAndReleasesWithinZeroAndTheLimit) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    uint32_t lastAnswer;
    uint32_t used;
  };
  const Case cases[] = {
      {"consume_within_the_limit", {{Step::kSetLimit, 100}, {Step::kConsume, 60}}, 40, 60},
      {"consume_exactly_what_is_left", {{Step::kSetLimit, 100}, {Step::kConsume, 60}, {Step::kConsume, 40}}, 0, 100},
      {"consume_past_the_limit_clamps", {{Step::kSetLimit, 100}, {Step::kConsume, 60}, {Step::kConsume, 41}}, 0, 100},
      {"consume_near_the_top_of_the_range_does_not_wrap",
       {{Step::kSetLimit, 0xFFFFFFF0U}, {Step::kConsume, 0x10}, {Step::kConsume, 0xFFFFFFFFU}},
       0,
       0xFFFFFFF0U},
      {"nothing_fits_a_zero_limit", {{Step::kSetLimit, 0}, {Step::kConsume, 1}}, 0, 0},
      {"release_part_of_the_usage", {{Step::kSetLimit, 100}, {Step::kConsume, 60}, {Step::kRelease, 20}}, 60, 40},
      {"release_more_than_used_empties_the_usage",
       {{Step::kSetLimit, 100}, {Step::kConsume, 60}, {Step::kRelease, 61}},
       100,
       0},
      {"a_new_limit_forgets_the_usage", {{Step::kConsume, 5000}, {Step::kSetLimit, 3000}}, 3000, 0},
      {"reset_usage_answers_the_limit", {{Step::kSetLimit, 100}, {Step::kConsume, 60}, {Step::kResetUsage, 0}}, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPrinterMemoryBudget budget;
    uint32_t answer = 0;
    for (const Step& step : c.steps) answer = Apply(budget, step);
    EXPECT_EQ(answer, c.lastAnswer);
    EXPECT_EQ(budget.Used(), c.used);
    EXPECT_EQ(budget.Remaining(), budget.Limit() - budget.Used());
  }
}

}  // namespace
