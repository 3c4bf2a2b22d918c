#include "bench/page_row_source.h"

#include <cstring>

int32_t PageRowSource::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  row = static_cast<uint16_t>(next_);
  repeat = 1;
  rows = 1;
  length = 0;
  if (next_ >= page_.height) return kRowDelivered;
  std::memcpy(buffer, page_.Row(next_++), page_.rowBytes);
  length = page_.rowBytes;
  return kRowDelivered;
}

void PageRowSource::GetBounds(GRectangle& bounds) const {
  bounds = GRectangle{0, 0, static_cast<int16_t>(page_.width), static_cast<int16_t>(page_.height)};
}
