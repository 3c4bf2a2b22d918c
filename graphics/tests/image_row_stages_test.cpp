// Tests of the stages that read, size, cut and halftone image rows, each
// alone behind a memory source or over a small bitmap.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/palette_table.h"
#include "graphics/image_rows/bitmap_row_source.h"
#include "graphics/image_rows/clip_row_filter.h"
#include "graphics/image_rows/halftone_row_filter.h"
#include "graphics/image_rows/place_row_filter.h"
#include "graphics/image_rows/scale_row_filter.h"
#include "graphics/testing/memory_row_source.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

GRectangle Rect(int left, int top, int right, int bottom) {
  return {static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
          static_cast<int16_t>(bottom)};
}

std::vector<MemoryRowSource::Row> RowsOf(const std::vector<Bytes>& rows) {
  std::vector<MemoryRowSource::Row> result;
  for (const Bytes& row : rows) result.push_back({row});
  return result;
}

// An image of one component, rows top-down without padding.
GBitmap MakeBitmap(int width, int height, uint8_t bits, const Bytes& data, GPaletteTable* palette = nullptr) {
  GBitmapDescription description;
  description.data = data.data();
  description.dataSize = static_cast<uint32_t>(data.size());
  description.rowAlignment = 1;
  description.bounds = Rect(0, 0, width, height);
  description.bitsPerComponent = bits;
  description.colorOrder = 1;
  description.palette = palette;
  return GBitmap(description);
}

TEST(GScaleRowFilter, ResamplesRowsHorizontally) {
  struct Case {
    const char* name;
    uint8_t bitsPerPixel;
    int sourceWidth;
    int destinationWidth;
    Bytes row;
    Bytes expected;
  };
  const Case cases[] = {
      {"grey_doubled", 8, 4, 8, {10, 20, 30, 40}, {10, 10, 20, 20, 30, 30, 40, 40}},
      {"grey_halved", 8, 4, 2, {10, 20, 30, 40}, {10, 30}},
      {"grey_one_to_three", 8, 1, 3, {7}, {7, 7, 7}},
      {"grey_five_to_three", 8, 5, 3, {1, 2, 3, 4, 5}, {1, 3, 5}},
      {"colour_doubled", 24, 2, 4, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}},
      {"colour_halved", 24, 4, 2, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, {1, 1, 1, 2, 2, 2}},
      {"one_bit_doubled_with_a_partial_byte", 1, 5, 10, {0b10110000}, {0b11001111, 0b00000000}},
      {"one_bit_halved", 1, 8, 4, {0b10011010}, {0b10110000}},
      {"four_bit_doubled", 4, 3, 6, {0x12, 0x30}, {0x11, 0x22, 0x33}},
      {"four_bit_halved", 4, 4, 2, {0x12, 0x34}, {0x13}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(Rect(0, 0, c.sourceWidth, 1), c.bitsPerPixel, RowsOf({c.row}));
    GScaleRowFilter stage(Rect(0, 0, c.destinationWidth, 1));
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    const std::vector<ReadRowResult> results = ReadRows(stage, 1);
    EXPECT_EQ(results[0].bytes, c.expected);
    EXPECT_TRUE(results[0].withinMaximum);
    EXPECT_EQ(results[0].repeat, 1);
  }
}

