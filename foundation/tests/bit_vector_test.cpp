#include "foundation/bit_vector.h"

#include <gtest/gtest.h>

#include "foundation/testing/recording_error_handler.h"

namespace {

TEST(GBitVector, BitsPastTheCountNeverCount) {
  GBitVector allSet(10, true);
  EXPECT_EQ(allSet.CountSet(), 10u);
  EXPECT_TRUE(allSet.IsAll(true));
  allSet.Resize(16);
  EXPECT_EQ(allSet.CountSet(), 10u);
  EXPECT_FALSE(allSet.TestBit(10));
  EXPECT_FALSE(allSet.IsAll(true));

  // Garbage in the unused bits of the last byte does not change equality,
  // IsAll or the hash.
  const uint8_t clean[] = {0xFF, 0x03};
  const uint8_t dirty[] = {0xFF, 0xF3};
  GBitVector a(clean, 10), b(dirty, 10);
  EXPECT_TRUE(a.Equals(b));
  EXPECT_TRUE(b.IsAll(true));
  EXPECT_EQ(a.Hash(), b.Hash());
  EXPECT_FALSE(a.Equals(GBitVector(clean, 9)));
}

TEST(GBitVector, LogicalOperatorsCombineByteByByte) {
  const uint8_t left[] = {0b1100'1010, 0b01};
  const uint8_t right[] = {0b1010'0110, 0b11};
  GBitVector l(left, 10), r(right, 10);
  const uint8_t expectAnd[] = {0b1000'0010, 0b01};
  const uint8_t expectOr[] = {0b1110'1110, 0b11};
  const uint8_t expectXor[] = {0b0110'1100, 0b10};
  EXPECT_TRUE((l & r).Equals(GBitVector(expectAnd, 10)));
  EXPECT_TRUE((l | r).Equals(GBitVector(expectOr, 10)));
  EXPECT_TRUE((l ^ r).Equals(GBitVector(expectXor, 10)));
  const uint8_t expectNot[] = {0b0011'0101, 0b10};
  EXPECT_TRUE((~l).Equals(GBitVector(expectNot, 10)));
}

TEST(GBitVector, UnequalLengthsRaiseAndReadOnlyTheShorter) {
  RecordingErrorHandler handler;
  GBitVector ten(10, true), twelve(12, false), three(3, false);
  GBitVector result = ten & twelve;
  EXPECT_EQ(result.Count(), 10u);
  EXPECT_EQ(result.CountSet(), 0u);
  result = three | ten;
  EXPECT_EQ(result.Count(), 3u);
  EXPECT_EQ(handler.Texts(), (std::vector<std::string>{"[NEVECL] Unequal vector lengths: 10 versus 12",
                                                       "[NEVECL] Unequal vector lengths: 3 versus 10"}));
  EXPECT_EQ(handler.Records()[0].kind, "internal");
}

TEST(GBitVector, HashFoldsWholeBytesThenTheMaskedRest) {
  const uint8_t bytes[] = {0x12, 0x34, 0x05};
  // h = 20; h = 0x12 ^ rotl(h, 5); h = 0x34 ^ rotl(h, 5); h = rotl(h, 5) ^ (0x05 & 0x0F)
  uint32_t h = 20;
  h = 0x12 ^ ((h << 5) | (h >> 27));
  h = 0x34 ^ ((h << 5) | (h >> 27));
  h = ((h << 5) | (h >> 27)) ^ 0x05;
  EXPECT_EQ(GBitVector(bytes, 20).Hash(), h);
  EXPECT_EQ(GBitVector(0).Hash(), 0u);
}

TEST(GBitVector, ResizeShrinksAndGrowsWithClearBits) {
  GBitVector vector(20, true);
  vector.Resize(5);
  EXPECT_EQ(vector.CountSet(), 5u);
  vector.Resize(40);
  EXPECT_EQ(vector.CountSet(), 5u);
  EXPECT_EQ(vector.ByteCount(), 5u);
  vector.Resize(0);
  EXPECT_EQ(vector.Data(), nullptr);
  EXPECT_TRUE(vector.IsAll(true));
  EXPECT_EQ(vector.CountSet(), 0u);
}

TEST(GBitVector, CopiesAndCheckIndex) {
  GBitVector original(9, false);
  original.SetBit(8);
  GBitVector copy(original);
  GBitVector assigned;
  assigned = original;
  original.ClearBit(8);
  EXPECT_TRUE(copy.TestBit(8));
  EXPECT_TRUE(assigned.TestBit(8));

  RecordingErrorHandler handler;
  EXPECT_TRUE(copy.CheckIndex(8));
  EXPECT_FALSE(copy.CheckIndex(9));
  EXPECT_EQ(handler.Texts(),
            std::vector<std::string>{"[INDEXERR] Illegal Index (9) for collection or string with 9 elements"});
}

}  // namespace
