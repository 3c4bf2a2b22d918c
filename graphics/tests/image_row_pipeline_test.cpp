// Tests of the image row pipeline: which stages it builds, and whole images
// of every depth read through it and each packing stage, unpacked again and
// compared with rows worked out here pixel by pixel.
#include "graphics/image_rows/image_row_pipeline.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "graphics/adaptive_row_compressor.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/palette_table.h"
#include "graphics/delta_row_compressor.h"
#include "graphics/packbits_row_compressor.h"
#include "graphics/row_pad_filter.h"
#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/random_rows.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

GRectangle Rect(int left, int top, int right, int bottom) {
  return {static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
          static_cast<int16_t>(bottom)};
}

int Width(const GRectangle& r) { return r.right - r.left; }
int Height(const GRectangle& r) { return r.bottom - r.top; }

// A test image: each pixel's value is a function of its position; 24-bit
// pixels are stored red, green, blue.
struct TestImage {
  int width;
  int height;
  uint8_t bitsPerPixel;
  // Images of up to 8 bits per pixel only.
  bool withPalette;

  uint32_t Pixel(int x, int y) const {
    const uint32_t v = static_cast<uint32_t>(x * 7 + y * 13 + x * y);
    if (bitsPerPixel == 24) return (v * 37 & 0xFF) << 16 | (v * 11 & 0xFF) << 8 | (v * 3 & 0xFF);
    return v & ((1u << bitsPerPixel) - 1);
  }
  int RowBytes() const { return (bitsPerPixel * width + 7) / 8; }

  GBitmap Make() const {
    Bytes data(static_cast<size_t>(RowBytes()) * height, 0);
    for (int y = 0; y < height; ++y) {
      uint8_t* row = data.data() + static_cast<size_t>(y) * RowBytes();
      for (int x = 0; x < width; ++x) PutPixel(row, x, Pixel(x, y), bitsPerPixel);
    }
    GBitmapDescription description;
    description.data = data.data();
    description.dataSize = static_cast<uint32_t>(data.size());
    description.rowAlignment = 1;
    description.bounds = Rect(0, 0, width, height);
    description.bitsPerComponent = bitsPerPixel;
    description.colorOrder = 1;
    if (withPalette) {
      std::vector<GRGBColor> colors;
      for (uint32_t i = 0; i < (1u << bitsPerPixel); ++i)
        colors.emplace_back(static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i), uint8_t{9}, uint8_t{255});
      description.palette = new GPaletteTable(colors);
    }
    return GBitmap(description);
  }

  static void PutPixel(uint8_t* row, int x, uint32_t value, uint8_t bits) {
    if (bits == 24) {
      row[3 * x] = static_cast<uint8_t>(value >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(value);
    } else if (bits == 8) {
      row[x] = static_cast<uint8_t>(value);
    } else {
      const int shift = 8 - bits * (x % (8 / bits) + 1);
      row[x * bits / 8] = static_cast<uint8_t>(row[x * bits / 8] | value << shift);
    }
  }
};

uint8_t GreyOf(uint32_t rgb) {
  return static_cast<uint8_t>((30 * (rgb >> 16 & 0xFF) + 59 * (rgb >> 8 & 0xFF) + 11 * (rgb & 0xFF)) / 100);
}

// The packing stages, named by the compression they give.
struct Packing {
  const char* name;
  std::function<GRowFilter*()> make;
};
const Packing kPackings[] = {
    {"none", [] { return new GRowPadFilter(4, 0); }},
    {"run_length", [] { return new GPackBitsRowCompressor(4, 0); }},
    {"delta_row", [] { return new GDeltaRowCompressor(4, 0, 1); }},
    {"adaptive", [] { return new GAdaptiveRowCompressor(4, 0); }},
};