// Output row y shows source row y x source height / destination height.
TEST(GScaleRowFilter, RepeatsAndDropsRowsAsNearestNeighbour) {
  struct Case {
    const char* name;
    int sourceHeight;
    int destinationHeight;
  };
  const Case cases[] = {{"three_to_seven", 3, 7},      {"seven_to_three", 7, 3}, {"five_to_three", 5, 3},
                        {"two_to_nine", 2, 9},         {"nine_to_two", 9, 2},    {"one_to_one", 4, 4},
                        {"one_to_six_hundred", 1, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Bytes> rows;
    for (int r = 0; r < c.sourceHeight; ++r) rows.push_back({static_cast<uint8_t>(r)});
    MemoryRowSource source(Rect(0, 0, 1, c.sourceHeight), 8, RowsOf(rows));
    GScaleRowFilter stage(Rect(0, 0, 1, c.destinationHeight));
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    int covered = 0;
    while (covered < c.destinationHeight) {
      const ReadRowResult result = ReadRows(stage, 1)[0];
      ASSERT_GE(result.repeat, 1);
      EXPECT_EQ(result.row, covered);
      for (int y = covered; y < covered + result.repeat; ++y)
        EXPECT_EQ(result.bytes, Bytes{static_cast<uint8_t>(y * c.sourceHeight / c.destinationHeight)}) << y;
      covered += result.repeat;
    }
    EXPECT_EQ(covered, c.destinationHeight);
  }
}

TEST(GScaleRowFilter, ThreeRowsToSevenRepeatThreeTwoTwo) {
  MemoryRowSource source(Rect(0, 0, 1, 3), 8, RowsOf({{1}, {2}, {3}}));
  GScaleRowFilter stage(Rect(0, 0, 1, 7));
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  const std::vector<ReadRowResult> results = ReadRows(stage, 3);
  EXPECT_EQ(results[0].repeat, 3);
  EXPECT_EQ(results[1].repeat, 2);
  EXPECT_EQ(results[2].repeat, 2);
  EXPECT_EQ(results[2].row, 5);
}

// Skipping n output rows and reading one gives what reading n + 1 rows
// gives last, as the clip stage relies on.
TEST(GScaleRowFilter, SkippingRowsLandsWhereReadingWould) {
  for (const auto& [sourceHeight, destinationHeight] : {std::pair{3, 7}, {7, 3}, {5, 13}, {13, 5}, {6, 6}}) {
    for (int skip = 0; skip < destinationHeight; ++skip) {
      SCOPED_TRACE(testing::Message() << sourceHeight << " to " << destinationHeight << ", skip " << skip);
      std::vector<Bytes> rows;
      for (int r = 0; r < sourceHeight; ++r) rows.push_back({static_cast<uint8_t>(r)});
      MemoryRowSource source(Rect(0, 0, 1, sourceHeight), 8, RowsOf(rows));
      GScaleRowFilter stage(Rect(0, 0, 1, destinationHeight));
      stage.SetSource(&source);
      ASSERT_EQ(stage.Open(), 1);
      stage.SkipRows(static_cast<uint32_t>(skip));
      const ReadRowResult result = ReadRows(stage, 1)[0];
      EXPECT_EQ(result.row, skip);
      EXPECT_EQ(result.bytes, Bytes{static_cast<uint8_t>(skip * sourceHeight / destinationHeight)});
    }
  }
}

TEST(GScaleRowFilter, RefusesWhatItCannotScale) {
  struct Case {
    const char* name;
    GRectangle sourceBounds;
    uint8_t bitsPerPixel;
    GRectangle destination;
  };
  const Case cases[] = {
      {"empty_destination", Rect(0, 0, 4, 4), 8, Rect(5, 5, 5, 9)},
      {"inverted_destination", Rect(0, 0, 4, 4), 8, Rect(0, 9, 4, 5)},
      {"empty_source", Rect(0, 0, 0, 4), 8, Rect(0, 0, 4, 4)},
      {"two_bit_width_change", Rect(0, 0, 4, 4), 2, Rect(0, 0, 8, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(c.sourceBounds, c.bitsPerPixel, RowsOf({{1}}));
    GScaleRowFilter stage(c.destination);
    EXPECT_EQ(stage.Open(), 0);
    stage.SetSource(&source);
    EXPECT_EQ(stage.Open(), 0);
  }
}

TEST(GScaleRowFilter, AnEndedSourceStandsAsAFullRow) {
  MemoryRowSource source(Rect(0, 0, 2, 2), 8, RowsOf({{1, 2}}));
  GScaleRowFilter stage(Rect(0, 0, 4, 2));
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  const std::vector<ReadRowResult> results = ReadRows(stage, 2);
  EXPECT_EQ(results[1].bytes.size(), 4u);
}

TEST(GPlaceRowFilter, PassesRowsAndAnswersItsDestination) {
  MemoryRowSource source(Rect(0, 0, 2, 1), 8, RowsOf({{1, 2}}));
  GPlaceRowFilter stage(Rect(100, 50, 102, 51));
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  GRectangle bounds;
  stage.GetBounds(bounds);
  EXPECT_EQ(bounds, Rect(100, 50, 102, 51));
  EXPECT_EQ(ReadRows(stage, 1)[0].bytes, (Bytes{1, 2}));
}

TEST(GClipRowFilter, CutsRowsToTheClipRectangle) {
  struct Case {
    const char* name;
    uint8_t bitsPerPixel;
    GRectangle sourceBounds;
    GRectangle clip;
    Bytes row;
    Bytes expected;
  };
  const Case cases[] = {
      // Pixels 3 to 12 of 1011 0011 1000 1111.
      {"one_bit_shifted_by_three", 1, Rect(0, 0, 16, 1), Rect(3, -5, 13, 5), {0xB3, 0x8F}, {0x9C, 0x40}},
      {"one_bit_whole_bytes", 1, Rect(0, 0, 24, 1), Rect(8, 0, 16, 1), {0x01, 0xF0, 0x0F}, {0xF0}},
      {"four_bit_odd_start", 4, Rect(0, 0, 6, 1), Rect(1, 0, 4, 1), {0x12, 0x34, 0x56}, {0x23, 0x40}},
      {"grey_offset_source", 8, Rect(10, 20, 15, 21), Rect(12, 0, 14, 100), {1, 2, 3, 4, 5}, {3, 4}},
      {"colour", 24, Rect(0, 0, 3, 1), Rect(1, 0, 2, 1), {1, 1, 1, 2, 2, 2, 3, 3, 3}, {2, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(c.sourceBounds, c.bitsPerPixel, RowsOf({c.row}));
    const GClipToSingleRectangle clip(c.clip, GClip::kInside, GClip::kNotSet, 177);
    GClipRowFilter stage(&clip);
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    const ReadRowResult result = ReadRows(stage, 1)[0];
    EXPECT_EQ(result.bytes, c.expected);
    EXPECT_TRUE(result.withinMaximum);
  }
}

TEST(GClipRowFilter, SkipsTheRowsAboveAndShortensTheLastRepeat) {
  MemoryRowSource source(Rect(0, 10, 1, 15), 8, {{{0}}, {{1}}, {{2}}, {{3}, 3}});
  const GClipToSingleRectangle clip(Rect(0, 11, 1, 15), GClip::kInside, GClip::kNotSet, 177);
  GClipRowFilter stage(&clip);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  GRectangle bounds;
  stage.GetBounds(bounds);
  EXPECT_EQ(bounds, Rect(0, 11, 1, 15));
  const std::vector<ReadRowResult> results = ReadRows(stage, 3);
  EXPECT_EQ(results[0].bytes, Bytes{1});
  EXPECT_EQ(results[0].row, 0);
  EXPECT_EQ(results[2].bytes, Bytes{3});
  EXPECT_EQ(results[2].row, 2);
  EXPECT_EQ(results[2].repeat, 2);
}

TEST(GClipRowFilter, DoesNotOpenWithNothingToCut) {
  const GClipToSingleRectangle inside(Rect(2, 2, 4, 4), GClip::kInside, GClip::kNotSet, 177);
  const GClipToSingleRectangle outside(Rect(2, 2, 4, 4), GClip::kOutside, GClip::kNotSet, 177);
  const GClipToSingleRectangle covering(Rect(-5, -5, 50, 50), GClip::kInside, GClip::kNotSet, 177);
  const GClipToSingleRectangle beside(Rect(10, 0, 20, 10), GClip::kInside, GClip::kNotSet, 177);
  const GClipToPage page;
  struct Case {
    const char* name;
    const GClip* clip;
    bool withSource;
  };
  const Case cases[] = {
      {"no_source", &inside, false},         {"no_clip", nullptr, true},
      {"exterior_clip", &outside, true},     {"covers_the_source", &covering, true},
      {"outside_the_source", &beside, true}, {"no_bounds", &page, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(Rect(0, 0, 10, 10), 8, RowsOf({{1}}));
    GClipRowFilter stage(c.clip);
    if (c.withSource) stage.SetSource(&source);
    EXPECT_EQ(stage.Open(), 0);
  }
}

// A 2 x 2 matrix laid on the page: the pixel at page position (x, y) meets
// cell (y mod 2, x mod 2), whatever the source's position.
TEST(GHalftoneRowFilter, ComparesEachPixelWithTheCellUnderIt) {
  const uint8_t cells[] = {10, 200, 100, 50};
  GDitherMatrix matrix(2, 2, cells, 1, 0);
  const Bytes grey = {0, 60, 120, 250, 60, 120, 9, 201, 199};
  for (const GRectangle& bounds : {Rect(0, 0, 9, 2), Rect(3, 1, 12, 3), Rect(-3, -5, 6, -3), Rect(-4, -1, 5, 1)}) {
    SCOPED_TRACE(testing::Message() << bounds.left << ", " << bounds.top);
    MemoryRowSource source(bounds, 8, {{grey, 2}});
    GHalftoneRowFilter stage(&matrix, GrayStandard);
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    EXPECT_EQ(stage.GetBitsPerPixel(), 1);
    const std::vector<ReadRowResult> results = ReadRows(stage, 2);
    for (int r = 0; r < 2; ++r) {
      Bytes expected(2, 0);
      const int y = bounds.top + r;
      for (int p = 0; p < 9; ++p) {
        const int x = bounds.left + p;
        if (grey[p] >= cells[((y % 2 + 2) % 2) * 2 + (x % 2 + 2) % 2]) expected[p / 8] |= 0x80 >> (p % 8);
      }
      EXPECT_EQ(results[r].bytes, expected) << r;
      EXPECT_EQ(results[r].row, r);
      EXPECT_EQ(results[r].repeat, 1);
    }
  }
}

TEST(GHalftoneRowFilter, TakesGreyFromThePaletteOrSpreadsTheValues) {
  // Thresholds 1, 100, 200, 255 across; a pixel at least as light as its
  // threshold is white (1).
  const uint8_t cells[] = {1, 100, 200, 255};
  GDitherMatrix matrix(4, 1, cells, 1, 0);
  const GRGBColor dark[] = {{0, 0, 0, 255}, {100, 100, 100, 255}, {210, 210, 210, 255}, {255, 255, 255, 255}};
  struct Case {
    const char* name;
    uint8_t bitsPerPixel;
    Bytes row;
    const GPaletteTable* palette;
    uint8_t expected;
  };
  const GPaletteTable whiteBlack;
  const GPaletteTable greys(dark);
  const Case cases[] = {
      // Without palette 1 is white (255) and 0 black.
      {"one_bit_plain", 1, {0b1010'0000}, nullptr, 0b1010'0000},
      {"one_bit_all_set", 1, {0b1111'0000}, nullptr, 0b1111'0000},
      {"one_bit_palette_white_then_black", 1, {0b0101'0000}, &whiteBlack, 0b1010'0000},
      // 15 is 255, 7 is 119, 1 is 17.
      {"four_bit_plain", 4, {0xF7, 0x1F}, nullptr, 0b1101'0000},
      {"four_bit_palette", 4, {0x12, 0x33}, &greys, 0b1111'0000},
      {"grey_plain", 8, {0, 100, 199, 255}, nullptr, 0b0101'0000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(Rect(0, 0, 4, 1), c.bitsPerPixel, RowsOf({c.row}));
    class PaletteSource : public GRowFilter {
     public:
      explicit PaletteSource(const GPaletteTable* palette) : palette_(palette) {}
      int32_t ReadRow(uint8_t* b, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override {
        return source_->ReadRow(b, row, length, repeat, rows);
      }
      GPaletteTable* GetPalette() const override { return const_cast<GPaletteTable*>(palette_); }

     private:
      const GPaletteTable* palette_;
    } withPalette(c.palette);
    withPalette.SetSource(&source);
    GHalftoneRowFilter stage(&matrix, GrayStandard);
    stage.SetSource(&withPalette);
    ASSERT_EQ(stage.Open(), 1);
    EXPECT_EQ(ReadRows(stage, 1)[0].bytes, Bytes{c.expected});
  }
}

TEST(GHalftoneRowFilter, DoesNotOpenWithoutAUsableMatrixOrDepth) {
  const uint8_t cells[] = {1};
  GDitherMatrix matrix(1, 1, cells, 1, 0);
  GDitherMatrix empty;
  struct Case {
    const char* name;
    GDitherMatrix* matrix;
    uint8_t bitsPerPixel;
  };
  const Case cases[] = {{"no_matrix", nullptr, 8},
                        {"empty_matrix", &empty, 8},
                        {"colour_rows", &matrix, 24},
                        {"two_bit_rows", &matrix, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRowSource source(Rect(0, 0, 4, 1), c.bitsPerPixel, RowsOf({{1}}));
    GHalftoneRowFilter stage(c.matrix, GrayStandard);
    stage.SetSource(&source);
    EXPECT_EQ(stage.Open(), 0);
  }
}

TEST(GHalftoneRowFilter, OneBitRowsOfTenPixelsBecomeTwoBytes) {
  const uint8_t cells[] = {128};
  GDitherMatrix matrix(1, 1, cells, 1, 0);
  MemoryRowSource source(Rect(0, 0, 10, 1), 1, RowsOf({{0xFF, 0xC0}}));
  GHalftoneRowFilter stage(&matrix, GrayStandard);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  EXPECT_EQ(stage.GetMaxRowBytes(), 2u);
  EXPECT_EQ(ReadRows(stage, 1)[0].bytes, (Bytes{0xFF, 0xC0}));
  const GPaletteTable* palette = stage.GetPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetEntry(0)->GetRed(), 0);
  EXPECT_EQ(palette->GetEntry(1)->GetRed(), 255);
}

TEST(GBitmapRowSource, DeliversThePartInTheModesPixelFormat) {
  // Two colour pixels per row, red green blue stored.
  const Bytes colour = {255, 0, 0, 0, 0, 255, 10, 20, 30, 200, 100, 50};
  const GBitmap image = MakeBitmap(2, 2, 24, colour);
  const auto grey = [](int r, int g, int b) { return static_cast<uint8_t>((30 * r + 59 * g + 11 * b) / 100); };
  struct Case {
    const char* name;
    int32_t mode;
    uint8_t bitsPerPixel;
    Bytes second;
  };
  const Case cases[] = {
      {"grey", 0, 8, {grey(10, 20, 30), grey(200, 100, 50)}},
      {"grey_inverted", 1, 8, {uint8_t(~grey(10, 20, 30)), uint8_t(~grey(200, 100, 50))}},
      {"every_byte_inverted", 4, 8, {uint8_t(~grey(10, 20, 30)), uint8_t(~grey(200, 100, 50))}},
      {"blue_green_red", 2, 24, {30, 20, 10, 50, 100, 200}},
      {"red_green_blue", 3, 24, {10, 20, 30, 200, 100, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GBitmap bitmap(image);
    bitmap.SetGrayFunction(GrayStandard);
    GBitmapRowSource source(bitmap, Rect(0, 1, 2, 2), c.mode);
    EXPECT_EQ(source.GetBitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(source.GetPalette(), nullptr);
    EXPECT_EQ(source.GetMaxRowBytes(), 6u);
    const std::vector<ReadRowResult> results = ReadRows(source, 2);
    EXPECT_EQ(results[0].bytes, c.second);
    EXPECT_TRUE(results[0].withinMaximum);
    EXPECT_TRUE(results[1].bytes.empty());
    EXPECT_EQ(results[1].row, 1);
  }
}

TEST(GBitmapRowSource, InvertsThePaletteInModeOne) {
  const GRGBColor colors[] = {{0, 10, 255, 7}, {1, 2, 3, 255}};
  const Bytes data = {0x40};
  GBitmap bitmap = MakeBitmap(2, 1, 1, data, new GPaletteTable(colors));
  GBitmapRowSource plain(bitmap, Rect(0, 0, 2, 1), 0);
  EXPECT_EQ(plain.GetPalette(), bitmap.GetPalette());
  GBitmapRowSource inverse(bitmap, Rect(0, 0, 2, 1), 1);
  const GPaletteTable* palette = inverse.GetPalette();
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->GetCount(), 2u);
  EXPECT_TRUE(palette->GetEntry(0)->SameContent(GRGBColor(255, 245, 0, 255)));
  EXPECT_TRUE(palette->GetEntry(1)->SameContent(GRGBColor(254, 253, 252, 255)));
  EXPECT_EQ(ReadRows(inverse, 1)[0].bytes, Bytes{0x40});
}

TEST(GBitmapRowSource, SkipsRowsButNotPastTheBottom) {
  const Bytes data = {1, 2, 3, 4};
  const GBitmap bitmap = MakeBitmap(1, 4, 8, data);
  GBitmapRowSource source(bitmap, Rect(0, 1, 1, 4), 0);
  source.SkipRows(1);
  std::vector<ReadRowResult> results = ReadRows(source, 1);
  EXPECT_EQ(results[0].bytes, Bytes{3});
  EXPECT_EQ(results[0].row, 1);
  source.SkipRows(70000);
  EXPECT_TRUE(ReadRows(source, 1)[0].bytes.empty());
}

}  // namespace
