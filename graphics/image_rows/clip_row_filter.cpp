#include "graphics/image_rows/clip_row_filter.h"

#include <cstring>

#include "graphics/bitmaps/rectangle_intersection.h"
#include "graphics/clips/clip.h"

int32_t GClipRowFilter::Open() {
  if (source_ == nullptr || clip_ == nullptr || clip_->GetRegion() != GClip::kInside) return 0;
  GRectangle clipBounds;
  if (clip_->GetBounds(clipBounds) == 0) return 0;
  GRectangle sourceBounds;
  source_->GetBounds(sourceBounds);
  clipped_ = IntersectRectangles(sourceBounds, clipBounds);
  if (clipped_ == GRectangle{} || clipped_ == sourceBounds) return 0;
  bitsPerPixel_ = source_->GetBitsPerPixel();
  if (bitsPerPixel_ == 0) return 0;
  rowsToSkip_ = static_cast<uint32_t>(clipped_.top - sourceBounds.top);
  pixelsToSkip_ = static_cast<uint16_t>(clipped_.left - sourceBounds.left);
  bitShift_ = static_cast<uint8_t>((uint32_t{bitsPerPixel_} * pixelsToSkip_) % 8);
  const uint32_t bits = uint32_t{bitsPerPixel_} * static_cast<uint32_t>(clipped_.right - clipped_.left);
  outputRowBytes_ = (bits + 7) >> 3;
  lastByteMask_ = bits % 8 != 0 ? static_cast<uint8_t>(0xFF << (8 - bits % 8)) : 0;
  skipped_ = false;
  return GRowFilter::Open();
}

uint32_t GClipRowFilter::GetMaxRowBytes() const { return GRowFilter::GetMaxRowBytes() + 1; }

int32_t GClipRowFilter::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (!IsReady()) return kRowFailed;
  if (!skipped_) {
    skipped_ = true;
    if (rowsToSkip_ != 0) source_->SkipRows(rowsToSkip_);
  }
  const int32_t answer = source_->ReadRow(buffer, row, length, repeat, rows);
  if (answer != kRowDelivered || length == 0) {
    length = 0;
    return answer;
  }
  row = static_cast<uint16_t>(row - rowsToSkip_);
  const auto height = static_cast<uint32_t>(clipped_.bottom - clipped_.top);
  if (row < height && row + uint32_t{repeat} > height) repeat = static_cast<uint8_t>(height - row);
  // The byte after the delivered ones feeds the shift of the last byte.
  buffer[length] = 0;
  CutRow(buffer);
  length = outputRowBytes_;
  return kRowDelivered;
}

void GClipRowFilter::CutRow(uint8_t* buffer) const {
  const uint32_t offset = (uint32_t{bitsPerPixel_} * pixelsToSkip_) / 8;
  if (bitShift_ == 0) {
    std::memmove(buffer, buffer + offset, outputRowBytes_);
  } else {
    for (uint32_t i = 0; i < outputRowBytes_; ++i) {
      const uint32_t pair = uint32_t{buffer[offset + i]} << 8 | buffer[offset + i + 1];
      buffer[i] = static_cast<uint8_t>(pair >> (8 - bitShift_));
    }
  }
  if (lastByteMask_ != 0) buffer[outputRowBytes_ - 1] &= lastByteMask_;
}