// Reads the pipeline as a generator does, until its rows cover its bounds,
// and unpacks every row to rowBytes bytes, once per device row it stands for.
std::optional<std::vector<Bytes>> ReadUnpacked(GImageRowPipeline& pipeline, const char* packing, size_t rowBytes) {
  GRectangle bounds;
  pipeline.GetBounds(bounds);
  const int height = Height(bounds);
  std::vector<Bytes> rows;
  Bytes seed(rowBytes, 0);
  Bytes adaptive;
  int covered = 0;
  for (int calls = 0; covered < height && calls <= height; ++calls) {
    const ReadRowResult result = ReadRows(pipeline, 1)[0];
    EXPECT_TRUE(result.withinMaximum);
    EXPECT_EQ(result.answer, GRowFilter::kRowDelivered);
    EXPECT_EQ(result.row, covered);
    const std::string name = packing;
    if (name == "adaptive") {
      adaptive.insert(adaptive.end(), result.bytes.begin(), result.bytes.end());
      covered += result.rows;
      continue;
    }
    std::optional<Bytes> row;
    if (name == "none") row = result.bytes;
    if (name == "run_length") row = UnpackBits(result.bytes);
    if (name == "delta_row") {
      if (result.bytes.size() < 2 || result.bytes[0] + 256u * result.bytes[1] != result.bytes.size() - 2)
        return std::nullopt;
      if (!ApplyDeltaRow(std::span(result.bytes).subspan(2), seed)) return std::nullopt;
      row = seed;
    }
    if (!row || row->size() < rowBytes) return std::nullopt;
    row->resize(rowBytes);
    for (int i = 0; i < result.repeat; ++i) rows.push_back(*row);
    covered += result.repeat;
  }
  if (std::string(packing) == "adaptive") {
    const auto decoded = DecodeAdaptiveBlocks(adaptive, (rowBytes + 3) / 4 * 4);
    if (!decoded) return std::nullopt;
    for (Bytes row : *decoded) {
      row.resize(rowBytes);
      rows.push_back(row);
    }
  }
  return rows;
}

// Whole images enlarged twice over and cut to a clip, as stored (indices or
// grey) or as colour, through every packing stage.
TEST(GImageRowPipeline, DeliversScaledAndClippedRowsOfEveryDepth) {
  struct Case {
    const char* name;
    TestImage image;
    int32_t mode;
    uint8_t bitsPerPixel;
  };
  const Case cases[] = {
      {"one_bit", {19, 6, 1, false}, 0, 1},  {"one_bit_with_palette", {19, 6, 1, true}, 0, 1},
      {"four_bit", {11, 5, 4, false}, 0, 4}, {"four_bit_with_palette", {11, 5, 4, true}, 0, 4},
      {"eight_bit", {9, 7, 8, false}, 0, 8}, {"eight_bit_with_palette", {9, 7, 8, true}, 0, 8},
      {"colour", {7, 4, 24, false}, 3, 24},  {"colour_as_grey", {7, 4, 24, false}, 0, 8},
  };
  for (const Case& c : cases) {
    for (const Packing& packing : kPackings) {
      SCOPED_TRACE(std::string(c.name) + "/" + packing.name);
      const GBitmap bitmap = c.image.Make();
      const GRectangle source = Rect(1, 1, c.image.width, c.image.height);
      GRectangle destination = Rect(-20, 30, -20 + 2 * Width(source), 30 + 2 * Height(source));
      const GRectangle clipRectangle = Rect(-17, 31, destination.right - 2, 200);
      const GClipToSingleRectangle clip(clipRectangle, GClip::kInside, GClip::kNotSet, 177);
      GImageRowPipeline pipeline(source, destination, &clip, bitmap, c.mode, GImageRowPipeline::kHalftoneAutomatic,
                                 nullptr, packing.make(), 1, GrayStandard);
      EXPECT_EQ(destination, Rect(-17, 31, clipRectangle.right, 30 + 2 * Height(source)));
      GRectangle bounds;
      pipeline.GetBounds(bounds);
      EXPECT_EQ(bounds, destination);
      EXPECT_EQ(pipeline.GetBitsPerPixel(), c.bitsPerPixel);
      // Grey rows made from colour have no palette; other rows keep the
      // image's, if it has one.
      EXPECT_EQ(pipeline.GetPalette(), c.image.bitsPerPixel == 24 ? nullptr : bitmap.GetPalette());

      const size_t rowBytes = (c.bitsPerPixel * Width(destination) + 7) / 8;
      std::vector<Bytes> expected;
      for (int y = destination.top; y < destination.bottom; ++y) {
        Bytes row(rowBytes, 0);
        for (int x = destination.left; x < destination.right; ++x) {
          const int sx = source.left + (x + 20) / 2;
          const int sy = source.top + (y - 30) / 2;
          const uint32_t pixel = c.image.Pixel(sx, sy);
          const uint32_t value = c.image.bitsPerPixel == 24 && c.bitsPerPixel == 8 ? GreyOf(pixel) : pixel;
          TestImage::PutPixel(row.data(), x - destination.left, value, c.bitsPerPixel);
        }
        expected.push_back(row);
      }
      const auto rows = ReadUnpacked(pipeline, packing.name, rowBytes);
      ASSERT_TRUE(rows.has_value());
      EXPECT_EQ(*rows, expected);
    }
  }
}

