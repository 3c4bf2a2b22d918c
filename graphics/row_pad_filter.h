#pragma once

#include <cstdint>

#include "graphics/row_compressor.h"

// Sends rows unpacked: each row inverted when asked and padded with zero bytes
// to the padding multiple.
class GRowPadFilter : public GRowCompressor {
 public:
  GRowPadFilter(uint16_t paddingMultiple, int32_t invertFlag);

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;
};
