// Tests of the bitmap body: its row layout, the run-length expansion, the
// scan-line conversions of each depth, colour-depth reduction and the
// stored forms.
#include "graphics/bitmaps/bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/bitmaps/run_length_decoder.h"
#include "graphics/colour/palette_table.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An image owning a copy of data; adjust sets anything beyond the depth.
GBitmap Image(uint8_t bits, uint8_t components, int16_t width, int16_t height, const Bytes& data,
              const std::function<void(GBitmapDescription&)>& adjust = nullptr) {
  GBitmapDescription d;
  d.data = data.data();
  d.dataSize = static_cast<uint32_t>(data.size());
  d.rowAlignment = 1;
  d.bounds = {0, 0, width, height};
  d.bitsPerComponent = bits;
  d.components = components;
  if (adjust) adjust(d);
  return GBitmap(d);
}

Bytes ScanLine(const GBitmap& bitmap, int32_t left, int32_t right, int32_t row, int32_t mode) {
  Bytes line(64, 0xCC);
  line.resize(bitmap.GetScanLine(line, left, right, row, mode));
  return line;
}

TEST(Bitmap, RowLayoutAndBitsPerPixel) {
  struct Case {
    const char* name;
    uint8_t bits;
    uint8_t components;
    int16_t width;
    uint8_t alignment;
    uint32_t rowBytes;
    uint32_t stride;
    uint32_t bitsPerPixel;
  };
  // clang-format off
  const Case cases[] = {
      {"one_bit_ten_wide_aligned_to_4", 1,  1, 10, 4, 2,  4,  1},
      {"already_aligned",               8,  1, 8,  4, 8,  8,  8},
      {"no_alignment_given",            8,  1, 3,  0, 3,  3,  8},
      {"one_bit_three_planes",          1,  3, 9,  2, 2,  2,  4},
      {"eight_bit_three_planes",        8,  3, 5,  4, 5,  8,  24},
      {"sixteen_bit_pixels",            16, 1, 3,  4, 6,  8,  24},
      {"thirty_two_bit_pixels",         32, 1, 3,  4, 12, 12, 24},
      {"twenty_four_bit_pixels",        24, 1, 3,  4, 9,  12, 24},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GBitmap bitmap =
        Image(c.bits, c.components, c.width, 1, {}, [&c](GBitmapDescription& d) { d.rowAlignment = c.alignment; });
    EXPECT_EQ(bitmap.GetBody()->GetRowBytes(), c.rowBytes);
    EXPECT_EQ(bitmap.GetBody()->GetStride(), c.stride);
    EXPECT_EQ(bitmap.GetBitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(bitmap.GetSpanBytes(1, 4), (c.bitsPerPixel * 3 + 7) / 8);
  }
}

TEST(Bitmap, PixelMasks) {
  struct Case {
    const char* name;
    uint8_t bits;
    bool explicitMasks;
    std::array<uint32_t, 3> masks;
    GPixelMask first;
    GPixelMask third;
  };
  // clang-format off
  const Case cases[] = {
      {"default_16",       16, false, {},                                  {0x7C00, 10, 5},     {0x1F, 0, 5}},
      {"default_32",       32, false, {},                                  {0xFF0000, 16, 8},   {0xFF, 0, 8}},
      {"explicit_565",     16, true,  {0xF800, 0x7E0, 0x1F},               {0xF800, 11, 5},     {0x1F, 0, 5}},
      {"explicit_empty",   32, true,  {0, 0xFF00, 0xFFFFFFFF},             {0, 0, 0},           {0xFFFFFFFF, 0, 32}},
      {"eight_bit_has_none", 8, true, {0xF0, 0x0C, 0x03},                  {0, 0, 0},           {0, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GBitmap bitmap = Image(c.bits, 1, 1, 1, {}, [&c](GBitmapDescription& d) {
      d.explicitMasks = c.explicitMasks;
      d.masks = c.masks;
    });
    EXPECT_EQ(bitmap.GetBody()->GetMask(0), c.first);
    EXPECT_EQ(bitmap.GetBody()->GetMask(2), c.third);
  }
}

// Each component of c bits becomes v x 255 / (2^c - 1), truncated; a
// component without bits is 0.
TEST(Bitmap, ComponentsAreScaledToEightBits) {
  struct Case {
    const char* name;
    uint8_t bits;
    std::array<uint32_t, 3> masks;
    Bytes pixel;
    Bytes rgb;
  };
  // clang-format off
  const Case cases[] = {
      {"five_bits_16_of_31",   16, {0x7C00, 0x3E0, 0x1F},   {0x10, 0x42},             {131, 131, 131}},
      {"five_and_six_bits",    16, {0xF800, 0x7E0, 0x1F},   {0xFF, 0xFF},             {255, 255, 255}},
      {"one_bit_components",   16, {0x4, 0x2, 0x1},         {0x05, 0x00},             {255, 0, 255}},
      {"zero_bit_component",   32, {0, 0xFF00, 0xFF},       {0x01, 0x02, 0x00, 0x00}, {0, 2, 1}},
      {"sixteen_bit_component", 32, {0xFFFF0000, 0xFF00, 0xFF}, {0x00, 0x00, 0x00, 0x80}, {127, 0, 0}},
      {"thirty_two_bits",      32, {0xFFFFFFFF, 0, 0},      {0xFF, 0xFF, 0xFF, 0xFF}, {255, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GBitmap bitmap = Image(c.bits, 1, 1, 1, c.pixel, [&c](GBitmapDescription& d) {
      d.explicitMasks = true;
      d.masks = c.masks;
    });
    // With blue-green-red storage the first component is delivered first
    // for a red-green-blue request.
    EXPECT_EQ(ScanLine(bitmap, 0, 1, 0, GBitmapImp::kColorRGB), c.rgb);
  }
}

TEST(Bitmap, ScanLines) {
  struct Case {
    const char* name;
    GBitmap bitmap;
    int32_t left;
    int32_t right;
    int32_t row;
    int32_t mode;
    Bytes line;
  };
  const Bytes rows3x4 = {0x10, 0x11, 0x12, 0x20, 0x21, 0x22, 0x30, 0x31, 0x32};
  const auto bottomUp = [](GBitmapDescription& d) { d.bottomUp = true; };
  const auto mirrored = [](GBitmapDescription& d) { d.mirrored = true; };
  const auto rgbOrder = [](GBitmapDescription& d) { d.colorOrder = 1; };
  const auto padded = [](GBitmapDescription& d) { d.rowAlignment = 4; };
  // Spans that end inside a byte carry the stored bits that follow them.
  // Three planes of one row each, 8 pixels of 1 bit: 0xF0, 0xCC, 0xAA.
  const Bytes planes1 = {0xF0, 0xCC, 0xAA};
  // clang-format off
  const Case cases[] = {
      {"eight_bit_rows_in_order",        Image(8, 1, 3, 3, rows3x4),           0, 3, 1, 2, {0x20, 0x21, 0x22}},
      {"bottom_up_row_0_is_stored_last", Image(8, 1, 3, 3, rows3x4, bottomUp), 0, 3, 0, 2, {0x30, 0x31, 0x32}},
      {"span_from_the_middle",           Image(8, 1, 3, 3, rows3x4),           1, 3, 2, 2, {0x31, 0x32}},
      {"rows_padded_to_the_alignment",   Image(8, 1, 3, 2, {1, 2, 3, 0xEE, 4, 5, 6, 0xEE}, padded), 0, 3, 1, 2, {4, 5, 6}},
      {"one_bit_from_pixel_3",           Image(1, 1, 16, 1, {0b10110011, 0b11000001}), 3, 14, 0, 2, {0b10011110, 0b00001000}},
      {"four_bit_from_an_odd_pixel",     Image(4, 1, 5, 1, {0x12, 0x34, 0x50}), 1, 4, 0, 2, {0x23, 0x45}},
      {"four_bit_from_an_even_pixel",    Image(4, 1, 5, 1, {0x12, 0x34, 0x50}), 2, 5, 0, 2, {0x34, 0x50}},
      {"one_bit_planes_to_nibbles",      Image(1, 3, 8, 1, planes1),            0, 3, 0, 2, {0x76, 0x57}},
      {"one_bit_planes_reversed",        Image(1, 3, 8, 1, planes1),            0, 3, 0, 3, {0x73, 0x57}},
      {"one_bit_planes_rgb_stored",      Image(1, 3, 8, 1, planes1, rgbOrder),  0, 3, 0, 3, {0x76, 0x57}},
      {"eight_bit_planes_bgr",           Image(8, 3, 2, 1, {1, 2, 3, 4, 5, 6}), 0, 2, 0, 2, {1, 3, 5, 2, 4, 6}},
      {"eight_bit_planes_to_rgb",        Image(8, 3, 2, 1, {1, 2, 3, 4, 5, 6}), 0, 2, 0, 3, {5, 3, 1, 6, 4, 2}},
      {"twenty_four_bits_bgr",           Image(24, 1, 2, 1, {1, 2, 3, 4, 5, 6}), 0, 2, 0, 2, {1, 2, 3, 4, 5, 6}},
      {"twenty_four_bits_to_rgb",        Image(24, 1, 2, 1, {1, 2, 3, 4, 5, 6}), 0, 2, 0, 3, {3, 2, 1, 6, 5, 4}},
      {"twenty_four_rgb_stored_to_bgr",  Image(24, 1, 1, 1, {1, 2, 3}, rgbOrder), 0, 1, 0, 2, {3, 2, 1}},
      // Blue 0, green 0, red 200: 30 x 200 / 100.
      {"grey_of_a_bgr_pixel",            Image(24, 1, 2, 1, {0, 0, 200, 100, 0, 0}), 0, 2, 0, 0, {60, 11}},
      {"grey_of_an_rgb_pixel",           Image(24, 1, 1, 1, {0, 0, 200}, rgbOrder), 0, 1, 0, 4, {22}},
      {"grey_of_a_16_bit_pixel",         Image(16, 1, 1, 1, {0x00, 0x7C}),      0, 1, 0, 1, {76}},
      {"grey_of_8_bit_planes",           Image(8, 3, 1, 1, {0, 0, 100}),        0, 1, 0, 0, {30}},
      {"eight_bit_rows_stay_indices",    Image(8, 1, 3, 3, rows3x4),            0, 3, 0, 0, {0x10, 0x11, 0x12}},
      {"mirrored_bytes",                 Image(8, 1, 3, 3, rows3x4, mirrored),  0, 3, 0, 2, {0x12, 0x11, 0x10}},
      {"mirrored_pixels_of_three_bytes", Image(24, 1, 2, 1, {1, 2, 3, 4, 5, 6}, mirrored), 0, 2, 0, 2, {4, 5, 6, 1, 2, 3}},
      {"mirrored_grey_bytes",            Image(24, 1, 2, 1, {0, 0, 200, 100, 0, 0}, mirrored), 0, 2, 0, 0, {11, 60}},
      {"mirrored_nibbles",               Image(4, 1, 3, 1, {0x12, 0x30}, mirrored), 0, 3, 0, 2, {0x32, 0x10}},
      {"mirrored_bits_keep_the_tail",    Image(1, 1, 3, 1, {0b11000101}, mirrored), 0, 3, 0, 2, {0b01100101}},
      {"left_not_below_right",           Image(8, 1, 3, 3, rows3x4),            2, 2, 0, 2, {}},
      {"right_past_the_width",           Image(8, 1, 3, 3, rows3x4),            0, 4, 0, 2, {}},
      {"negative_left",                  Image(8, 1, 3, 3, rows3x4),            -1, 2, 0, 2, {}},
      {"row_past_the_height",            Image(8, 1, 3, 3, rows3x4),            0, 3, 3, 2, {}},
      {"negative_row",                   Image(8, 1, 3, 3, rows3x4),            0, 3, -1, 2, {}},
      {"data_shorter_than_the_rows",     Image(8, 1, 3, 3, {1, 2, 3, 4}),       0, 3, 1, 2, {4, 0, 0}},
      {"no_data_reads_zeros",            Image(24, 1, 1, 2, {}),                0, 1, 1, 3, {0, 0, 0}},
      {"unknown_depth_gives_nothing",    Image(2, 1, 4, 1, {0xFF}),             0, 4, 0, 2, {}},
      {"two_components_give_nothing",    Image(8, 2, 1, 1, {1, 2}),             0, 1, 0, 2, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScanLine(c.bitmap, c.left, c.right, c.row, c.mode), c.line);
  }
}

// Bands start a fixed number of 64 KB segments apart, counted from the
// start of the data; a row's place inside its band wraps at 64 KB.
TEST(Bitmap, BandedRowsAreFoundByTheirBand) {
  Bytes data(3 * 0x10000, 0);
  data[0] = 1;            // band 0, row 0
  data[4] = 2;            // band 0, row 1
  data[2 * 0x10000] = 3;  // band 1, row 2
  data[2 * 0x10000 + 4] = 4;
  const GBitmap bitmap = Image(8, 1, 1, 4, data, [](GBitmapDescription& d) {
    d.rowAlignment = 4;
    d.rowsPerBand = 2;
    d.segmentsPerBand = 2;
  });
  for (int32_t row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ScanLine(bitmap, 0, 1, row, 2), Bytes{static_cast<uint8_t>(row + 1)});
  }
  const GBitmap pastTheData = Image(8, 1, 1, 6, data, [](GBitmapDescription& d) {
    d.rowsPerBand = 2;
    d.segmentsPerBand = 2;
  });
  EXPECT_EQ(ScanLine(pastTheData, 0, 1, 5, 2), Bytes{0});
}

TEST(Bitmap, AGreyFunctionOtherThanTheStandardOneGivesItsLowByte) {
  GBitmap bitmap = Image(24, 1, 1, 1, {1, 2, 3});
  bitmap.SetGrayFunction(
      [](uint8_t red, uint8_t green, uint8_t blue) -> uint32_t { return 0x1200 + red + 2 * green + 3 * blue; });
  // Red 3, green 2, blue 1.
  EXPECT_EQ(ScanLine(bitmap, 0, 1, 0, 0), Bytes{10});
  bitmap.SetGrayFunction(GrayStandard);
  EXPECT_EQ(ScanLine(bitmap, 0, 1, 0, 0), Bytes{2});
}

TEST(Bitmap, ADestinationTooSmallIsLeftAlone) {
  const GBitmap bitmap = Image(24, 1, 2, 1, {1, 2, 3, 4, 5, 6});
  Bytes line(5, 0xCC);
  EXPECT_EQ(bitmap.GetScanLine(line, 0, 2, 0, 2), 0U);
  EXPECT_EQ(line, Bytes(5, 0xCC));
}

TEST(RunLength, Decoding) {
  struct Case {
    const char* name;
    uint8_t bits;
    uint32_t width;
    uint32_t stride;
    uint32_t size;
    Bytes input;
    Bytes rows;
  };
  // clang-format off
  const Case cases[] = {
      {"run_wraps_to_the_next_row",     8, 3, 4, 8,  {5, 7, 0, 1},                     {7, 7, 7, 0, 7, 7, 0, 0}},
      {"end_of_row_at_a_row_start_is_ignored", 8, 2, 2, 6, {2, 1, 0, 0, 1, 2, 0, 0, 1, 3}, {1, 1, 2, 0, 3, 0}},
      {"move_down_and_on",              8, 3, 3, 9,  {0, 2, 1, 2, 1, 9},               {0, 0, 0, 0, 0, 0, 0, 9, 0}},
      {"literal_padded_to_even",        8, 4, 4, 8,  {0, 3, 1, 2, 3, 0, 1, 4},         {1, 2, 3, 4, 0, 0, 0, 0}},
      {"nibble_run_alternates",         4, 5, 4, 4,  {5, 0xAB},                        {0xAB, 0xAB, 0xA0, 0}},
      {"nibble_literal_odd",            4, 4, 2, 4,  {0, 3, 0x12, 0x30, 1, 0x40},      {0x12, 0x34, 0, 0}},
      {"nibble_literal_padded",         4, 6, 3, 6,  {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x60}, {0x12, 0x34, 0x56, 0, 0, 0}},
      {"end_of_image_stops",            8, 2, 2, 4,  {1, 5, 0, 1, 2, 6},               {5, 0, 0, 0}},
      {"pixels_past_the_block_drop",    8, 2, 2, 4,  {255, 3},                         {3, 3, 3, 3}},
      {"move_past_the_block_ends",      8, 2, 2, 4,  {0, 2, 0, 255, 1, 7},             {0, 0, 0, 0}},
      {"truncated_move",                8, 2, 2, 4,  {1, 4, 0, 2, 1},                  {4, 0, 0, 0}},
      {"truncated_literal",             8, 2, 2, 4,  {0, 4, 1, 2},                     {0, 0, 0, 0}},
      {"odd_byte_left_over",            8, 2, 2, 4,  {2, 8, 3},                        {8, 8, 0, 0}},
      {"zero_width",                    8, 0, 0, 4,  {2, 8},                           {0, 0, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeRunLength(c.input, c.bits, c.width, c.stride, c.size), c.rows);
  }
}

TEST(Bitmap, RunLengthDataIsExpandedWhenTheBodyIsMade) {
  const GBitmap bitmap = Image(8, 1, 3, 2, {3, 4, 0, 0, 1, 5, 0, 1}, [](GBitmapDescription& d) {
    d.compression = 2;
    d.rowAlignment = 4;
    d.ownsData = false;
  });
  EXPECT_EQ(bitmap.GetCompression(), 0);
  EXPECT_TRUE(bitmap.GetBody()->OwnsData());
  // Room for one row more than the image has.
  EXPECT_EQ(bitmap.GetDataSize(), 4U * 3);
  EXPECT_EQ(ScanLine(bitmap, 0, 3, 0, 2), (Bytes{4, 4, 4}));
  EXPECT_EQ(ScanLine(bitmap, 0, 3, 1, 2), (Bytes{5, 0, 0}));
  const GBitmap tooLarge = Image(8, 1, 32767, 32767, {1, 1, 0, 1}, [](GBitmapDescription& d) { d.compression = 2; });
  EXPECT_EQ(tooLarge.GetDataSize(), 0U);
  EXPECT_EQ(ScanLine(tooLarge, 0, 2, 0, 2), (Bytes{0, 0}));
}

TEST(Bitmap, SizesOwnershipAndNullBitmaps) {
  const Bytes data = {1, 2, 3, 4};
  GBitmap borrowed = Image(8, 1, 2, 2, data, [](GBitmapDescription& d) {
    d.ownsData = false;
    d.compression = 7;
  });
  EXPECT_EQ(borrowed.GetData(), data.data());
  EXPECT_TRUE(borrowed.IsCompressed());
  EXPECT_EQ(borrowed.GetExpandedSize(), 8U);
  const GBitmap shared = borrowed;
  EXPECT_EQ(shared.GetBody(), borrowed.GetBody());
  borrowed.MakeDataOwned();
  EXPECT_NE(shared.GetData(), data.data());
  EXPECT_EQ(Bytes(shared.GetData(), shared.GetData() + 4), data);

  GBitmap null;
  EXPECT_TRUE(null.IsNull());
  EXPECT_EQ(null.GetBitsPerPixel(), 0U);
  EXPECT_EQ(ScanLine(null, 0, 1, 0, 2), Bytes{});
  null.SetPalette(new GPaletteTable);
  GBitmap reduced;
  null.ReduceColorDepth(reduced);
  EXPECT_TRUE(reduced.IsNull());
}

// A 24-bit image whose pixels take count colours in turn.
GBitmap Colors(int16_t width, int16_t height, uint32_t count) {
  Bytes data;
  for (uint32_t i = 0; i < uint32_t(width) * height; ++i) {
    const uint32_t color = i % count;
    data.insert(data.end(), {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8), 7});
  }
  return Image(24, 1, width, height, data);
}

TEST(Bitmap, ReducingColourDepth) {
  struct Case {
    const char* name;
    GBitmap bitmap;
    bool shared;
    uint32_t bitsPerPixel;
  };
  // clang-format off
  const Case cases[] = {
      {"256_colours_in_30000_pixels",   Colors(150, 200, 256), false, 8},
      {"257_colours",                   Colors(150, 200, 257), true,  24},
      {"40000_pixels",                  Colors(200, 200, 2),   true,  24},
      {"two_colours_become_one_bit",    Colors(9, 3, 2),       false, 1},
      {"three_colours_stay_eight_bits", Colors(9, 3, 3),       false, 8},
      {"four_bits_are_kept",            Image(4, 1, 2, 1, {0x12}), true, 4},
      {"eight_bits_without_palette",    Image(8, 1, 2, 1, {1, 2}), true, 8},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GBitmap result;
    c.bitmap.ReduceColorDepth(result);
    EXPECT_EQ(result.GetBody() == c.bitmap.GetBody(), c.shared);
    EXPECT_EQ(result.GetBitsPerPixel(), c.bitsPerPixel);
  }
}

TEST(Bitmap, AReducedImageKeepsEveryPixelsColour) {
  const GBitmap original = Colors(5, 2, 3);
  GBitmap reduced;
  original.ReduceColorDepth(reduced);
  ASSERT_NE(reduced.GetPalette(), nullptr);
  EXPECT_EQ(reduced.GetPalette()->GetCount(), 3U);
  EXPECT_EQ(reduced.GetBounds(), (GRectangle{0, 0, 5, 2}));
  for (int32_t row = 0; row < 2; ++row) {
    const Bytes colours = ScanLine(original, 0, 5, row, GBitmapImp::kColorRGB);
    const Bytes indices = ScanLine(reduced, 0, 5, row, GBitmapImp::kColorRGB);
    for (uint32_t x = 0; x < 5; ++x) {
      const GRGBColor& entry = *reduced.GetPalette()->GetEntry(indices[x]);
      EXPECT_EQ((Bytes{entry.GetRed(), entry.GetGreen(), entry.GetBlue()}),
                Bytes(colours.begin() + 3 * x, colours.begin() + 3 * x + 3));
    }
  }
  // Two colours: a 1 for each pixel of the second.
  GBitmap twoColours;
  Colors(9, 1, 2).ReduceColorDepth(twoColours);
  EXPECT_EQ(ScanLine(twoColours, 0, 9, 0, 2), (Bytes{0b01010101, 0b00000000}));
  EXPECT_EQ(twoColours.GetPalette()->GetCount(), 2U);
}

TEST(Bitmap, Equality) {
  const Bytes data = {1, 2, 3, 4};
  const GBitmap a = Image(8, 1, 2, 2, data);
  EXPECT_TRUE(a.SameContent(GBitmap(a)));
  EXPECT_TRUE(a.SameContent(Image(8, 1, 2, 2, data)));
  EXPECT_FALSE(a.SameContent(Image(8, 1, 2, 2, {1, 2, 3, 5})));
  EXPECT_FALSE(a.SameContent(Image(8, 1, 2, 2, data, [](GBitmapDescription& d) { d.mirrored = true; })));
  EXPECT_FALSE(a.SameContent(GBitmap()));
  EXPECT_TRUE(GBitmap().SameContent(GBitmap()));
}

TEST(Bitmap, StoredForms) {
  const GBitmap bitmap = Image(8, 1, 2, 1, {0xAB, 0xCD}, [](GBitmapDescription& d) {
    d.colorOrder = 1;
    d.userValue = 9;
  });
  const GBitmapImp& body = *bitmap.GetBody();
  const std::string bodyPart = Words({1, 0, body.SerialNumber(), 2, 1, 2}) + Shorts({0, 0, 2, 1}) + "\x08\x01" +
                               Words({1, 0, 0}) + "\x01" + Shorts({0}) + Words({9}) + Shorts({0}) +
                               Words({0, 0, 2, 2, 0}) + std::string(18, '\0') + kNilObject + Words({0}) + "\xAB\xCD";
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &bitmap),
            Graph(kGBitmapClassID, Words({1, 0, bitmap.SerialNumber(), 1}) + Shorts({kGBitmapImpClassID}) + bodyPart));
  EXPECT_TRUE(RoundTrips(bitmap));
  EXPECT_TRUE(RoundTrips(body));
  EXPECT_TRUE(RoundTrips(GBitmap()));
  const GBitmap masked = Image(16, 1, 1, 1, {1, 2}, [](GBitmapDescription& d) {
    d.palette = new GPaletteTable;
    d.mirrored = true;
    d.bottomUp = true;
  });
  EXPECT_TRUE(RoundTrips(masked));
}

TEST(Bitmap, ARestoreOfAnotherVersionLeavesTheBodyAsItWas) {
  GBitmapImp body(GBitmapDescription{.data = nullptr, .bounds = {0, 0, 3, 3}});
  EXPECT_TRUE(RestoreInPlace(body, Words({1, 0, 0, 1}) + std::string(90, '\0')));
  EXPECT_EQ(body.GetBounds(), (GRectangle{0, 0, 3, 3}));
}

TEST(Bitmap, ADataSizeBeyondTheStoredBytesLeavesNoData) {
  const GBitmap bitmap = Image(8, 1, 2, 1, {0xAB, 0xCD});
  std::string stored = SaveContentsToFileBytes(*bitmap.GetBody());
  stored[23] = '\x7F';  // data size 0x7F000002
  GBitmapImp body;
  RestoreContentsFromFileBytes(body, stored);
  EXPECT_EQ(body.GetDataSize(), 0U);
}

// The stored stride and row size are whatever the input says; rows are read
// from the bounds and the data alone.
TEST(Bitmap, ARestoredRowSizeDoesNotDecideWhatIsRead) {
  const GBitmap bitmap = Image(8, 1, 2, 1, {0xAB, 0xCD});
  std::string stored = SaveContentsToFileBytes(*bitmap.GetBody());
  stored.replace(63, 8, "\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F");  // stride, row bytes
  GBitmapImp body;
  RestoreContentsFromFileBytes(body, stored);
  ASSERT_EQ(body.GetRowBytes(), 0x7FFFFFFFU);
  Bytes line(2);
  EXPECT_EQ(body.GetScanLine(line, 0, 2, 0, 2), 2U);
  EXPECT_EQ(line, (Bytes{0xAB, 0xCD}));
}

}  // namespace
