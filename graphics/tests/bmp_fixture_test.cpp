// Bitmaps made from small BMP files (run-length, bit-field and plain rows)
// give, row by row, the colours that an independent decoder (ImageMagick,
// see tests/data/bmp/make_fixtures.py) reads from the same files.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/testing/bmp_fixtures.h"

namespace {

// A BMP file with a 40-byte header as the image description a caller of the
// bitmap would give, with the colour table in red, green, blue order.
struct BmpImage {
  GBitmapDescription description;
  std::vector<uint8_t> colors;
};

BmpImage Parse(std::string_view file) {
  BmpImage image;
  GBitmapDescription& d = image.description;
  const uint32_t offset = BmpField(file, 10);
  const auto width = static_cast<int32_t>(BmpField(file, 18));
  const auto height = static_cast<int32_t>(BmpField(file, 22));
  const auto bits = static_cast<uint8_t>(BmpField(file, 28) & 0xFFFF);
  const uint32_t compression = BmpField(file, 30);
  const uint32_t colorCount = BmpField(file, 46);
  uint32_t table = 14 + 40;
  if (compression == 3) {
    d.explicitMasks = true;
    for (size_t i = 0; i < 3; ++i) d.masks[i] = BmpField(file, table + 4 * i);
    table += 12;
  }
  for (uint32_t i = 0; i < colorCount; ++i) {
    const size_t at = table + 4 * i;
    image.colors.insert(image.colors.end(), {static_cast<uint8_t>(file[at + 2]), static_cast<uint8_t>(file[at + 1]),
                                             static_cast<uint8_t>(file[at])});
  }
  d.data = reinterpret_cast<const uint8_t*>(file.data()) + offset;
  d.dataSize = static_cast<uint32_t>(file.size() - offset);
  d.bounds = {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height < 0 ? -height : height)};
  d.bitsPerComponent = bits;
  d.bottomUp = height > 0;
  d.compression = compression == 1 ? 2 : compression == 2 ? 1 : 0;
  return image;
}

// Pixel i of a row of indices packed at the depth.
uint32_t IndexAt(const std::vector<uint8_t>& row, uint32_t bits, uint32_t i) {
  const uint32_t bit = i * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

// Components of fewer than 8 bits are scaled as v x 255 / (2^c - 1),
// truncated; the outside decoder repeats the top bits instead, which can be
// one more. The exact values are checked in the bitmap tests.
int Tolerance(const GBitmapDescription& d) {
  if (!d.explicitMasks) return 0;
  for (uint32_t mask : d.masks) {
    if (std::popcount(mask) < 8) return 1;
  }
  return 0;
}

::testing::AssertionResult WithinOne(std::string_view actual, std::string_view expected, int tolerance) {
  if (actual.size() != expected.size()) return ::testing::AssertionFailure() << "length " << actual.size();
  for (size_t i = 0; i < actual.size(); ++i) {
    const int difference = static_cast<uint8_t>(actual[i]) - static_cast<uint8_t>(expected[i]);
    if (difference > tolerance || difference < -tolerance) {
      return ::testing::AssertionFailure() << "byte " << i << ": " << int{static_cast<uint8_t>(actual[i])} << " where "
                                           << int{static_cast<uint8_t>(expected[i])};
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(BmpFixture, EveryRowHasTheColoursTheOutsideDecoderGives) {
  for (const GBmpFixture& fixture : kBmpFixtures) {
    SCOPED_TRACE(fixture.name);
    const BmpImage image = Parse(fixture.file);
    const GBitmap bitmap(image.description);
    const uint32_t width = static_cast<uint32_t>(image.description.bounds.right);
    const uint32_t height = static_cast<uint32_t>(image.description.bounds.bottom);
    ASSERT_EQ(fixture.rows.size(), size_t{width} * height * 3);
    EXPECT_FALSE(bitmap.IsCompressed());
    const bool indexed = !image.colors.empty();
    for (uint32_t y = 0; y < height; ++y) {
      SCOPED_TRACE(y);
      std::vector<uint8_t> row(width * 3 + 1, 0xCC);
      const uint32_t count =
          bitmap.GetScanLine(row, 0, static_cast<int32_t>(width), static_cast<int32_t>(y), GBitmapImp::kColorRGB);
      EXPECT_EQ(count, bitmap.GetSpanBytes(0, static_cast<int32_t>(width)));
      std::string rgb;
      for (uint32_t x = 0; x < width; ++x) {
        if (indexed) {
          const uint32_t index = IndexAt(row, bitmap.GetBitsPerPixel(), x);
          ASSERT_LT(index * 3, image.colors.size());
          rgb.append(reinterpret_cast<const char*>(&image.colors[index * 3]), 3);
        } else {
          rgb.append(reinterpret_cast<const char*>(&row[x * 3]), 3);
        }
      }
      const std::string_view expected = fixture.rows.substr(size_t{y} * width * 3, size_t{width} * 3);
      EXPECT_TRUE(WithinOne(rgb, expected, Tolerance(image.description))) << "row " << y;
    }
  }
}

}  // namespace
