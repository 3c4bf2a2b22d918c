#include "graphics/packbits_row_compressor.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

// count bytes in which no two neighbours are equal and none is zero.
Bytes Distinct(size_t count, uint8_t first = 1) {
  Bytes bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(first + i % 200));
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(GPackBitsRowCompressor, PacksRowsIntoRuns) {
  struct Case {
    const char* name;
    Bytes row;
    uint16_t paddingMultiple;
    int32_t invert;
    Bytes expected;
  };
  // clang-format off
  const Case cases[] = {
      {"repeat_then_literal", {0x00, 0x00, 0x00, 0x01, 0x02}, 1, 0, {0xFE, 0x00, 0x01, 0x01, 0x02}},
      {"pair_stays_in_literal", {0x01, 0x02, 0x02, 0x03}, 1, 0, {0x03, 0x01, 0x02, 0x02, 0x03}},
      {"pair_then_third_becomes_repeat", {0x01, 0x02, 0x02, 0x02}, 1, 0, {0x00, 0x01, 0xFE, 0x02}},
      {"literal_of_130_splits_at_128", Distinct(130), 1, 0,
       Concat(Concat({0x7F}, Distinct(128)), Concat({0x01}, {Distinct(130)[128], Distinct(130)[129]}))},
      {"repeat_of_200_splits_at_128", Bytes(200, 0x33), 1, 0, {0x81, 0x33, 0xB9, 0x33}},
      {"repeat_of_129_leaves_a_literal_of_one", Bytes(129, 0x44), 1, 0, {0x81, 0x44, 0x00, 0x44}},
      // The data bytes are inverted, the three padding zeros are not.
      {"padding_is_never_inverted", {0x01, 0x02, 0x03, 0x04, 0x05}, 4, 1,
       {0x04, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xFE, 0x00}},
      {"row_already_on_the_multiple", {0x07, 0x07, 0x07, 0x07}, 4, 0, {0xFD, 0x07}},
      // A full literal of 127 bytes and the first zero; the second zero opens
      // a new literal: four bytes more than the data.
      {"full_literal_then_padding", Distinct(127), 3, 0,
       Concat(Concat({0x7F}, Concat(Distinct(127), {0x00})), {0x00, 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPackBitsRowCompressor stage(c.paddingMultiple, c.invert);
    const std::vector<ReadRowResult> results = PackRows(stage, {{c.row}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].answer, GRowFilter::kRowDelivered);
    EXPECT_EQ(results[0].bytes, c.expected);
    EXPECT_TRUE(results[0].withinMaximum);
  }
}

TEST(GPackBitsRowCompressor, NeverWritesPastItsMaximum) {
  // Rows that pack worst: no two neighbours equal, pairs that stay in
  // literals, and padding that cannot join the data.
  Bytes pairs;
  for (int i = 1; pairs.size() < 300; ++i) pairs.insert(pairs.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
  const Bytes rows[] = {Distinct(1), Distinct(126), Distinct(127), Distinct(128), Distinct(255), Distinct(300), pairs};
  const uint16_t multiples[] = {1, 2, 3, 4, 5, 127, 128, 129, 300, 1000};
  for (const Bytes& row : rows) {
    for (uint16_t multiple : multiples) {
      SCOPED_TRACE(testing::Message() << row.size() << " bytes, multiple " << multiple);
      GPackBitsRowCompressor stage(multiple, 0);
      const std::vector<ReadRowResult> results = PackRows(stage, {{row}});
      ASSERT_EQ(results.size(), 1u);
      EXPECT_TRUE(results[0].withinMaximum);
      const uint32_t padding = row.size() % multiple == 0 ? 0 : multiple - row.size() % multiple;
      Bytes expected = row;
      expected.resize(row.size() + padding, 0);
      EXPECT_EQ(UnpackBits(results[0].bytes), expected);
    }
  }
}

TEST(GPackBitsRowCompressor, MaximumFollowsTheRowBytesOfTheBounds) {
  struct Case {
    const char* name;
    int16_t width;
    uint8_t bitsPerPixel;
    uint16_t paddingMultiple;
    uint32_t expected;
  };
  // clang-format on
  const Case cases[] = {
      {"colour_row_on_the_multiple", 100, 24, 4, 300 + 3},
      {"grey_row_that_needs_padding", 101, 8, 4, 101 + 1 + 2},
      {"one_bit_row", 10, 1, 1, 2 + 1},
      {"empty_bounds", 0, 8, 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source({0, 0, c.width, 1}, c.bitsPerPixel, {});
    GPackBitsRowCompressor stage(c.paddingMultiple, 0);
    stage.SetSource(&source);
    EXPECT_EQ(stage.GetMaxRowBytes(), c.expected);
  }
}

TEST(GPackBitsRowCompressor, DeliversNothingWhenNotOpenOrAfterTheLastRow) {
  GPackBitsRowCompressor unopened(4, 0);
  EXPECT_EQ(unopened.Open(), 0);
  const ReadRowResult refused = ReadRows(unopened, 1)[0];
  EXPECT_EQ(refused.answer, GRowFilter::kRowFailed);
  EXPECT_TRUE(refused.bytes.empty());

  MemoryRowSource source({0, 0, 2, 1}, 8, {{{0x01, 0x02}}});
  GPackBitsRowCompressor stage(4, 0);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  const std::vector<ReadRowResult> rows = ReadRows(stage, 2);
  EXPECT_EQ(rows[0].bytes, (Bytes{0x03, 0x01, 0x02, 0x00, 0x00}));
  EXPECT_EQ(rows[1].answer, GRowFilter::kRowDelivered);
  EXPECT_TRUE(rows[1].bytes.empty());
}

}  // namespace
