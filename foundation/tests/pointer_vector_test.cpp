#include "foundation/pointer_vector.h"

#include <gtest/gtest.h>

#include "foundation/testing/recording_error_handler.h"

namespace {

int a, b;

TEST(GPointerVector, ResizeKeepsTheFirstEntriesAndNullsTheNewOnes) {
  GPointerVector vector(4, &a);
  vector[3] = &b;
  vector.Resize(8);
  ASSERT_EQ(vector.Count(), 8u);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(vector[i], &a);
  EXPECT_EQ(vector[3], &b);
  for (uint32_t i = 4; i < 8; ++i) EXPECT_EQ(vector[i], nullptr);
  vector.Reshape(2);
  EXPECT_EQ(vector.Count(), 2u);
  EXPECT_EQ(vector[1], &a);
  vector.Reshape(0);
  EXPECT_EQ(vector.Data(), nullptr);
}

TEST(GPointerVector, CopiesAreIndependent) {
  GPointerVector original(3, &a);
  GPointerVector copy(original);
  GPointerVector assigned(1);
  assigned = original;
  original.Fill(&b);
  EXPECT_EQ(copy[2], &a);
  EXPECT_EQ(assigned.Count(), 3u);
  EXPECT_EQ(assigned[0], &a);
  assigned = assigned;
  EXPECT_EQ(assigned[1], &a);
}

TEST(GPointerVector, CheckIndexRaisesPastTheEnd) {
  GPointerVector vector(2);
  RecordingErrorHandler handler;
  EXPECT_TRUE(vector.CheckIndex(1));
  EXPECT_FALSE(vector.CheckIndex(2));
  EXPECT_EQ(handler.Texts(),
            std::vector<std::string>{"[INDEXERR] Illegal Index (2) for collection or string with 2 elements"});
}

}  // namespace
