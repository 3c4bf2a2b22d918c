#pragma once

#include <cstdint>

#include "graphics/row_compressor.h"

// Packs count bytes in the TIFF PackBits form into output and answers the
// bytes written. A literal run is a count byte c (0..127) and c + 1 bytes; a
// repeat run is a count byte 257 - k (255 down to 129) and the byte repeated
// k = 2..128 times. Output needs PackBitsMaxBytes room.
uint32_t PackBits(const uint8_t* input, uint32_t count, uint8_t* output);

// The most bytes PackBits writes for rowBytes arbitrary bytes followed by
// paddingBytes zeros.
uint32_t PackBitsMaxBytes(uint32_t rowBytes, uint32_t paddingBytes);

// Packs each row, with its padding, with PackBits.
class GPackBitsRowCompressor : public GRowCompressor {
 public:
  GPackBitsRowCompressor(uint16_t paddingMultiple, int32_t invertFlag);

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;
};
