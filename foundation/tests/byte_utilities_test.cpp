#include "foundation/byte_utilities.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FirstBit, FindsTheLowestBitWithinTheFirstNBits) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t n;
    int32_t firstSet;
    int32_t firstClear;
  };
  const Case cases[] = {
      {"no_bits", {0xFF}, 0, -1, -1},
      {"lowest_bit", {0x01}, 8, 0, 1},
      {"high_bit_of_second_byte", {0x00, 0x80}, 16, 15, 0},
      {"set_bit_beyond_n_is_ignored", {0x00, 0x10}, 12, -1, 0},
      {"clear_bit_beyond_n_is_ignored", {0xFF, 0xEF}, 12, 0, -1},
      {"bit_just_inside_n", {0x00, 0x08}, 12, 11, 0},
      {"all_clear_full_bytes", {0x00, 0x00, 0x00}, 24, -1, 0},
      {"all_set_full_bytes", {0xFF, 0xFF, 0xFF}, 24, 0, -1},
      {"clear_in_third_byte", {0xFF, 0xFF, 0xFB}, 24, 0, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstSetBit(c.bytes.data(), c.n), c.firstSet);
    EXPECT_EQ(FirstClearBit(c.bytes.data(), c.n), c.firstClear);
  }
}

TEST(ByteArray, CombinesByteByByte) {
  const uint8_t source[] = {0x0F, 0xF0, 0xAA};
  uint8_t orBytes[] = {0x30, 0x03, 0x55, 0x77};
  uint8_t xorBytes[] = {0xFF, 0xFF, 0xAA, 0x77};
  uint8_t andBytes[] = {0x3C, 0x3C, 0xFF, 0x77};
  ByteArrayOr(orBytes, source, 3);
  ByteArrayXor(xorBytes, source, 3);
  ByteArrayAnd(andBytes, source, 3);
  EXPECT_EQ(std::vector<uint8_t>(orBytes, orBytes + 4), (std::vector<uint8_t>{0x3F, 0xF3, 0xFF, 0x77}));
  EXPECT_EQ(std::vector<uint8_t>(xorBytes, xorBytes + 4), (std::vector<uint8_t>{0xF0, 0x0F, 0x00, 0x77}));
  EXPECT_EQ(std::vector<uint8_t>(andBytes, andBytes + 4), (std::vector<uint8_t>{0x0C, 0x30, 0xAA, 0x77}));
}

TEST(TriangleMask4, MarksTheCellsLeftOfTheDiagonal) {
  uint8_t matrix[16];
  TriangleMask4(matrix);
  const uint8_t expected[16] = {0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  EXPECT_EQ(std::vector<uint8_t>(matrix, matrix + 16), std::vector<uint8_t>(expected, expected + 16));
}

int CompareInts(const void* element, const void* key) {
  const int a = *static_cast<const int*>(element);
  const int b = *static_cast<const int*>(key);
  return a < b ? -1 : (a > b ? 1 : 0);
}

TEST(BinarySearchArray, AnswersThePositionFoundOrWhereTheKeyBelongs) {
  const int sorted[] = {10, 20, 30, 40, 50};
  struct Case {
    const char* name;
    int key;
    uint32_t count;
    int32_t found;
    uint32_t position;
  };
  const Case cases[] = {
      {"empty_array", 10, 0, 0, 0}, {"first", 10, 5, 1, 0},          {"last", 50, 5, 1, 4},
      {"middle", 30, 5, 1, 2},      {"before_all", 5, 5, 0, 0},      {"after_all", 55, 5, 0, 5},
      {"between", 35, 5, 0, 3},     {"single_miss_low", 1, 1, 0, 0}, {"single_miss_high", 11, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t position = 99;
    EXPECT_EQ(BinarySearchArray(&c.key, sorted, c.count, sizeof(int), CompareInts, &position), c.found);
    EXPECT_EQ(position, c.position);
  }
}

TEST(LibraryVersion, IsSevenPointZero) { EXPECT_EQ(LibraryVersion(), 0x0700u); }

}  // namespace
