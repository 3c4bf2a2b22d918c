#include "graphics/fonts/bit_set.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint32_t> Members(const GBitSet& set) {
  std::vector<uint32_t> members;
  set.ForEach([&members](uint32_t value) {
    members.push_back(value);
    return 1;
  });
  return members;
}

TEST(BitSet, HoldsThirtyTwoBitValuesAndVisitsThemAscendingWhateverTheOrderOfAdding) {
  GBitSet set;
  for (uint32_t value : {0xFFFFFFFFU, 200U, 0x10000U, 7U, 127U, 128U, 0x80000000U, 200U}) set.Add(value);
  EXPECT_EQ(Members(set), (std::vector<uint32_t>{7, 127, 128, 200, 0x10000, 0x80000000U, 0xFFFFFFFFU}));
  EXPECT_TRUE(set.Contains(0xFFFFFFFFU));
  EXPECT_FALSE(set.Contains(0x7FFFFFFFU));
  EXPECT_FALSE(set.Contains(0x1FFFFU)) << "same bit in a block of another base";
  // 7 and 127 share a block; 128 and 200 share the next.
  EXPECT_EQ(set.BlockCount(), 5U);
}

TEST(BitSet, RemoveClearsOneBitAndKeepsTheBlockUntilClear) {
  GBitSet set;
  set.Add(300);
  set.Add(301);
  set.Remove(300);
  set.Remove(5000);  // no block: nothing happens
  EXPECT_FALSE(set.Contains(300));
  EXPECT_TRUE(set.Contains(301));
  set.Remove(301);
  EXPECT_EQ(set.BlockCount(), 1U);
  EXPECT_TRUE(Members(set).empty());
  set.Add(9);
  set.Clear();
  EXPECT_EQ(set.BlockCount(), 0U);
  EXPECT_FALSE(set.Contains(9));
}

TEST(BitSet, ForEachAnswersTheLastCallsAnswerAndZeroWhenEmpty) {
  GBitSet set;
  EXPECT_EQ(set.ForEach([](uint32_t) { return 9; }), 0);
  set.Add(1);
  set.Add(500);
  EXPECT_EQ(set.ForEach([](uint32_t value) { return value == 500 ? 0 : 4; }), 0);
  EXPECT_EQ(set.ForEach([](uint32_t value) { return static_cast<int32_t>(value); }), 500);
}

}  // namespace
