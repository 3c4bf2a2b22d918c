#include "graphics/fonts/scaled_font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/testing/test_font.h"

namespace {

// A font whose one glyph is the image and metrics the test gives.
class GlyphFont : public TestFont {
 public:
  using TestFont::TestFont;

  uint32_t GetGlyphImage(uint16_t, int32_t, GGlyphMetrics& metrics, std::unique_ptr<GByteBuffer>& image) override {
    metrics = glyph;
    if (bytes.empty()) return 0;
    auto* data = new uint8_t[bytes.size()];
    std::memcpy(data, bytes.data(), bytes.size());
    image = std::make_unique<GByteBuffer>(data, static_cast<uint32_t>(bytes.size()), true);
    return static_cast<uint32_t>(bytes.size());
  }

  GGlyphMetrics glyph;
  std::vector<uint8_t> bytes;
};

GFontInfo Sizes() {
  GFontInfo info;
  info.verticalSize1 = 10;
  info.verticalSize2 = -20;
  info.verticalSize3 = 30;
  info.height = 100;
  info.horizontalSize1 = 40;
  info.horizontalSize2 = 7;
  info.resolution = 300;
  info.faceName = "Scaled";
  return info;
}

TEST(ScaledFont, FactorsThatAreNotPositiveNumbersCountAsOne) {
  TestFont font(new TestFontImp(Sizes()));
  const float cases[] = {0.0F, -0.0F, -2.0F, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
  for (float factor : cases) {
    SCOPED_TRACE(factor);
    GScaledFont scaled(font, factor, factor);
    EXPECT_EQ(scaled.XFactor(), 1.0F);
    EXPECT_EQ(scaled.YFactor(), 1.0F);
    GFontInfo info;
    scaled.GetFontInfo(info);
    EXPECT_EQ(info, font.GetFontInfo());
    EXPECT_EQ(scaled.GetHeight(), 100);
  }
}

TEST(ScaledFont, SizesAreTruncatedProductsOfTheirFactor) {
  TestFont font(new TestFontImp(Sizes()));
  GScaledFont scaled(font, 2.5F, 0.333F);
  EXPECT_EQ(scaled.GetHeight(), 33);
  GFontInfo info;
  scaled.GetFontInfo(info);
  EXPECT_EQ(info.verticalSize1, 3);
  EXPECT_EQ(info.verticalSize2, -6) << "truncated toward zero";
  EXPECT_EQ(info.verticalSize3, 9);
  EXPECT_EQ(info.height, 33);
  EXPECT_EQ(info.horizontalSize1, 100);
  EXPECT_EQ(info.horizontalSize2, 17);
  EXPECT_EQ(info.resolution, 300);
  EXPECT_EQ(scaled.GetResolution(), 300);
  EXPECT_EQ(scaled.GetName(), "Scaled");
  // Only the y factor scales the height.
  GScaledFont wide(font, 3.0F, 1.0F);
  EXPECT_EQ(wide.GetHeight(), 100);
}

// A glyph of width x height pixels, all set, rows padded to 32 bits.
std::vector<uint8_t> Solid(int width, int height) {
  const int rowBytes = (width + 31) / 32 * 4;
  std::vector<uint8_t> bytes(static_cast<size_t>(rowBytes * height), 0);
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) bytes[static_cast<size_t>(r * rowBytes + c / 8)] |= 0x80 >> (c % 8);
  }
  return bytes;
}

TEST(ScaledFont, GlyphImageGrowsEachPixelIntoABlock) {
  GlyphFont font(new TestFontImp(GFontInfo{}));
  font.glyph = {2, -3, 10, 10};
  font.bytes = Solid(10, 10);
  GScaledFont scaled(font, 2.5F, 1.0F);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  ASSERT_EQ(scaled.GetGlyphImage(65, 0, metrics, image), 40U);  // 4-byte rows, 10 rows
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetSize(), 40U);
  EXPECT_EQ(metrics.width, 32) << "25 pixels, rounded up to 32";
  EXPECT_EQ(metrics.height, 10);
  EXPECT_EQ(metrics.xOffset, 5);
  EXPECT_EQ(metrics.yOffset, -3);
  // Every row: 25 pixels set, then padding.
  for (uint32_t r = 0; r < 10; ++r) {
    const uint8_t* row = image->GetData() + r * 4;
    EXPECT_EQ(row[0], 0xFF);
    EXPECT_EQ(row[1], 0xFF);
    EXPECT_EQ(row[2], 0xFF);
    EXPECT_EQ(row[3], 0x80);
  }
}

TEST(ScaledFont, HalvingMergesColumnPairsAndEmptyBlocksSetNothing) {
  GlyphFont font(new TestFontImp(GFontInfo{}));
  // One row of 8 pixels: columns 1, 2 and 7 set (0b0110'0001).
  font.glyph = {0, 0, 8, 1};
  font.bytes = {0x61, 0, 0, 0};
  GScaledFont scaled(font, 0.5F, 1.0F);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  ASSERT_EQ(scaled.GetGlyphImage(65, 0, metrics, image), 4U);
  // Columns 2k and 2k+1 both start at k, but only 2k+1 reaches past it:
  // 1 sets column 0, 7 sets column 3, and 2's block [1, 1) is empty.
  EXPECT_EQ(image->GetData()[0], 0x90);
  EXPECT_EQ(metrics.width, 32);

  // At 0.3 column 0 covers [0, 0.3): no pixel.
  GScaledFont narrow(font, 0.3F, 1.0F);
  font.bytes = {0x80, 0, 0, 0};
  ASSERT_EQ(narrow.GetGlyphImage(65, 0, metrics, image), 4U);
  EXPECT_EQ(image->GetData()[0], 0x00);
}

TEST(ScaledFont, ImageShorterThanItsRowsIsNotScaled) {
  GlyphFont font(new TestFontImp(GFontInfo{}));
  font.glyph = {0, 0, 10, 10};
  font.bytes = Solid(10, 9);  // a row short
  GScaledFont scaled(font, 2.0F, 2.0F);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  EXPECT_EQ(scaled.GetGlyphImage(65, 0, metrics, image), 0U);
  EXPECT_EQ(metrics.width, 10) << "metrics as the font gave them";
  EXPECT_EQ(image->GetSize(), 36U);
}

TEST(ScaledFont, NoImageAnswersZeroAndIdentityAnswersTheFonts) {
  GlyphFont font(new TestFontImp(GFontInfo{}));
  font.glyph = {0, 0, 10, 10};
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  GScaledFont scaled(font, 2.0F, 2.0F);
  EXPECT_EQ(scaled.GetGlyphImage(65, 0, metrics, image), 0U);
  font.bytes = Solid(10, 10);
  GScaledFont same(font, 0.0F, 1.0F);
  EXPECT_EQ(same.GetGlyphImage(65, 0, metrics, image), 40U);
  EXPECT_EQ(metrics.width, 10);
}

TEST(ScaledFont, FactorsTooLargeForSixteenBitMetricsAreRefused) {
  GlyphFont font(new TestFontImp(GFontInfo{}));
  font.glyph = {0, 0, 10, 10};
  font.bytes = Solid(10, 10);
  GScaledFont scaled(font, 5000.0F, 1.0F);
  GGlyphMetrics metrics;
  std::unique_ptr<GByteBuffer> image;
  EXPECT_EQ(scaled.GetGlyphImage(65, 0, metrics, image), 0U);
}

}  // namespace
