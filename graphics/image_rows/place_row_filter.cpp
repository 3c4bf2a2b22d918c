#include "graphics/image_rows/place_row_filter.h"

int32_t GPlaceRowFilter::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (source_ == nullptr) return kRowFailed;
  return source_->ReadRow(buffer, row, length, repeat, rows);
}
