#include "graphics/row_pad_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(GRowPadFilter, PadsEachRowWithZerosToTheMultiple) {
  struct Case {
    const char* name;
    Bytes row;
    uint16_t paddingMultiple;
    int32_t invert;
    Bytes expected;
  };
  const Case cases[] = {
      {"pads_to_four", {0x01, 0x02, 0x03, 0x04, 0x05}, 4, 0, {0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x00, 0x00}},
      {"row_on_the_multiple_is_unchanged", {0x01, 0x02, 0x03, 0x04}, 4, 0, {0x01, 0x02, 0x03, 0x04}},
      {"inverts_data_but_not_padding", {0x01, 0xF0, 0x00}, 4, 1, {0xFE, 0x0F, 0xFF, 0x00}},
      {"multiple_one_pads_nothing", {0x01, 0x02, 0x03}, 1, 0, {0x01, 0x02, 0x03}},
      {"multiple_zero_pads_nothing", {0x01, 0x02, 0x03}, 0, 0, {0x01, 0x02, 0x03}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRowPadFilter stage(c.paddingMultiple, c.invert);
    const std::vector<ReadRowResult> results = PackRows(stage, {{c.row}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].bytes, c.expected);
    EXPECT_TRUE(results[0].withinMaximum);
  }
}

TEST(GRowPadFilter, EndsWithTheSourceAndNeedsOne) {
  MemoryRowSource source({0, 0, 3, 1}, 8, {{{0x01, 0x02, 0x03}}});
  GRowPadFilter stage(4, 0);
  EXPECT_EQ(stage.Open(), 0);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  EXPECT_EQ(stage.GetMaxRowBytes(), 3u + 4u);
  const std::vector<ReadRowResult> results = ReadRows(stage, 2);
  EXPECT_EQ(results[0].bytes.size(), 4u);
  EXPECT_TRUE(results[1].bytes.empty());
}

}  // namespace
