#pragma once

#include <cstdint>
#include <vector>

#include "graphics/row_filter.h"

// A first stage for tests: delivers the rows it holds, in order, numbered from
// 0, then length 0. Each row may carry a repeat count.
class MemoryRowSource : public GRowFilter {
 public:
  struct Row {
    std::vector<uint8_t> bytes;
    uint8_t repeat = 1;
  };

  MemoryRowSource(GRectangle bounds, uint8_t bitsPerPixel, std::vector<Row> rows);

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  // Passes over count rows, which are not delivered.
  void SkipRows(uint32_t count) override { next_ += count; }
  uint32_t GetMaxRowBytes() const override;
  void GetBounds(GRectangle& bounds) const override { bounds = bounds_; }
  uint8_t GetBitsPerPixel() const override { return bitsPerPixel_; }

  // Rows read or skipped so far.
  uint32_t Delivered() const { return next_; }

 private:
  GRectangle bounds_;
  uint8_t bitsPerPixel_;
  std::vector<Row> rows_;
  uint32_t next_ = 0;
};
