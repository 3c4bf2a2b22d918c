#include "graphics/row_filter.h"

#include <gtest/gtest.h>

#include "graphics/testing/memory_row_source.h"

namespace {

// A stage that overrides only what every stage must.
class PassThrough : public GRowFilter {
 public:
  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override {
    return source_->ReadRow(buffer, row, length, repeat, rows);
  }
};

TEST(GRowFilter, QueriesAnswerTheSourcesValues) {
  PassThrough stage;
  GRectangle bounds{1, 2, 3, 4};
  stage.GetBounds(bounds);
  EXPECT_EQ(bounds.left + bounds.top + bounds.right + bounds.bottom, 0);
  EXPECT_EQ(stage.GetMaxRowBytes(), 0u);
  EXPECT_EQ(stage.GetBitsPerPixel(), 0);
  EXPECT_EQ(stage.GetPalette(), nullptr);

  MemoryRowSource source({5, 6, 25, 16}, 24, {{std::vector<uint8_t>(60, 1)}});
  stage.SetSource(&source);
  EXPECT_EQ(stage.Open(), 1);
  stage.GetBounds(bounds);
  EXPECT_EQ(bounds.left, 5);
  EXPECT_EQ(bounds.top, 6);
  EXPECT_EQ(bounds.right, 25);
  EXPECT_EQ(bounds.bottom, 16);
  EXPECT_EQ(stage.GetMaxRowBytes(), 60u);
  EXPECT_EQ(stage.GetBitsPerPixel(), 24);
}

}  // namespace