// Halftoned rows: the matrix lies on the page, so the cell of an output
// pixel follows its device position.
TEST(GImageRowPipeline, HalftonesAgainstTheMatrixOnThePage) {
  const uint8_t cells[] = {0, 128, 64, 192, 32, 160};
  GDitherMatrix matrix(3, 2, cells, 1, 0);
  const TestImage image{8, 5, 8, false};
  const GBitmap bitmap = image.Make();
  for (const int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode);
    const GRectangle source = Rect(0, 0, 8, 5);
    GRectangle destination = Rect(-7, -3, 1, 2);
    GImageRowPipeline pipeline(source, destination, nullptr, bitmap, mode, GImageRowPipeline::kHalftoneAlways, &matrix,
                               new GRowPadFilter(1, 0), 0, GrayStandard);
    EXPECT_EQ(pipeline.GetBitsPerPixel(), 1);
    std::vector<Bytes> expected;
    for (int y = -3; y < 2; ++y) {
      Bytes row(1, 0);
      for (int x = -7; x < 1; ++x) {
        const uint8_t grey = static_cast<uint8_t>(image.Pixel(x + 7, y + 3));
        const uint8_t cell = cells[((y % 2 + 2) % 2) * 3 + (x % 3 + 3) % 3];
        if (grey >= cell) row[0] |= 0x80 >> (x + 7);
      }
      expected.push_back(row);
    }
    const auto rows = ReadUnpacked(pipeline, "none", 1);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(*rows, expected);
  }
}

// What the pipeline builds shows in its bounds (a sizing stage answers the
// destination) and its depth (a halftone stage answers 1).
TEST(GImageRowPipeline, BuildsTheStagesTheHalftoneModeAndSizesCallFor) {
  const uint8_t cells[] = {128};
  GDitherMatrix matrix(1, 1, cells, 1, 0);
  struct Case {
    const char* name;
    int32_t halftoneMode;
    int destinationSize;
    int32_t force;
    bool sized;
    bool halftoned;
  };
  const Case cases[] = {
      {"automatic_same_size", 0, 100, 0, false, false},
      {"automatic_larger", 0, 300, 0, false, false},
      {"automatic_smaller", 0, 50, 0, true, false},
      {"automatic_forced", 0, 300, 1, true, false},
      {"always", 1, 300, 0, true, true},
      {"when_smaller_no_gain", 2, 300, 0, false, false},
      {"when_smaller_gains", 2, 250, 0, true, true},
      {"unknown_mode", 7, 50, 1, false, false},
  };
  const TestImage image{100, 100, 8, false};
  const GBitmap bitmap = image.Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GRectangle source = Rect(0, 0, 100, 100);
    const GRectangle requested = Rect(10, 10, 10 + c.destinationSize, 10 + c.destinationSize);
    GRectangle destination = requested;
    GImageRowPipeline pipeline(source, destination, nullptr, bitmap, 0, c.halftoneMode, &matrix, nullptr, c.force,
                               GrayStandard);
    GRectangle bounds;
    pipeline.GetBounds(bounds);
    EXPECT_EQ(bounds, c.sized ? requested : source);
    EXPECT_EQ(pipeline.GetBitsPerPixel(), c.halftoned ? 1 : 8);
    EXPECT_EQ(destination, requested);
  }
}

