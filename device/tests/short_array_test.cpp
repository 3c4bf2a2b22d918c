#include "device/forms/short_array.h"

#include <gtest/gtest.h>

namespace {

TEST(ShortArray, GrowsBy64WhenFull) {
  GShortArray array;
  EXPECT_EQ(array.Capacity(), 0u);
  array.Add(1);
  EXPECT_EQ(array.Capacity(), 64u);
  for (uint16_t i = 1; i < 64; ++i) array.Add(i);
  EXPECT_EQ(array.Capacity(), 64u);
  array.Add(64);
  EXPECT_EQ(array.Capacity(), 128u);
  EXPECT_EQ(array.CountOf(), 65u);
  EXPECT_EQ(array[64], 64);
}

TEST(ShortArray, FindsAndRemovesFirstOrEveryEqualValue) {
  GShortArray array;
  for (uint16_t value : {5, 7, 5, 0xFFFF, 5}) array.Add(value);
  EXPECT_EQ(array.IndexOf(5), 0);
  EXPECT_EQ(array.IndexOf(0xFFFF), 3);
  EXPECT_EQ(array.IndexOf(6), -1);
  EXPECT_TRUE(array.Remove(5));
  EXPECT_EQ(array.IndexOf(5), 1);
  EXPECT_FALSE(array.Remove(6));
  EXPECT_EQ(array.RemoveAll(5), 2u);
  EXPECT_EQ(array.RemoveAll(5), 0u);
  ASSERT_EQ(array.CountOf(), 2u);
  EXPECT_EQ(array[0], 7);
  EXPECT_EQ(array[1], 0xFFFF);
}

}  // namespace
