#include "graphics/delta_row_compressor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kLongestRun = 8;
constexpr uint32_t kShortOffsetLimit = 31;  // offsets from 31 on continue in further bytes

// Writes one run of changed bytes after offset unchanged ones; answers the
// new output size.
uint32_t WriteRun(const uint8_t* run, uint32_t count, uint32_t offset, uint8_t* output, uint32_t size) {
  const uint32_t shortOffset = offset < kShortOffsetLimit ? offset : kShortOffsetLimit;
  output[size++] = static_cast<uint8_t>(((count - 1) << 5) | shortOffset);
  if (offset >= kShortOffsetLimit) {
    uint32_t rest = offset - kShortOffsetLimit;
    for (; rest >= 255; rest -= 255) output[size++] = 255;
    output[size++] = static_cast<uint8_t>(rest);
  }
  std::memcpy(output + size, run, count);
  return size + count;
}

// The first position from `from` on, before count, where row and seed
// differ (count when they agree); compares eight bytes at a time, as most of
// a row usually equals its seed.
uint32_t FirstChange(const uint8_t* row, const uint8_t* seed, uint32_t from, uint32_t count) {
  uint32_t j = from;
  for (; count - j >= 8; j += 8) {
    uint64_t a;
    uint64_t b;
    std::memcpy(&a, row + j, sizeof a);
    std::memcpy(&b, seed + j, sizeof b);
    if (a == b) continue;
    if constexpr (std::endian::native == std::endian::little) return j + (std::countr_zero(a ^ b) >> 3);
    break;
  }
  while (j < count && row[j] == seed[j]) ++j;
  return j;
}

}  // namespace

uint32_t DeltaRow(const uint8_t* row, uint8_t* seed, uint32_t count, uint8_t* output) {
  uint32_t size = 0;
  uint32_t j = 0;
  for (;;) {
    const uint32_t changed = FirstChange(row, seed, j, count);
    const uint32_t offset = changed - j;
    if (changed == count) return size;
    const uint32_t runEnd = std::min(count, changed + kLongestRun);
    j = changed + 1;
    while (j < runEnd && row[j] != seed[j]) ++j;
    std::memcpy(seed + changed, row + changed, j - changed);
    size = WriteRun(row + changed, j - changed, offset, output, size);
  }
}

uint32_t DeltaRowMaxBytes(uint32_t rowBytes) { return rowBytes + (rowBytes + 7) / 8; }

GDeltaRowCompressor::GDeltaRowCompressor(uint16_t paddingMultiple, int32_t invertFlag, int32_t lengthPrefixFlag)
    : GRowCompressor(paddingMultiple, invertFlag), lengthPrefixFlag_(lengthPrefixFlag) {}

int32_t GDeltaRowCompressor::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  const int32_t answer = ReadSourceRow(row, length, repeat, rows);
  if (length == 0) return answer;
  const uint32_t prefix = lengthPrefixFlag_ != 0 ? 2 : 0;
  const uint32_t packed = DeltaRow(Input(), seed_.get(), RowBytes(), buffer + prefix);
  if (prefix != 0 && packed > 0xFFFF) {
    // The prefix cannot carry the length: a cut value would corrupt the stream.
    length = 0;
    return kRowFailed;
  }
  if (prefix != 0) {
    buffer[0] = static_cast<uint8_t>(packed);
    buffer[1] = static_cast<uint8_t>(packed >> 8);
  }
  length = prefix + packed;
  return kRowDelivered;
}

int32_t GDeltaRowCompressor::Open() {
  seed_.reset(new (std::nothrow) uint8_t[SourceRowBytes() + 1]());
  return seed_ ? OpenInput() : 0;
}

uint32_t GDeltaRowCompressor::GetMaxRowBytes() const {
  return DeltaRowMaxBytes(SourceRowBytes()) + (lengthPrefixFlag_ != 0 ? 2 : 0);
}
