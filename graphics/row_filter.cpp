#include "graphics/row_filter.h"

void GRowFilter::SkipRows(uint32_t) {}

int32_t GRowFilter::Open() {
  ready_ = 1;
  return 1;
}

uint32_t GRowFilter::GetMaxRowBytes() const { return source_ != nullptr ? source_->GetMaxRowBytes() : 0; }

void GRowFilter::GetBounds(GRectangle& bounds) const {
  if (source_ != nullptr)
    source_->GetBounds(bounds);
  else
    bounds = GRectangle{};
}

uint8_t GRowFilter::GetBitsPerPixel() const { return source_ != nullptr ? source_->GetBitsPerPixel() : 0; }

GPaletteTable* GRowFilter::GetPalette() const { return source_ != nullptr ? source_->GetPalette() : nullptr; }
