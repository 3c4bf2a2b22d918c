#include "graphics/delta_row_compressor.h"

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

}  // namespace

uint32_t DeltaRow(const uint8_t* row, uint8_t* seed, uint32_t count, uint8_t* output) {
  uint32_t size = 0;
  uint32_t offset = 0;
  uint32_t runStart = 0;
  uint32_t runLength = 0;
  for (uint32_t j = 0; j < count; ++j) {
    if (row[j] == seed[j]) {
      if (runLength > 0) {
        size = WriteRun(row + runStart, runLength, offset, output, size);
        offset = 0;
        runLength = 0;
      }
      ++offset;
      continue;
    }
    seed[j] = row[j];
    if (runLength++ == 0) runStart = j;
    if (runLength == kLongestRun) {
      size = WriteRun(row + runStart, runLength, offset, output, size);
      offset = 0;
      runLength = 0;
    }
  }
  if (runLength > 0) size = WriteRun(row + runStart, runLength, offset, output, size);
  return size;
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
