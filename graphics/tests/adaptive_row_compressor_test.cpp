#include "graphics/adaptive_row_compressor.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<MemoryRowSource::Row>;

Bytes Ramp(size_t count, uint8_t first) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + 3 * i);
  return bytes;
}

TEST(GAdaptiveRowCompressor, ChoosesTheBlockForEachRow) {
  struct Case {
    const char* name;
    Rows rows;
    uint16_t paddingMultiple;
    std::vector<Bytes> expected;
  };
  Bytes almostFirst = Ramp(6, 1);
  almostFirst[5] = 0x40;
  // clang-format off
  const Case cases[] = {
      {"first_row_without_runs_is_unpacked", {{Ramp(6, 1)}}, 4,
       {{0x00, 0x00, 0x08, 0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10, 0x00, 0x00}}},
      {"first_row_with_runs_is_packbits", {{Bytes(6, 0x42)}}, 1, {{0x02, 0x00, 0x02, 0xFB, 0x42}}},
      {"row_close_to_the_seed_is_delta", {{Ramp(6, 1)}, {almostFirst}}, 1,
       {{0x00, 0x00, 0x06, 0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10}, {0x03, 0x00, 0x02, 0x05, 0x40}}},
      {"row_equal_to_the_seed_is_an_empty_delta", {{Ramp(6, 1)}, {Ramp(6, 1)}}, 1,
       {{0x00, 0x00, 0x06, 0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10}, {0x03, 0x00, 0x00}}},
      // Three runs but no byte like the seed: PackBits beats delta.
      {"runs_beat_the_seed", {{Ramp(6, 1)}, {{0x09, 0x09, 0x09, 0x09, 0x09, 0x09}}}, 1,
       {{0x00, 0x00, 0x06, 0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10}, {0x02, 0x00, 0x02, 0xFB, 0x09}}},
      {"repeated_row_adds_a_duplicate_block", {{Ramp(3, 1), 3}}, 1,
       {{0x00, 0x00, 0x03, 0x01, 0x04, 0x07, 0x05, 0x00, 0x02}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GAdaptiveRowCompressor stage(c.paddingMultiple, 0);
    const std::vector<ReadRowResult> results = PackRows(stage, c.rows);
    ASSERT_EQ(results.size(), c.expected.size());
    for (size_t i = 0; i < results.size(); ++i) {
      EXPECT_EQ(results[i].answer, GRowFilter::kRowDelivered);
      EXPECT_EQ(results[i].bytes, c.expected[i]) << "row " << i;
      EXPECT_TRUE(results[i].withinMaximum);
    }
  }
}

TEST(GAdaptiveRowCompressor, RepeatedRowCoversItsRowsOnce) {
  GAdaptiveRowCompressor stage(1, 0);
  const std::vector<ReadRowResult> results = PackRows(stage, {{Ramp(3, 1), 3}});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].rows, 3);
  EXPECT_EQ(results[0].repeat, 1);
}

TEST(GAdaptiveRowCompressor, FirstRowIsNeverADeltaRow) {
  const Bytes firstRows[] = {Ramp(3, 1),         Ramp(3, 0),   Bytes(3, 0),  Bytes(3, 7),
                             {0x00, 0x00, 0x05}, Ramp(200, 0), Bytes(200, 0)};
  for (const Bytes& row : firstRows) {
    SCOPED_TRACE(testing::Message() << row.size() << " bytes from " << int{row[0]});
    GAdaptiveRowCompressor stage(1, 0);
    const std::vector<ReadRowResult> results = PackRows(stage, {{row}});
    ASSERT_EQ(results.size(), 1u);
    ASSERT_FALSE(results[0].bytes.empty());
    EXPECT_NE(results[0].bytes[0], 3);
  }
}

TEST(GAdaptiveRowCompressor, ResetSeedRowComparesTheNextRowWithNoSeed) {
  MemoryRowSource source({0, 0, 6, 3}, 8, {{Ramp(6, 1)}, {Ramp(6, 1)}, {Ramp(6, 1)}});
  GAdaptiveRowCompressor stage(1, 0);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  EXPECT_EQ(ReadRows(stage, 1)[0].bytes[0], 0x00);
  EXPECT_EQ(ReadRows(stage, 1)[0].bytes[0], 0x03);
  stage.ResetSeedRow();
  EXPECT_EQ(ReadRows(stage, 1)[0].bytes[0], 0x00);
}

TEST(GAdaptiveRowCompressor, BlocksDecodeToTheInput) {
  // Short rows, where the first row may be a delta row against the zero
  // seed, and long rows of every kind, with repeats; inverted and not.
  for (size_t width : {size_t{2}, size_t{5}, size_t{150}}) {
    Rows rows;
    uint32_t noise = 7;
    for (int y = 0; y < 16; ++y) {
      Bytes row(width);
      for (size_t x = 0; x < width; ++x) {
        noise = noise * 1103515245u + 12345u;
        // clang-format off
        const uint8_t values[] = {
            static_cast<uint8_t>(noise >> 16),              // noise: unpacked
            static_cast<uint8_t>(x / 16 + y),               // runs: PackBits
            x % 10 == 0 ? uint8_t{0x99} : uint8_t{0},       // close to the rows before
            static_cast<uint8_t>(x == 0 ? 0 : y),           // zeros that inversion makes differ
        };
        // clang-format on
        row[x] = values[y % 4];
      }
      rows.push_back({row, static_cast<uint8_t>(y % 5 == 0 ? 3 : 1)});
    }
    for (int32_t invert : {0, 1}) {
      for (uint16_t multiple : {uint16_t{1}, uint16_t{4}}) {
        SCOPED_TRACE(testing::Message() << width << " bytes, invert " << invert << ", multiple " << multiple);
        const size_t padded = (width + multiple - 1) / multiple * multiple;
        GAdaptiveRowCompressor stage(multiple, invert);
        const std::vector<ReadRowResult> results = PackRows(stage, rows);
        ASSERT_EQ(results.size(), rows.size());
        for (const ReadRowResult& result : results) EXPECT_TRUE(result.withinMaximum);

        std::vector<Bytes> expected;
        for (const MemoryRowSource::Row& row : rows) {
          Bytes bytes = row.bytes;
          if (invert)
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(~b);
          bytes.resize(padded, 0);
          expected.insert(expected.end(), row.repeat, bytes);
        }
        EXPECT_EQ(DecodeAdaptiveBlocks(Concatenate(results), padded), expected);
      }
    }
  }
}

}  // namespace
