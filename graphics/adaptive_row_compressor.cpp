#include "graphics/adaptive_row_compressor.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/delta_row_compressor.h"
#include "graphics/packbits_row_compressor.h"

namespace {

constexpr uint32_t kBlockHeaderBytes = 3;

void WriteBlockHeader(uint8_t* block, uint8_t type, uint32_t value) {
  block[0] = type;
  block[1] = static_cast<uint8_t>(value >> 8);
  block[2] = static_cast<uint8_t>(value);
}

}  // namespace

GAdaptiveRowCompressor::GAdaptiveRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

int32_t GAdaptiveRowCompressor::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat,
                                        uint8_t& rows) {
  const int32_t answer = ReadSourceRow(row, length, repeat, rows);
  if (length == 0) return answer;
  const BlockType type = ChooseBlock();
  const uint32_t dataLength = PackBlock(type, buffer + kBlockHeaderBytes);
  if (dataLength > 0xFFFF) {
    // The block header cannot carry the length: a cut value would corrupt the stream.
    length = 0;
    return kRowFailed;
  }
  WriteBlockHeader(buffer, type, dataLength);
  length = kBlockHeaderBytes + dataLength;
  if (repeat > 1 && rows == 1) {
    // The printer repeats the row itself, so the caller sends it once.
    WriteBlockHeader(buffer + length, kDuplicateRows, repeat - 1u);
    length += kBlockHeaderBytes;
    rows = repeat;
    repeat = 1;
  }
  return kRowDelivered;
}

GAdaptiveRowCompressor::BlockType GAdaptiveRowCompressor::ChooseBlock() {
  const uint8_t* data = Input();
  const uint32_t n = RowBytes();
  uint32_t sameAsSeed = 0;
  uint32_t sameAsLeft = 0;
  for (uint32_t j = 0; j < n; ++j) {
    if (data[j] == seed_[j]) ++sameAsSeed;
    if (j > 0 && data[j] == data[j - 1]) ++sameAsLeft;
  }
  if (seedValid_ == 0) {
    sameAsSeed = 0;
    seedValid_ = 1;
  }
  const uint32_t threshold = n / 3;
  if (sameAsLeft < threshold && sameAsSeed < threshold) return kUnpacked;
  if (sameAsSeed < sameAsLeft) return kPackBits;
  return kDeltaRow;
}

uint32_t GAdaptiveRowCompressor::PackBlock(BlockType type, uint8_t* data) {
  const uint32_t padded = RowBytes() + PaddingBytes();
  switch (type) {
    case kDeltaRow:
      return DeltaRow(Input(), seed_.get(), RowBytes(), data);
    case kPackBits:
      std::memcpy(seed_.get(), Input(), RowBytes());
      return PackBits(Input(), padded, data);
    default:
      std::memcpy(seed_.get(), Input(), RowBytes());
      std::memcpy(data, Input(), padded);
      return padded;
  }
}

int32_t GAdaptiveRowCompressor::Open() {
  seed_.reset(new (std::nothrow) uint8_t[SourceRowBytes() + 1]());
  seedValid_ = 0;
  return seed_ ? OpenInput() : 0;
}

uint32_t GAdaptiveRowCompressor::GetMaxRowBytes() const {
  const uint32_t rowBytes = SourceRowBytes();
  const uint32_t paddingBytes = PaddingFor(rowBytes);
  const uint32_t largestBlock =
      std::max({rowBytes + paddingBytes, PackBitsMaxBytes(rowBytes, paddingBytes), DeltaRowMaxBytes(rowBytes)});
  return 2 * kBlockHeaderBytes + largestBlock;
}

void GAdaptiveRowCompressor::ResetSeedRow() {
  if (seed_) std::memset(seed_.get(), 0, RowBytes());
  seedValid_ = 0;
}