TEST(GImageRowPipeline, ClipsThatCutNothingOrEverything) {
  const TestImage image{4, 4, 8, false};
  const GBitmap bitmap = image.Make();
  const GRectangle source = Rect(0, 0, 4, 4);
  struct Case {
    const char* name;
    GRectangle clip;
    int32_t region;
    GRectangle destinationAfter;
    int rows;
  };
  const Case cases[] = {
      {"covers_the_destination", Rect(-100, -100, 100, 100), GClip::kInside, Rect(0, 0, 8, 8), 8},
      {"outside_the_destination", Rect(20, 20, 30, 30), GClip::kInside, Rect(0, 0, 0, 0), 0},
      {"exterior_left_to_the_device", Rect(2, 2, 4, 4), GClip::kOutside, Rect(0, 0, 8, 8), 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GClipToSingleRectangle clip(c.clip, c.region, GClip::kNotSet, 177);
    GRectangle destination = Rect(0, 0, 8, 8);
    GImageRowPipeline pipeline(source, destination, &clip, bitmap, 0, GImageRowPipeline::kHalftoneAutomatic, nullptr,
                               new GRowPadFilter(1, 0), 1, GrayStandard);
    EXPECT_EQ(destination, c.destinationAfter);
    GRectangle bounds;
    pipeline.GetBounds(bounds);
    EXPECT_EQ(bounds, c.destinationAfter);
    const auto rows = ReadUnpacked(pipeline, "none", static_cast<size_t>(Width(c.destinationAfter)));
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), static_cast<size_t>(c.rows));
    if (c.rows == 0) {
      EXPECT_TRUE(ReadRows(pipeline, 1)[0].bytes.empty());
    }
  }
}

// Random images, parts, destinations, clips and modes: every row stays
// within the stage's maximum (checked with guard bytes here and by the
// sanitizers in their build) and the rows cover the bounds.
TEST(GImageRowPipeline, RandomImagesRunClean) {
  TestRandom random(0x1A6E);
  const uint8_t cells[] = {10, 90, 170, 250, 50, 130, 210, 30, 110};
  GDitherMatrix matrix(3, 3, cells, 1, 0);
  const uint8_t depths[] = {1, 4, 8, 24};
  for (int round = 0; round < 1000; ++round) {
    SCOPED_TRACE(round);
    TestImage image{1 + static_cast<int>(random.Below(40)), 1 + static_cast<int>(random.Below(30)),
                    depths[random.Below(4)], false};
    image.withPalette = image.bitsPerPixel <= 8 && random.Below(2) == 0;
    const GBitmap bitmap = image.Make();
    const auto coordinate = [&](int range) { return static_cast<int>(random.Below(2 * range + 1)) - range / 2; };
    const int left = coordinate(image.width);
    const int top = coordinate(image.height);
    const GRectangle source =
        Rect(left, top, left + 1 + static_cast<int>(random.Below(50)), top + 1 + static_cast<int>(random.Below(40)));
    const int x = coordinate(200);
    const int y = coordinate(200);
    GRectangle destination =
        Rect(x, y, x + static_cast<int>(random.Below(120)), y + static_cast<int>(random.Below(120)));
    const int cx = coordinate(200);
    const int cy = coordinate(200);
    const GClipToSingleRectangle clip(
        Rect(cx, cy, cx + static_cast<int>(random.Below(150)), cy + static_cast<int>(random.Below(150))),
        static_cast<int32_t>(random.Below(2)), GClip::kNotSet, 177);
    const Packing& packing = kPackings[random.Below(4)];
    GImageRowPipeline pipeline(source, destination, random.Below(3) == 0 ? nullptr : &clip, bitmap,
                               static_cast<int32_t>(random.Below(5)), static_cast<int32_t>(random.Below(4)), &matrix,
                               packing.make(), static_cast<int32_t>(random.Below(2)), GrayStandard);
    GRectangle bounds;
    pipeline.GetBounds(bounds);
    int covered = 0;
    for (int calls = 0; covered < Height(bounds) && calls <= Height(bounds); ++calls) {
      const ReadRowResult result = ReadRows(pipeline, 1)[0];
      ASSERT_TRUE(result.withinMaximum);
      ASSERT_EQ(result.answer, GRowFilter::kRowDelivered);
      covered += std::max<int>(std::max(result.repeat, result.rows), 1);
    }
    EXPECT_GE(covered, Height(bounds));
  }
}

}  // namespace
