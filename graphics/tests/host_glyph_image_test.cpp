// Glyph images of the font host, held against a golden file that the
// native build wrote: both builds (FreeType natively, GDI under wine) must
// come within a pixel or two of it at the glyphs' edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/host/host_fonts.h"
#include "graphics/testing/png_writer.h"
#include "graphics/tests/host_font_support.h"

namespace {

using host_font_testing::PoolGuard;
constexpr const char* kFont = host_font_testing::kDejaVuSans;

constexpr double kPoints = 12;
constexpr int16_t kResolutions[] = {300, 600};
// Letters, digits, punctuation and accented letters.
const std::u16string kCodes =
    u"AaBbGgMmQqRrWwy0123456789.,;!?&@%(/\u00C0\u00E9\u00EE\u00F5\u00FC\u00E7\u00F1\u00DF\u00F8\u0141";
// A differing pixel must lie this close to an edge of the golden glyph,
// and the offsets within this of the golden ones.
constexpr int32_t kTolerance = 2;

struct Image {
  uint16_t code = 0;
  int16_t resolution = 0;
  GGlyphMetrics metrics;
  std::vector<uint8_t> rows;

  uint32_t RowBytes() const { return (static_cast<uint32_t>(metrics.width) + 31) / 32 * 4; }
  bool Pixel(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column >= metrics.width || row >= metrics.height) return false;
    return (rows[row * RowBytes() + column / 8] & (0x80 >> (column % 8))) != 0;
  }
  // The pixel at x right of the origin and y above the baseline.
  bool At(int32_t x, int32_t y) const { return Pixel(x - metrics.xOffset, metrics.yOffset - y); }
};

std::vector<Image> Render() {
  std::vector<Image> images;
  for (int16_t resolution : kResolutions) {
    std::unique_ptr<GHostFont> font = MakeHostFont(kFont, kPoints, resolution, nullptr, 1);
    if (!font) return {};
    for (char16_t code : kCodes) {
      Image image{code, resolution, {}, {}};
      std::unique_ptr<GByteBuffer> rows;
      if (font->GetGlyphImage(code, 0, image.metrics, rows) != 0) {
        image.rows.assign(rows->GetData(), rows->GetData() + rows->GetSize());
      }
      images.push_back(image);
    }
  }
  return images;
}

void WriteGolden(const std::vector<Image>& images) {
  std::ofstream file(QV_GLYPH_IMAGES_GOLDEN);
  file << "# Glyph images of DejaVu Sans at 12 points, 300 and 600 dots per inch, as\n"
          "# the native font host renders them: per glyph a line 'glyph <code in hex>\n"
          "# <resolution> <x offset> <y offset> <width> <height>', then one line of hex\n"
          "# bytes per row (rows padded to 32 bits, most significant bit first).\n"
          "# Regenerate with the native build:\n"
          "#   QV_WRITE_GLYPH_IMAGES=1 build/native/graphics/graphics_tests "
          "--gtest_filter='HostGlyphImages.*'\n";
  char hex[3];
  for (const Image& image : images) {
    file << "glyph " << std::hex << image.code << std::dec << " " << image.resolution << " " << image.metrics.xOffset
         << " " << image.metrics.yOffset << " " << image.metrics.width << " " << image.metrics.height << "\n";
    for (int32_t row = 0; row < image.metrics.height; ++row) {
      for (uint32_t i = 0; i < image.RowBytes(); ++i) {
        std::snprintf(hex, sizeof hex, "%02x", image.rows[row * image.RowBytes() + i]);
        file << hex;
      }
      file << "\n";
    }
  }
}

std::vector<Image> ReadGolden() {
  std::vector<Image> images;
  std::ifstream file(QV_GLYPH_IMAGES_GOLDEN);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("glyph ", 0) != 0) continue;
    std::istringstream fields(line.substr(6));
    Image image;
    fields >> std::hex >> image.code >> std::dec >> image.resolution >> image.metrics.xOffset >>
        image.metrics.yOffset >> image.metrics.width >> image.metrics.height;
    for (int32_t row = 0; row < image.metrics.height && std::getline(file, line); ++row) {
      for (size_t i = 0; i + 1 < line.size(); i += 2) {
        image.rows.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
      }
    }
    images.push_back(image);
  }
  return images;
}

// A set pixel of the glyph with an unset neighbour.
bool IsEdge(const Image& image, int32_t x, int32_t y) {
  return image.At(x, y) && (!image.At(x - 1, y) || !image.At(x + 1, y) || !image.At(x, y - 1) || !image.At(x, y + 1));
}

