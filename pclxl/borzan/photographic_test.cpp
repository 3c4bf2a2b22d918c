#include "pclxl/borzan/photographic_test.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/bitmap_imp.h"

namespace {

constexpr int32_t kMinimumSide = 40;
constexpr int32_t kMinimumSides = 100;
constexpr uint32_t kColourDepth = 24;
constexpr int32_t kSampledRows = 16;
constexpr size_t kFirstSharpJump = 224;
constexpr uint32_t kSharpJumpLimit = 230;

bool LargeEnough(const GBitmap& bitmap, const GRectangle& destination) {
  const GRectangle bounds = bitmap.GetBounds();
  const int32_t width = bounds.right - bounds.left;
  const int32_t height = bounds.bottom - bounds.top;
  return destination.right - destination.left > kMinimumSide && destination.bottom - destination.top > kMinimumSide &&
         width > kMinimumSide && height > kMinimumSide && width + height > kMinimumSides &&
         bitmap.GetBitsPerPixel() == kColourDepth;
}

// Adds each component's jump from the pixel before to its histogram bin.
void CountJumps(const std::vector<uint8_t>& row, std::array<uint32_t, 256>& histogram) {
  for (size_t i = 3; i < row.size(); ++i) ++histogram[static_cast<size_t>(std::abs(row[i] - row[i - 3]))];
}

uint32_t SharpJumps(const std::array<uint32_t, 256>& histogram) {
  uint32_t sum = 0;
  for (size_t bin = kFirstSharpJump; bin < histogram.size(); ++bin) sum += histogram[bin];
  return sum;
}

}  // namespace

bool IsPhotographic(const GBitmap& bitmap, const GRectangle& destination, uint16_t photoOverride) {
  if (!LargeEnough(bitmap, destination)) return false;
  if (photoOverride != 0) return true;
  const GRectangle bounds = bitmap.GetBounds();
  const int32_t width = bounds.right - bounds.left;
  const int32_t height = bounds.bottom - bounds.top;
  const int32_t step = std::max(height / kSampledRows, 1);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  std::array<uint32_t, 256> histogram{};
  for (int32_t y = 0; y < height; y += step) {
    // A row the bitmap cannot deliver whole tells nothing.
    if (bitmap.GetScanLine(row, 0, width, y, GBitmapImp::kColorRGB) != row.size()) continue;
    CountJumps(row, histogram);
    if (SharpJumps(histogram) >= kSharpJumpLimit) return false;
  }
  return true;
}
