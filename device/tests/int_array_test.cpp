#include "device/fonts/int_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Values(const GIntArray& array) { return {array.begin(), array.end()}; }

GIntArray Of(std::initializer_list<int32_t> values) {
  GIntArray array;
  for (int32_t value : values) array.Add(value);
  return array;
}

TEST(IntArray, StartsWithRoomFor64AndGrowsBy64) {
  GIntArray array;
  EXPECT_EQ(array.Capacity(), 64u);
  for (int32_t i = 0; i < 65; ++i) array.Add(-i);
  EXPECT_EQ(array.Capacity(), 128u);
  EXPECT_EQ(array[64], -64);
  // A copy counts its capacity afresh from 64 and keeps the order.
  GIntArray copy = Of({1, 2});
  EXPECT_EQ(copy.Capacity(), 64u);
  copy = array;
  EXPECT_EQ(copy.Capacity(), 128u);
  EXPECT_EQ(Values(copy), Values(array));
  copy.Clear();
  EXPECT_EQ(copy.Count(), 0u);
  EXPECT_EQ(copy.Capacity(), 64u);
}

TEST(IntArray, CountsFindsAndRemovesEqualValues) {
  GIntArray array = Of({16, 3, 16, 7});
  EXPECT_EQ(array.CountOf(16), 2u);
  EXPECT_EQ(array.CountOf(5), 0u);
  EXPECT_EQ(array.IndexOf(7), 3);
  EXPECT_EQ(array.IndexOf(5), -1);
  EXPECT_FALSE(array.Remove(5));
  EXPECT_EQ(array.RemoveAll(16), 2u);
  EXPECT_EQ(Values(array), (std::vector<int32_t>{3, 7}));
  EXPECT_TRUE(array.Remove(3));
  EXPECT_EQ(Values(array), (std::vector<int32_t>{7}));
}

}  // namespace
