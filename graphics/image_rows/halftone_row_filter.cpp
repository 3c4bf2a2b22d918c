#include "graphics/image_rows/halftone_row_filter.h"

#include <algorithm>
#include <cstring>

#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/image_rows/packed_pixels.h"

namespace {

// The non-negative rest of value divided by modulus.
uint32_t Modulo(int32_t value, uint32_t modulus) {
  const int64_t rest = int64_t{value} % modulus;
  return static_cast<uint32_t>(rest < 0 ? rest + modulus : rest);
}

std::unique_ptr<GPaletteTable> BlackAndWhite() {
  const GRGBColor colors[] = {{0, 0, 0, 255}, {255, 255, 255, 255}};
  return std::make_unique<GPaletteTable>(colors);
}

}  // namespace

GHalftoneRowFilter::GHalftoneRowFilter(GDitherMatrix* matrix, GGrayFunction grayFunction)
    : matrix_(matrix), grayFunction_(grayFunction), palette_(BlackAndWhite()) {}

GHalftoneRowFilter::~GHalftoneRowFilter() = default;

int32_t GHalftoneRowFilter::Open() {
  if (source_ == nullptr || matrix_ == nullptr) return 0;
  matrixWidth_ = matrix_->GetWidth();
  matrixHeight_ = matrix_->GetHeight();
  sourceBitsPerPixel_ = source_->GetBitsPerPixel();
  GRectangle bounds;
  source_->GetBounds(bounds);
  if (matrixWidth_ == 0 || matrixHeight_ == 0 || bounds.right <= bounds.left) return 0;
  if (sourceBitsPerPixel_ != 1 && sourceBitsPerPixel_ != 4 && sourceBitsPerPixel_ != 8) return 0;
  BuildGrayTable();
  sourceWidth_ = static_cast<uint32_t>(bounds.right - bounds.left);
  outputRowBytes_ = (sourceWidth_ + 7) / 8;
  xPhase_ = Modulo(bounds.left, matrixWidth_);
  yPhase_ = Modulo(bounds.top, matrixHeight_);
  const uint32_t sourceRowBytes = (uint32_t{sourceBitsPerPixel_} * sourceWidth_ + 7) / 8;
  input_.assign(std::max(source_->GetMaxRowBytes(), sourceRowBytes), 0);
  thresholds_.assign(matrixWidth_, 0);
  pendingRows_ = 0;
  return GRowFilter::Open();
}

void GHalftoneRowFilter::BuildGrayTable() {
  grayTable_.fill(0);
  const uint32_t values = 1u << sourceBitsPerPixel_;
  const GPaletteTable* palette = source_->GetPalette();
  if (palette == nullptr) {
    for (uint32_t i = 0; i < values; ++i) grayTable_[i] = static_cast<uint8_t>(i * 255 / (values - 1));
    return;
  }
  const uint32_t count = std::min(values, palette->GetCount());
  for (uint32_t i = 0; i < count; ++i) {
    const GRGBColor* color = palette->GetEntry(i);
    grayTable_[i] = PixelGray(grayFunction_, color->GetRed(), color->GetGreen(), color->GetBlue());
  }
}

int32_t GHalftoneRowFilter::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (!IsReady()) return kRowFailed;
  if (pendingRows_ != 0) {
    --pendingRows_;
    row = nextRow_++;
  } else {
    uint32_t delivered = 0;
    const int32_t answer = source_->ReadRow(input_.data(), row, delivered, repeat, rows);
    if (answer != kRowDelivered || delivered == 0) return answer;
    if (delivered < input_.size()) std::memset(input_.data() + delivered, 0, input_.size() - delivered);
    if (repeat > 1) {
      pendingRows_ = repeat - 1u;
      nextRow_ = static_cast<uint16_t>(row + 1);
    }
  }
  repeat = 1;
  rows = 1;
  HalftoneRow(row, buffer);
  length = outputRowBytes_;
  return kRowDelivered;
}

void GHalftoneRowFilter::HalftoneRow(uint16_t row, uint8_t* out) {
  const auto matrixRow = static_cast<uint8_t>((yPhase_ + row) % matrixHeight_);
  matrix_->CopyRow(thresholds_.data(), static_cast<uint8_t>(xPhase_), matrixRow);
  std::memset(out, 0, outputRowBytes_);
  uint32_t t = 0;
  for (uint32_t p = 0; p < sourceWidth_; ++p) {
    if (grayTable_[PackedPixel(input_.data(), p, sourceBitsPerPixel_)] >= thresholds_[t]) PutPackedPixel(out, p, 1, 1);
    if (++t == matrixWidth_) t = 0;
  }
}
