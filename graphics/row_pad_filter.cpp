#include "graphics/row_pad_filter.h"

#include <cstring>

GRowPadFilter::GRowPadFilter(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

int32_t GRowPadFilter::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (!IsReady()) return kRowFailed;
  const int32_t answer = source_->ReadRow(buffer, row, length, repeat, rows);
  if (answer != kRowDelivered) length = 0;
  if (length == 0) return answer;
  InvertIfAsked(buffer, length);
  const uint32_t padding = PaddingFor(length);
  if (padding == 0) return kRowDelivered;
  std::memset(buffer + length, 0, padding);
  length += padding;
  return kRowDelivered;
}

int32_t GRowPadFilter::Open() { return source_ != nullptr ? GRowFilter::Open() : 0; }

uint32_t GRowPadFilter::GetMaxRowBytes() const { return GRowFilter::GetMaxRowBytes() + PaddingMultiple(); }
