#include "graphics/testing/memory_row_source.h"

#include <algorithm>
#include <cstring>
#include <utility>

MemoryRowSource::MemoryRowSource(GRectangle bounds, uint8_t bitsPerPixel, std::vector<Row> rows)
    : bounds_(bounds), bitsPerPixel_(bitsPerPixel), rows_(std::move(rows)) {}

int32_t MemoryRowSource::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  row = static_cast<uint16_t>(next_);
  repeat = 1;
  rows = 1;
  length = 0;
  if (next_ >= rows_.size()) return kRowDelivered;
  const Row& current = rows_[next_++];
  // An empty row has no data pointer to copy from.
  if (!current.bytes.empty()) std::memcpy(buffer, current.bytes.data(), current.bytes.size());
  length = static_cast<uint32_t>(current.bytes.size());
  repeat = current.repeat;
  return kRowDelivered;
}

uint32_t MemoryRowSource::GetMaxRowBytes() const {
  size_t longest = 0;
  for (const Row& row : rows_) longest = std::max(longest, row.bytes.size());
  return static_cast<uint32_t>(longest);
}
