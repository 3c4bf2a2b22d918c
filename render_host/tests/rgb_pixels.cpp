#include "render_host/tests/rgb_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "graphics/colour/palette_table.h"

std::string RgbPixels(const GBitmap& bitmap) {
  const GRectangle bounds = bitmap.GetBounds();
  const int32_t width = bounds.right - bounds.left;
  const uint32_t bits = bitmap.GetBitsPerPixel();
  const GPaletteTable* palette = bitmap.GetPalette();
  std::string pixels;
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3 + 4);
  for (int32_t y = 0; y < bounds.bottom - bounds.top; ++y) {
    bitmap.GetScanLine(row, 0, width, y, GBitmapImp::kColorRGB);
    for (int32_t x = 0; x < width; ++x) {
      if (bits == 24) {
        pixels.append(reinterpret_cast<const char*>(&row[3 * static_cast<size_t>(x)]), 3);
        continue;
      }
      const uint32_t bit = static_cast<uint32_t>(x) * bits;
      const uint32_t value = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      if (palette == nullptr) {
        pixels.append(3, static_cast<char>(value));
        continue;
      }
      const GRGBColor* color = palette->GetEntry(value);
      pixels += {static_cast<char>(color->GetRed()), static_cast<char>(color->GetGreen()),
                 static_cast<char>(color->GetBlue())};
    }
  }
  return pixels;
}

int LargestDifference(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return 256;
  int largest = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    largest = std::max(largest, std::abs(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i])));
  }
  return largest;
}
