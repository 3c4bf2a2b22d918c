#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "render_host/image_loader.h"

// The body of the image loaders' fuzz targets: loads the bytes and, when
// they load, reads every row of the bitmap in colour, as a generator would.
inline void FuzzImageLoader(GLoadedImage (*load)(std::span<const uint8_t>, std::string_view), const uint8_t* data,
                            size_t size) {
  const GLoadedImage image = load({data, size}, "fuzz");
  if (!image.IsLoaded()) return;
  const GRectangle bounds = image.bitmap.GetBounds();
  std::vector<uint8_t> row(static_cast<size_t>(bounds.right - bounds.left) * 3 + 4);
  for (int32_t y = 0; y < bounds.bottom - bounds.top; ++y) {
    image.bitmap.GetScanLine(row, 0, bounds.right - bounds.left, y, GBitmapImp::kColorRGB);
  }
}
