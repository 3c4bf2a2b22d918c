#include "foundation/next_capacity.h"

#include <gtest/gtest.h>

#include "foundation/testing/recording_error_handler.h"

namespace {

TEST(NextCapacity, GrowthRule) {
  struct Case {
    const char* name;
    uint32_t n;
    uint32_t elementSize;
    uint32_t expected;
  };
  const Case cases[] = {
      {"empty_starts_at_sixteen", 0, 4, 16},
      {"just_below_sixteen", 15, 4, 16},
      {"sixteen_doubles", 16, 4, 32},
      {"doubles_up_to_two_gigabytes", 0x1FFFFFFF, 4, 0x3FFFFFFE},
      {"past_two_gigabytes_grows_halfway", 0x20000000, 4, 0x1FFFFFFF + 0x10000000},
      {"bytes_just_below_the_limit", 0x7FFFFFFE, 2, 0x3FFFFFFF + 0x3FFFFFFF},
      {"wide_elements_past_two_gigabytes", 0x10000000, 8, 0x0FFFFFFF + 0x08000000},
  };
  RecordingErrorHandler handler;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NextCapacity(c.n, c.elementSize), c.expected);
  }
  EXPECT_EQ(handler.Count(), 0u);
}

TEST(NextCapacity, BufferThatCannotGrowRaisesOverflowAndAnswersZero) {
  RecordingErrorHandler handler;
  EXPECT_EQ(NextCapacity(0x7FFFFFFF, 2), 0u);
  EXPECT_EQ(NextCapacity(0xFFFFFFFF, 1), 0u);
  // The product is taken in 64 bits, so it cannot wrap into the growing range.
  EXPECT_EQ(NextCapacity(0x40000000, 8), 0u);
  ASSERT_EQ(handler.Count(), 3u);
  EXPECT_EQ(handler.Records()[0].kind, "bounds");
  EXPECT_EQ(handler.Records()[0].text,
            "[OVFLOW] Overflow error -> \"Buffer may not resize larger than\" <- (4294967295 max characters)");
}

}  // namespace
