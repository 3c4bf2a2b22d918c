#include "graphics/fonts/scaled_font.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "graphics/bitmaps/byte_buffer.h"

namespace {

float UsableFactor(float factor) { return std::isfinite(factor) && factor > 0.0F ? factor : 1.0F; }

// trunc(value x factor), held inside the 32-bit range.
int32_t Scale(int32_t value, float factor) {
  const double scaled = std::trunc(static_cast<double>(value) * factor);
  if (scaled >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (scaled <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(scaled);
}

// A 16-bit size scaled, kept to 16 bits as the description holds it.
int16_t Scale16(int16_t value, float factor) { return static_cast<int16_t>(Scale(value, factor)); }

// Bytes of a 1-bit row of width pixels, padded to 32 bits.
uint32_t RowBytes(uint32_t width) { return (width + 31) / 32 * 4; }

bool BitAt(const uint8_t* row, uint32_t column) { return (row[column >> 3] & (0x80U >> (column & 7))) != 0; }

void SetBit(uint8_t* row, uint32_t column) { row[column >> 3] |= static_cast<uint8_t>(0x80U >> (column & 7)); }

}  // namespace

GScaledFont::GScaledFont(GFont& font, float xFactor, float yFactor)
    : font_(font), xFactor_(UsableFactor(xFactor)), yFactor_(UsableFactor(yFactor)) {}

int16_t GScaledFont::GetHeight() const {
  const int16_t height = font_.GetHeight();
  return yFactor_ == 1.0F ? height : Scale16(height, yFactor_);
}

void GScaledFont::GetFontInfo(GFontInfo& info) const {
  info = font_.GetFontInfo();
  if (IsIdentity()) return;
  for (int16_t* size : {&info.verticalSize1, &info.verticalSize2, &info.verticalSize3, &info.height}) {
    *size = Scale16(*size, yFactor_);
  }
  for (int16_t* size : {&info.horizontalSize1, &info.horizontalSize2}) *size = Scale16(*size, xFactor_);
}

uint32_t GScaledFont::GetGlyphImage(uint16_t code, int32_t option, GGlyphMetrics& metrics,
                                    std::unique_ptr<GByteBuffer>& image) {
  const uint32_t size = font_.GetGlyphImage(code, option, metrics, image);
  if (IsIdentity()) return size;
  if (!image || image->GetData() == nullptr || metrics.width < 0 || metrics.height < 0) return 0;
  const auto width = static_cast<uint32_t>(metrics.width);
  const auto height = static_cast<uint32_t>(metrics.height);
  const uint32_t rowBytes = RowBytes(width);
  if (static_cast<uint64_t>(rowBytes) * height > image->GetSize()) return 0;

  // Every bound comes from the one scaling of a 16-bit value by a positive
  // factor, so they stay ordered and within the new size.
  const auto newWidth = static_cast<uint32_t>(Scale(metrics.width, xFactor_));
  const auto newHeight = static_cast<uint32_t>(Scale(metrics.height, yFactor_));
  // The metrics keep sizes in 16 bits; a larger image could not be
  // described.
  constexpr uint32_t kLargest = std::numeric_limits<int16_t>::max() / 32 * 32;
  if (newWidth > kLargest || newHeight > kLargest) return 0;
  const uint32_t newRowBytes = RowBytes(newWidth);
  const uint32_t newSize = newRowBytes * newHeight;
  auto* scaled = new (std::nothrow) uint8_t[newSize == 0 ? 1U : newSize]();
  if (scaled == nullptr) return 0;

  const uint8_t* source = image->GetData();
  for (uint32_t r = 0; r < height; ++r) {
    const uint8_t* sourceRow = source + static_cast<size_t>(r) * rowBytes;
    const auto rowStart = static_cast<uint32_t>(Scale(static_cast<int32_t>(r), yFactor_));
    const auto rowEnd = static_cast<uint32_t>(Scale(static_cast<int32_t>(r + 1), yFactor_));
    for (uint32_t c = 0; c < width; ++c) {
      if (!BitAt(sourceRow, c)) continue;
      const auto columnStart = static_cast<uint32_t>(Scale(static_cast<int32_t>(c), xFactor_));
      const auto columnEnd = static_cast<uint32_t>(Scale(static_cast<int32_t>(c + 1), xFactor_));
      for (uint32_t y = rowStart; y < rowEnd && y < newHeight; ++y) {
        uint8_t* target = scaled + static_cast<size_t>(y) * newRowBytes;
        for (uint32_t x = columnStart; x < columnEnd && x < newWidth; ++x) SetBit(target, x);
      }
    }
  }
  image = std::make_unique<GByteBuffer>(scaled, newSize, true);

  metrics.xOffset = Scale16(metrics.xOffset, xFactor_);
  metrics.yOffset = Scale16(metrics.yOffset, yFactor_);
  metrics.width = static_cast<int16_t>((Scale(metrics.width, xFactor_) + 31) / 32 * 32);
  metrics.height = Scale16(metrics.height, yFactor_);
  return newSize;
}
