#pragma once

#include <cstdint>
#include <memory>

#include "graphics/row_compressor.h"

// Packs the count bytes of row as changes against seed (the previous row as
// the printer knows it), updates seed, and answers the bytes written to
// output: for each run of 1..8 changed bytes after f unchanged ones, a command
// byte ((k - 1) << 5) | min(f, 31), for f >= 31 the rest f - 31 as bytes of
// 255 and a last byte below 255, then the k bytes. Output needs
// DeltaRowMaxBytes room; a row equal to its seed packs into nothing.
uint32_t DeltaRow(const uint8_t* row, uint8_t* seed, uint32_t count, uint8_t* output);

uint32_t DeltaRowMaxBytes(uint32_t rowBytes);

// Packs each row as a delta row against the row before it (zeros before the
// first row), optionally preceded by the packed length in 2 bytes, low byte
// first (a row whose packed length does not fit in 2 bytes fails). Rows are
// not padded.
class GDeltaRowCompressor : public GRowCompressor {
 public:
  GDeltaRowCompressor(uint16_t paddingMultiple, int32_t invertFlag, int32_t lengthPrefixFlag);

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;

 private:
  int32_t lengthPrefixFlag_;
  std::unique_ptr<uint8_t[]> seed_;
};
