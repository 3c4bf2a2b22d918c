#include "graphics/delta_row_compressor.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WithByte(size_t size, size_t position, uint8_t value) {
  Bytes row(size, 0);
  row[position] = value;
  return row;
}

TEST(GDeltaRowCompressor, PacksTheChangesAgainstThePreviousRow) {
  struct Case {
    const char* name;
    std::vector<Bytes> rows;  // the seed starts as zeros
    int32_t invert;
    int32_t lengthPrefix;
    std::vector<Bytes> expected;
  };
  Bytes nineChanged(12, 0);
  for (size_t i = 0; i < 9; ++i) nineChanged[i] = static_cast<uint8_t>(0x10 + i);
  // clang-format off
  const Case cases[] = {
      {"change_at_byte_40", {WithByte(50, 40, 0x77)}, 0, 0, {{0x1F, 0x09, 0x77}}},
      {"change_at_byte_31_needs_a_zero_extension", {WithByte(40, 31, 0x77)}, 0, 0, {{0x1F, 0x00, 0x77}}},
      {"change_at_byte_286_needs_255_and_0", {WithByte(300, 286, 0x77)}, 0, 0, {{0x1F, 0xFF, 0x00, 0x77}}},
      {"change_at_byte_30_fits_the_command", {WithByte(40, 30, 0x77)}, 0, 0, {{0x1E, 0x77}}},
      {"row_equal_to_seed", {Bytes(20, 0)}, 0, 0, {{}}},
      {"row_equal_to_seed_with_prefix", {Bytes(20, 0)}, 0, 1, {{0x00, 0x00}}},
      {"run_of_nine_splits_after_eight", {nineChanged}, 0, 0,
       {{0xE0, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x00, 0x18}}},
      {"prefix_holds_the_length_low_byte_first", {WithByte(4, 1, 0x55)}, 0, 1, {{0x02, 0x00, 0x01, 0x55}}},
      {"second_row_against_the_first",
       {{0x01, 0x02, 0x03, 0x04}, {0x01, 0x09, 0x03, 0x08}},
       0, 0,
       {{0x60, 0x01, 0x02, 0x03, 0x04}, {0x01, 0x09, 0x01, 0x08}}},
      // The printer's seed is zeros, so zero data bytes sent inverted differ
      // from it and must be sent.
      {"inverted_zeros_differ_from_the_zero_seed", {{0x00, 0x00, 0xFF}}, 1, 0, {{0x20, 0xFF, 0xFF}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GDeltaRowCompressor stage(4, c.invert, c.lengthPrefix);
    std::vector<MemoryRowSource::Row> rows;
    for (const Bytes& row : c.rows) rows.push_back({row});
    const std::vector<ReadRowResult> results = PackRows(stage, rows);
    ASSERT_EQ(results.size(), c.expected.size());
    for (size_t i = 0; i < results.size(); ++i) {
      EXPECT_EQ(results[i].answer, GRowFilter::kRowDelivered);
      EXPECT_EQ(results[i].bytes, c.expected[i]) << "row " << i;
      EXPECT_TRUE(results[i].withinMaximum);
    }
  }
}

TEST(GDeltaRowCompressor, DecodesToTheInputRowByRow) {
  constexpr size_t kWidth = 300;
  std::vector<MemoryRowSource::Row> rows;
  uint32_t noise = 99;
  for (int y = 0; y < 12; ++y) {
    Bytes row(kWidth);
    for (size_t x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      // Rows that differ everywhere, in scattered bytes, in long stretches
      // after long unchanged gaps, or not at all.
      switch (y % 4) {
        case 0:
          row[x] = static_cast<uint8_t>(y * 31 + x);
          break;
        case 1:
          row[x] = (noise >> 16) % 5 == 0 ? static_cast<uint8_t>(noise >> 8) : static_cast<uint8_t>(x);
          break;
        case 2:
          row[x] = x > 280 || (x > 40 && x < 52) ? static_cast<uint8_t>(y) : static_cast<uint8_t>(x);
          break;
        default:
          row[x] = static_cast<uint8_t>(x);
          break;
      }
    }
    rows.push_back({row});
  }
  for (int32_t invert : {0, 1}) {
    for (int32_t prefix : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "invert " << invert << ", prefix " << prefix);
      GDeltaRowCompressor stage(4, invert, prefix);
      const std::vector<ReadRowResult> results = PackRows(stage, rows);
      ASSERT_EQ(results.size(), rows.size());
      Bytes printerSeed(kWidth, 0);
      for (size_t y = 0; y < rows.size(); ++y) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(results[y].withinMaximum);
        std::span<const uint8_t> packed(results[y].bytes);
        if (prefix) {
          ASSERT_GE(packed.size(), 2u);
          EXPECT_EQ(packed[0] | (packed[1] << 8), static_cast<int>(packed.size() - 2));
          packed = packed.subspan(2);
        }
        ASSERT_TRUE(ApplyDeltaRow(packed, printerSeed));
        Bytes expected = rows[y].bytes;
        if (invert)
          for (uint8_t& b : expected) b = static_cast<uint8_t>(~b);
        EXPECT_EQ(printerSeed, expected);
      }
    }
  }
}

TEST(GDeltaRowCompressor, RowsThatChangeEverywhereFillTheMaximum) {
  // Every byte changes in every row: n bytes and one command per 8.
  std::vector<MemoryRowSource::Row> rows = {{Bytes(100, 0x11)}, {Bytes(100, 0x22)}};
  for (int32_t prefix : {0, 1}) {
    GDeltaRowCompressor stage(4, 0, prefix);
    const std::vector<ReadRowResult> results = PackRows(stage, rows);
    ASSERT_EQ(results.size(), 2u);
    for (const ReadRowResult& result : results) {
      EXPECT_EQ(result.bytes.size(), 100u + 13u + (prefix ? 2u : 0u));
      EXPECT_TRUE(result.withinMaximum);
    }
  }
}

TEST(GDeltaRowCompressor, FailsARowWhoseLengthThePrefixCannotHold) {
  // 20,000 colour pixels that all change pack into 67,500 bytes.
  MemoryRowSource source({0, 0, 20000, 1}, 24, {{Bytes(60000, 0x5A)}});
  GDeltaRowCompressor stage(4, 0, 1);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  const ReadRowResult result = ReadRows(stage, 1)[0];
  EXPECT_EQ(result.answer, GRowFilter::kRowFailed);
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_TRUE(result.withinMaximum);
}

}  // namespace
