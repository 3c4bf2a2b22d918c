#pragma once

#include <cstdint>

#include "bench/bench_page.h"
#include "graphics/row_filter.h"

// The first stage of a benchmarked row chain: copies the page's rows, one
// per call, as an image source would.
class PageRowSource : public GRowFilter {
 public:
  explicit PageRowSource(const BenchPage& page) : page_(page) {}

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  uint32_t GetMaxRowBytes() const override { return page_.rowBytes; }
  void GetBounds(GRectangle& bounds) const override;
  uint8_t GetBitsPerPixel() const override { return page_.bitsPerPixel; }

 private:
  const BenchPage& page_;
  uint32_t next_ = 0;
};
