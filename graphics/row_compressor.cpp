#include "graphics/row_compressor.h"

#include <algorithm>
#include <cstring>
#include <new>

GRowCompressor::GRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : paddingMultiple_(paddingMultiple), invertFlag_(invertFlag) {}

uint32_t GRowCompressor::SourceRowBytes() const {
  GRectangle bounds;
  GetBounds(bounds);
  const int32_t width = bounds.right - bounds.left;
  if (width <= 0) return 0;
  return (static_cast<uint32_t>(GetBitsPerPixel()) * static_cast<uint32_t>(width) + 7) >> 3;
}

void GRowCompressor::Invert(uint8_t* bytes, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

int32_t GRowCompressor::OpenInput() {
  if (source_ == nullptr) return 0;
  rowBytes_ = SourceRowBytes();
  paddingBytes_ = PaddingFor(rowBytes_);
  // The source may deliver up to its maximum, whatever the bounds say.
  const uint32_t size = std::max(source_->GetMaxRowBytes(), rowBytes_ + paddingBytes_);
  input_.reset(new (std::nothrow) uint8_t[std::max<uint32_t>(size, 1)]());
  if (!input_) return 0;
  return GRowFilter::Open();
}

int32_t GRowCompressor::ReadSourceRow(uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (!IsReady()) return kRowFailed;
  const int32_t answer = source_->ReadRow(input_.get(), row, length, repeat, rows);
  if (answer != kRowDelivered) length = 0;
  if (length == 0) return answer;
  if (length < rowBytes_) std::memset(input_.get() + length, 0, rowBytes_ - length);
  InvertIfAsked(input_.get(), rowBytes_);
  if (paddingBytes_ != 0) std::memset(input_.get() + rowBytes_, 0, paddingBytes_);
  return answer;
}
