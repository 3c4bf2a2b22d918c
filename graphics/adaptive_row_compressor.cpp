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

// How many of the count bytes at a equal the byte at the same place in b,
// eight at a time: a lane counter per byte position gathers up to 255 words
// before it is summed.
uint32_t CountEqualBytes(const uint8_t* a, const uint8_t* b, uint32_t count) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  constexpr uint64_t kLanePairs = 0x00FF00FF00FF00FFu;
  uint32_t equal = 0;
  uint32_t j = 0;
  while (count - j >= 8) {
    uint64_t lanes = 0;
    for (uint32_t words = std::min<uint32_t>((count - j) / 8, 255); words > 0; --words, j += 8) {
      uint64_t x;
      uint64_t y;
      std::memcpy(&x, a + j, sizeof x);
      std::memcpy(&y, b + j, sizeof y);
      const uint64_t differ = x ^ y;
      // The top bit of each byte that is zero in differ, alone.
      lanes += ~(((differ & kLow7) + kLow7) | differ | kLow7) >> 7;
    }
    lanes = (lanes & kLanePairs) + ((lanes >> 8) & kLanePairs);
    equal += static_cast<uint32_t>((lanes * 0x0001000100010001u) >> 48);
  }
  for (; j < count; ++j) equal += a[j] == b[j] ? 1 : 0;
  return equal;
}

}  // namespace

GAdaptiveRowCompressor::GAdaptiveRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

int32_t GAdaptiveRowCompressor::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat,
                                        uint8_t& rows) {
  const int32_t answer = ReadSourceRow(row, length, repeat, rows);
  if (length == 0) return answer;
  // Most rows of a page of text repeat the row before: an empty delta row,
  // found without counting.
  const bool sameAsSeed = seedValid_ != 0 && std::memcmp(Input(), seed_.get(), RowBytes()) == 0;
  const BlockType type = sameAsSeed ? kDeltaRow : ChooseBlock();
  const uint32_t dataLength = sameAsSeed ? 0 : PackBlock(type, buffer + kBlockHeaderBytes);
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
  // Before the first row, and after a reset, no byte counts as the seed's.
  const uint32_t sameAsSeed = seedValid_ != 0 ? CountEqualBytes(data, seed_.get(), n) : 0;
  const uint32_t sameAsLeft = n > 0 ? CountEqualBytes(data + 1, data, n - 1) : 0;
  seedValid_ = 1;
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
