#include "graphics/packbits_row_compressor.h"

#include <cstring>

#include "graphics/packbits_runs.h"

uint32_t PackBits(const uint8_t* input, uint32_t count, uint8_t* output) {
  uint8_t* out = output;
  ForEachPackBitsRun(input, count, kPackBitsLongestRun, [&out](uint8_t header, const uint8_t* bytes, uint32_t n) {
    *out++ = header;
    std::memcpy(out, bytes, n);
    out += n;
    return true;
  });
  return static_cast<uint32_t>(out - output);
}

uint32_t PackBitsMaxBytes(uint32_t rowBytes, uint32_t paddingBytes) {
  uint32_t maximum = rowBytes + (rowBytes + 126) / 127;
  if (paddingBytes == 0) return maximum;
  // Padding zeros add at most two bytes to the literal before them and two
  // bytes for each further repeat run of 128. A row of 127 bytes packs into a
  // literal that the first zero fills, so the zeros open a new run: one byte
  // more than the margin of one count byte per 127 covers.
  maximum += 2 + 2 * (paddingBytes / 128);
  if (rowBytes == 127) ++maximum;
  return maximum;
}

GPackBitsRowCompressor::GPackBitsRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

int32_t GPackBitsRowCompressor::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat,
                                        uint8_t& rows) {
  const int32_t answer = ReadSourceRow(row, length, repeat, rows);
  if (length == 0) return answer;
  length = PackBits(Input(), RowBytes() + PaddingBytes(), buffer);
  return kRowDelivered;
}

int32_t GPackBitsRowCompressor::Open() { return OpenInput(); }

uint32_t GPackBitsRowCompressor::GetMaxRowBytes() const {
  const uint32_t rowBytes = SourceRowBytes();
  return PackBitsMaxBytes(rowBytes, PaddingFor(rowBytes));
}