bool NearEdge(const Image& image, int32_t x, int32_t y) {
  for (int32_t dy = -kTolerance; dy <= kTolerance; ++dy) {
    for (int32_t dx = -kTolerance; dx <= kTolerance; ++dx) {
      if (IsEdge(image, x + dx, y + dy)) return true;
    }
  }
  return false;
}

// Pixels where the image differs from the golden one away from its edges.
int32_t DifferencesAwayFromEdges(const Image& golden, const Image& image) {
  const int32_t left = std::min(golden.metrics.xOffset, image.metrics.xOffset);
  const int32_t right =
      std::max(golden.metrics.xOffset + golden.metrics.width, image.metrics.xOffset + image.metrics.width);
  const int32_t top = std::max(golden.metrics.yOffset, image.metrics.yOffset);
  const int32_t bottom =
      std::min(golden.metrics.yOffset - golden.metrics.height, image.metrics.yOffset - image.metrics.height);
  int32_t differences = 0;
  for (int32_t y = top; y > bottom; --y) {
    for (int32_t x = left; x < right; ++x) {
      if (golden.At(x, y) != image.At(x, y) && !NearEdge(golden, x, y)) ++differences;
    }
  }
  return differences;
}

// The images side by side on a white sheet, on one baseline per
// resolution, one resolution below the other.
void WriteContactSheet(const std::vector<Image>& images) {
  int32_t cellWidth = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  for (const Image& image : images) {
    cellWidth = std::max<int32_t>(cellWidth, image.metrics.width);
    ascent = std::max<int32_t>(ascent, image.metrics.yOffset);
    descent = std::max<int32_t>(descent, image.metrics.height - image.metrics.yOffset);
  }
  cellWidth += 8;
  const int32_t cellHeight = ascent + descent + 8;
  const auto columns = static_cast<uint32_t>(kCodes.size());
  const uint32_t width = columns * cellWidth;
  const uint32_t height = static_cast<uint32_t>(std::size(kResolutions)) * cellHeight;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, 255);
  for (size_t i = 0; i < images.size(); ++i) {
    const Image& image = images[i];
    const size_t left = (i % columns) * cellWidth + 4;
    const size_t top = (i / columns) * cellHeight + 4 + ascent - image.metrics.yOffset;
    for (int32_t row = 0; row < image.metrics.height; ++row) {
      for (int32_t column = 0; column < image.metrics.width; ++column) {
        if (image.Pixel(column, row)) pixels[(top + row) * width + left + column] = 0;
      }
    }
  }
  std::filesystem::create_directories(std::filesystem::path(QV_CONTACT_SHEET).parent_path());
  EXPECT_TRUE(WriteGreyPng(QV_CONTACT_SHEET, width, height, pixels));
}

TEST(HostGlyphImages, MatchTheGoldenImagesWithinAPixelOrTwoAtTheEdges) {
  const PoolGuard pool;
  const std::vector<Image> images = Render();
  ASSERT_EQ(images.size(), kCodes.size() * std::size(kResolutions));
  if (std::getenv("QV_WRITE_GLYPH_IMAGES") != nullptr) WriteGolden(images);
  WriteContactSheet(images);

  const std::vector<Image> golden = ReadGolden();
  ASSERT_EQ(golden.size(), images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "code " << std::hex << images[i].code << std::dec << " at "
                                    << images[i].resolution);
    ASSERT_EQ(golden[i].code, images[i].code);
    ASSERT_EQ(golden[i].resolution, images[i].resolution);
    EXPECT_GT(images[i].metrics.height, 0);
    EXPECT_NEAR(images[i].metrics.xOffset, golden[i].metrics.xOffset, kTolerance);
    EXPECT_NEAR(images[i].metrics.yOffset, golden[i].metrics.yOffset, kTolerance);
    EXPECT_EQ(DifferencesAwayFromEdges(golden[i], images[i]), 0);
  }
}

// The comparison must still see a wrong glyph or one moved off its place.
TEST(HostGlyphImages, TheToleranceStillSeesMovedAndWrongGlyphs) {
  const std::vector<Image> golden = ReadGolden();
  ASSERT_FALSE(golden.empty());
  auto find = [&](char16_t code) {
    return *std::find_if(golden.begin(), golden.end(),
                         [&](const Image& image) { return image.code == code && image.resolution == 600; });
  };
  const Image b = find(u'B');
  Image moved = b;
  moved.metrics.xOffset = static_cast<int16_t>(moved.metrics.xOffset + 2 * kTolerance);
  EXPECT_GT(DifferencesAwayFromEdges(b, moved), 0);
  EXPECT_GT(DifferencesAwayFromEdges(b, find(u'R')), 0);
  EXPECT_EQ(DifferencesAwayFromEdges(b, b), 0);
}

}  // namespace
