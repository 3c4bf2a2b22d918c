#include "graphics/image_rows/bitmap_row_source.h"

#include <algorithm>
#include <span>
#include <vector>

#include "graphics/colour/palette_table.h"

namespace {

bool IsGrayMode(int32_t mode) { return mode == 0 || mode == 1 || mode == 4; }

std::unique_ptr<GPaletteTable> InvertedCopy(const GPaletteTable& palette) {
  std::vector<GRGBColor> colors;
  colors.reserve(palette.GetCount());
  for (uint32_t i = 0; i < palette.GetCount(); ++i) {
    const GRGBColor* color = palette.GetEntry(i);
    colors.emplace_back(static_cast<uint8_t>(255 - color->GetRed()), static_cast<uint8_t>(255 - color->GetGreen()),
                        static_cast<uint8_t>(255 - color->GetBlue()), uint8_t{255});
  }
  return std::make_unique<GPaletteTable>(colors);
}

}  // namespace

GBitmapRowSource::GBitmapRowSource(const GBitmap& bitmap, const GRectangle& rectangle, int32_t mode)
    : bitmap_(bitmap),
      rectangle_(rectangle),
      mode_(mode),
      currentRow_(rectangle.top),
      bitsPerPixel_(static_cast<uint8_t>(bitmap.GetBitsPerPixel())) {
  if (IsGrayMode(mode) && bitsPerPixel_ == 24) {
    grayConversion_ = true;
    bitsPerPixel_ = 8;
  }
  if (mode == 1 && bitmap.GetPalette() != nullptr) invertedPalette_ = InvertedCopy(*bitmap.GetPalette());
}

GBitmapRowSource::~GBitmapRowSource() = default;

bool GBitmapRowSource::InvertsBytes() const { return mode_ == 4 || (mode_ == 1 && grayConversion_); }

int32_t GBitmapRowSource::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  repeat = 1;
  rows = 1;
  row = rowCounter_++;
  length = 0;
  if (currentRow_ >= rectangle_.bottom) return kRowDelivered;
  length = bitmap_.GetScanLine(std::span<uint8_t>(buffer, GetMaxRowBytes()), rectangle_.left, rectangle_.right,
                               currentRow_, mode_);
  ++currentRow_;
  if (InvertsBytes()) std::transform(buffer, buffer + length, buffer, [](uint8_t b) { return uint8_t(~b); });
  return kRowDelivered;
}

void GBitmapRowSource::SkipRows(uint32_t count) {
  rowCounter_ = static_cast<uint16_t>(rowCounter_ + count);
  currentRow_ = static_cast<int32_t>(std::min<int64_t>(int64_t{currentRow_} + count, rectangle_.bottom));
}

uint32_t GBitmapRowSource::GetMaxRowBytes() const {
  if (rectangle_.right <= rectangle_.left) return 0;
  return bitmap_.GetSpanBytes(rectangle_.left, rectangle_.right);
}

GPaletteTable* GBitmapRowSource::GetPalette() const {
  if (grayConversion_) return nullptr;
  if (invertedPalette_) return invertedPalette_.get();
  return bitmap_.GetPalette();
}
