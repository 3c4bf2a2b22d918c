// Images, raster patterns and raster operations of the PCL XL generator,
// read back from the stream strictly and decoded with the reference row
// decoders.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "device/media/media.h"
#include "device/testing/test_device_tree.h"
#include "foundation/memory_byte_channel.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/gray_conversion.h"
#include "graphics/colour/palette_table.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/image_rows/image_row_pipeline.h"
#include "graphics/row_pad_filter.h"
#include "graphics/testing/faulty_output_channel.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/objects/lzw_codec.h"
#include "model/objects/persistent_composite.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/photographic_test.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/test_pattern_paint.h"
#include "pclxl/testing/xl_image_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using strict_pclxl::ReadResult;
using xl_images::Image;
using xl_job::Job;

GRectangle Rect(int left, int top, int right, int bottom) {
  return {static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
          static_cast<int16_t>(bottom)};
}

// A pixel value of the position: an index, a grey level, or red << 16 |
// green << 8 | blue.
using PixelFunction = std::function<uint32_t(int x, int y)>;

// An image of width x height pixels of 1, 4, 8 or 24 bits (stored red,
// green, blue), rows aligned to 4 bytes, with a palette of that many
// colours when paletteSize is given.
GBitmap MakeBitmap(int width, int height, uint8_t bits, const PixelFunction& pixel, uint32_t paletteSize = 0) {
  const size_t stride = (static_cast<size_t>(bits) * width + 31) / 32 * 4;
  Bytes data(stride * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = data.data() + stride * y;
    for (int x = 0; x < width; ++x) {
      const uint32_t value = pixel(x, y);
      if (bits == 24) {
        row[3 * x] = static_cast<uint8_t>(value >> 16);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value);
      } else {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (x % perByte + 1);
        row[x / perByte] |= static_cast<uint8_t>((value & ((1u << bits) - 1)) << shift);
      }
    }
  }
  GBitmapDescription description;
  description.data = data.data();
  description.dataSize = static_cast<uint32_t>(data.size());
  description.bounds = Rect(0, 0, width, height);
  description.bitsPerComponent = bits;
  description.colorOrder = 1;
  if (paletteSize != 0) {
    std::vector<GRGBColor> colors;
    for (uint32_t i = 0; i < paletteSize; ++i) {
      colors.emplace_back(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i * 11), static_cast<uint8_t>(i * 5),
                          uint8_t{255});
    }
    description.palette = new GPaletteTable(colors);
  }
  return GBitmap(description);
}

uint32_t Pattern(int x, int y) { return static_cast<uint32_t>(x * 7 + y * 13 + x * y); }
uint32_t ColourPattern(int x, int y) {
  const uint32_t v = Pattern(x, y);
  return (v * 37 & 0xFF) << 16 | (v * 11 & 0xFF) << 8 | (v * 3 & 0xFF);
}

// Job settings: 296 = 0 prints in colour, 297 is the image treatment.
constexpr int32_t kGreyKey = 296;
constexpr int32_t kTreatmentKey = 297;
constexpr int32_t kHalftoneKey = 325;

// Job setting 296: 0 prints in colour.
int16_t GreySetting(bool colour) { return colour ? 0 : 1; }

struct Printer {
  bool class21 = false;
  bool ditherMatrix = false;
};

// The printer configuration of the job tests, with protocol class 2.1 and
// a 4 x 4 dither matrix when asked.
GConfiguration* Configuration(const Printer& printer) {
  GConfiguration* configuration = xl_job::PrinterConfiguration();
  if (printer.class21) {
    AddValue(*configuration, 561, 2);
    AddValue(*configuration, 562, 1);
  }
  if (printer.ditherMatrix) {
    static constexpr uint8_t kCells[16] = {0, 128, 32, 160, 192, 64, 224, 96, 48, 176, 16, 144, 240, 112, 208, 80};
    auto* matrices = new MPersistentComposite(330);
    matrices->AddChild(new GDitherMatrix(4, 4, kCells, 600, 0));
    configuration->AddChild(matrices);
  }
  return configuration;
}

// A letter page whose printable area is 4800 x 6300 dots.
void PrintPage(Job& job, const std::function<void(Job&)>& inside) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  std::unique_ptr<GMedia> medium = MakeMedium(xl_job::kLetter, {5100, 6600}, {4800, 6300}, {150, 150});
  medium->SetKey(259);
  state->AddChild(medium.release());
  AddValue(*state, 258, xl_job::kUpperTray);
  ASSERT_EQ(job.Process(new GPageStart(state, 0)), 0);
  inside(job);
  ASSERT_EQ(job.Process(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0)), 0);
}

// Runs one job of one page and answers what it wrote, read strictly.
ReadResult RunJob(const Printer& printer, const std::vector<xl_job::Setting>& settings,
                  const std::function<void(Job&)>& inside) {
  Job job(Configuration(printer));
  auto* state = new GState(GPeripheral::kDocumentStateKey);
  for (const xl_job::Setting& setting : settings) AddValue(*state, setting.key, setting.value);
  EXPECT_EQ(job.Start({}, state), 0);
  PrintPage(job, inside);
  EXPECT_EQ(job.End(), 0);
  ReadResult result = job.Read();
  EXPECT_TRUE(result.Ok()) << strict_pclxl::Disassemble(result);
  return result;
}

// The rows the pipeline makes of the image before they are packed, once for
// every device row, as the generator builds it for a colour or grey job.
std::vector<Bytes> PipelineRows(const GBitmap& bitmap, const GRectangle& source, GRectangle destination,
                                const GClip* clip, bool colour, GDitherMatrix* matrix) {
  GImageRowPipeline pipeline(source, destination, clip, bitmap, colour ? 3 : 0, colour ? 0 : 2,
                             colour ? nullptr : matrix, new GRowPadFilter(4, 0), 0, GrayStandard);
  GRectangle bounds;
  pipeline.GetBounds(bounds);
  std::vector<Bytes> rows;
  Bytes buffer(pipeline.GetMaxRowBytes());
  while (rows.size() < static_cast<size_t>(bounds.bottom - bounds.top)) {
    uint16_t row = 0;
    uint32_t length = 0;
    uint8_t repeat = 1;
    uint8_t covered = 1;
    if (pipeline.ReadRow(buffer.data(), row, length, repeat, covered) != GRowFilter::kRowDelivered) break;
    for (uint8_t copy = 0; copy < std::max<uint8_t>(repeat, 1); ++copy)
      rows.emplace_back(buffer.begin(), buffer.begin() + length);
  }
  rows.resize(std::min<size_t>(rows.size(), static_cast<size_t>(bounds.bottom - bounds.top)));
  return rows;
}

}  // namespace

// The image treatment chooses the compression; a printer below class 2.1
// gets PackBits for every treatment but plain rows.
TEST(BorzanRowCompression, FollowsTheTreatmentAndTheProtocolClass) {
  using Packing = GBorzan::RowPacking;
  struct Case {
    const char* name;
    uint16_t treatment;
    bool class21;
    bool photograph;
    GBorzan::RowCompression expected;
  };
  const Case cases[] = {
      {"none", 0, true, false, {Packing::kPad, 0}},
      {"packbits", 1, true, false, {Packing::kPackBits, 1}},
      {"packbits_too", 2, true, false, {Packing::kPackBits, 1}},
      {"delta_row", 4, true, false, {Packing::kDeltaRow, 3}},
      {"adaptive", 8, true, false, {Packing::kAdaptive, 5}},
      {"adaptive_too", 16, true, false, {Packing::kAdaptive, 5}},
      {"jpeg_for_a_photograph", 512, true, true, {Packing::kJpeg, 2}},
      {"delta_row_for_other_images", 512, true, false, {Packing::kDeltaRow, 3}},
      {"unknown_is_plain", 7, true, true, {Packing::kPad, 0}},
      {"adaptive_on_class_20_is_packbits", 8, false, false, {Packing::kPackBits, 1}},
      {"delta_on_class_20_is_packbits", 4, false, false, {Packing::kPackBits, 1}},
      {"jpeg_on_class_20_is_packbits", 512, false, true, {Packing::kPackBits, 1}},
      {"plain_on_class_20", 0, false, false, {Packing::kPad, 0}},
      {"unknown_on_class_20_is_packbits", 7, false, false, {Packing::kPackBits, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int asked = 0;
    const GBorzan::RowCompression chosen = GBorzan::ChooseRowCompression(c.treatment, c.class21, [&] {
      ++asked;
      return c.photograph;
    });
    EXPECT_EQ(chosen, c.expected);
    // The pixels are looked at only when the answer can matter.
    EXPECT_EQ(asked, c.treatment == 512 && c.class21 ? 1 : 0);
  }
}

// A 24-bit image of 100 x 100 pixels whose sampled rows (every sixth) hold
// the given numbers of sharp jumps: the red component alternates between 0
// and jump over the first pixels of the row. Green rises smoothly.
GBitmap Jumps(std::vector<int> perSampledRow, uint32_t jump = 255) {
  return MakeBitmap(100, 100, 24, [=](int x, int y) -> uint32_t {
    const size_t sample = static_cast<size_t>(y / 6);
    const int count = y % 6 == 0 && sample < perSampledRow.size() ? perSampledRow[sample] : 0;
    const uint32_t smooth = static_cast<uint32_t>(x + y) << 8;
    return smooth | static_cast<uint32_t>(std::min(x, count) % 2) * jump << 16;
  });
}

TEST(PhotographicTest, SizesDepthOverrideAndSharpEdges) {
  const GRectangle large = Rect(0, 0, 41, 41);
  struct Case {
    const char* name;
    GBitmap bitmap;
    GRectangle destination;
    uint16_t override;
    bool expected;
  };
  const Case cases[] = {
      {"smooth_photograph", Jumps({}), large, 0, true},
      {"destination_40_wide", Jumps({}), Rect(0, 0, 40, 41), 0, false},
      {"destination_40_high", Jumps({}), Rect(10, 10, 51, 50), 0, false},
      {"image_40_wide", MakeBitmap(40, 1000, 24, ColourPattern), large, 1, false},
      {"image_50_by_50_sides_not_above_100", MakeBitmap(50, 50, 24, ColourPattern), large, 1, false},
      {"image_of_8_bits", MakeBitmap(100, 100, 8, Pattern, 256), large, 1, false},
      {"229_sharp_jumps", Jumps({99, 99, 31}), large, 0, true},
      {"230_sharp_jumps", Jumps({99, 99, 32}), large, 0, false},
      {"230_jumps_over_later_rows", Jumps({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99, 99, 32}), large, 0, false},
      {"jumps_of_223_are_not_sharp", Jumps({99, 99, 99}, 223), large, 0, true},
      {"jumps_of_224_are", Jumps({99, 99, 99}, 224), large, 0, false},
      {"override_skips_the_pixels", Jumps({99, 99, 99}), large, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsPhotographic(c.bitmap, c.destination, c.override), c.expected);
  }
}

std::vector<Image> ImagesOf(const ReadResult& result) { return xl_images::Images(result); }

// Images of every depth the language takes, with and without palettes, in
// colour and grey jobs and every row compression but JPEG, decode back to
// the rows the pipeline makes of them.
TEST(BorzanImages, DecodeBackToThePipelineRows) {
  struct Case {
    const char* name;
    uint8_t bits;
    uint32_t paletteSize;
    bool colour;
    uint16_t treatment;
    GRectangle destination;
    bool ditherMatrix;
    uint8_t colorDepth;
    uint8_t compressMode;
    uint8_t colorSpace;
  };
  const GRectangle same = Rect(120, 240, 157, 263);
  const GRectangle smaller = Rect(10, 20, 40, 40);
  const Case cases[] = {
      {"one_bit_palette_plain_grey", 1, 2, false, 0, same, false, 0, 0, 1},
      {"four_bit_palette_packbits_grey", 4, 16, false, 1, same, false, 1, 1, 1},
      {"eight_bit_palette_delta_colour", 8, 256, true, 4, same, false, 2, 3, 2},
      {"eight_bit_grey_levels_adaptive", 8, 0, false, 8, same, false, 2, 5, 1},
      {"colour_image_plain_in_colour", 24, 0, true, 0, same, false, 2, 0, 2},
      {"colour_image_adaptive_in_colour", 24, 0, true, 16, same, false, 2, 5, 2},
      {"colour_image_packbits_in_grey", 24, 0, false, 2, same, false, 2, 1, 1},
      {"colour_image_shrunk_delta", 24, 0, true, 4, smaller, false, 2, 3, 2},
      {"four_bit_palette_shrunk_adaptive_colour", 4, 16, true, 8, smaller, false, 1, 5, 2},
      {"eight_bit_halftoned_in_grey", 8, 0, false, 1, same, true, 0, 1, 1},
      // Grey levels without a palette stay grey levels in a colour job.
      {"eight_bit_grey_levels_in_colour", 8, 0, true, 1, same, false, 2, 1, 1},
      {"colour_image_halftoned_shrunk", 24, 0, false, 4, smaller, true, 0, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GBitmap bitmap = MakeBitmap(37, 23, c.bits, c.bits == 24 ? ColourPattern : Pattern, c.paletteSize);
    const GRectangle source = Rect(0, 0, 37, 23);
    std::vector<Bytes> expected;
    const ReadResult result = RunJob(
        {true, c.ditherMatrix}, {{kGreyKey, GreySetting(c.colour)}, {kTreatmentKey, static_cast<int16_t>(c.treatment)}},
        [&](Job& job) {
          EXPECT_TRUE(job.Generator().DrawImage(bitmap, source, c.destination, nullptr, false, 0));
          expected = PipelineRows(bitmap, source, c.destination, nullptr, c.colour, job.Generator().DitherMatrix());
        });
    const std::vector<Image> images = ImagesOf(result);
    ASSERT_EQ(images.size(), 1u);
    const Image& image = images[0];
    EXPECT_EQ(image.colorSpace, c.colorSpace);
    EXPECT_EQ(image.colorDepth, c.colorDepth);
    EXPECT_EQ(image.cursorX, c.destination.left);
    EXPECT_EQ(image.cursorY, c.destination.top);
    EXPECT_EQ(image.destinationWidth, static_cast<uint32_t>(c.destination.right - c.destination.left));
    EXPECT_EQ(image.destinationHeight, static_cast<uint32_t>(c.destination.bottom - c.destination.top));
    EXPECT_EQ(image.sourceHeight, expected.size());
    for (const xl_images::Block& block : image.blocks) EXPECT_EQ(block.compressMode, c.compressMode);
    const bool indexed = c.paletteSize != 0 || c.ditherMatrix;
    EXPECT_EQ(image.colorMapping, indexed ? 1 : 0);
    if (indexed) {
      const uint32_t depthBits = c.colorDepth == 0 ? 1 : c.colorDepth == 1 ? 4 : 8;
      EXPECT_EQ(image.palette.size(), (c.colour ? 3u : 1u) << depthBits);
    } else {
      EXPECT_TRUE(image.palette.empty());
    }
    const std::optional<std::vector<Bytes>> rows = xl_images::DecodeRows(image);
    ASSERT_TRUE(rows.has_value());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(*rows, expected);
  }
}

// Palette data: the colours in a colour job, their grey levels in a grey
// job, padded with zeros to the depth's full table.
TEST(BorzanImages, PalettesGoOutAsColoursOrGreyLevels) {
  const GBitmap bitmap = MakeBitmap(8, 2, 4, Pattern, 3);
  for (const bool colour : {true, false}) {
    SCOPED_TRACE(colour ? "colour" : "grey");
    const ReadResult result = RunJob({}, {{kGreyKey, GreySetting(colour)}}, [&](Job& job) {
      job.Generator().DrawImage(bitmap, Rect(0, 0, 8, 2), Rect(0, 0, 8, 2), nullptr, false, 0);
    });
    const std::vector<Image> images = ImagesOf(result);
    ASSERT_EQ(images.size(), 1u);
    Bytes expected;
    for (uint32_t i = 0; i < 3; ++i) {
      const auto red = static_cast<uint8_t>(i * 37);
      const auto green = static_cast<uint8_t>(255 - i * 11);
      const auto blue = static_cast<uint8_t>(i * 5);
      if (colour) {
        expected.insert(expected.end(), {red, green, blue});
      } else {
        expected.push_back(static_cast<uint8_t>(GrayStandard(red, green, blue)));
      }
    }
    expected.resize(colour ? 48 : 16, 0);
    EXPECT_EQ(images[0].palette, expected);
    EXPECT_EQ(images[0].colorDepth, 1);
    EXPECT_EQ(images[0].colorMapping, 1);
  }
}

// Rows whose depth the language cannot take (4 bits in three planes give
// 12 bits a pixel in colour) write nothing at all, and the raster pattern
// that would carry them is not selected.
TEST(BorzanImages, AnUnsendableDepthWritesNothing) {
  const Bytes data(64, 0x5A);
  GBitmapDescription description;
  description.data = data.data();
  description.dataSize = static_cast<uint32_t>(data.size());
  description.bounds = Rect(0, 0, 8, 4);
  description.bitsPerComponent = 4;
  description.components = 3;
  const GBitmap planar(description);
  const auto job = [&](const std::function<void(Job&)>& inside) {
    Job printed(Configuration({}));
    EXPECT_EQ(printed.Start({{kGreyKey, 0}}), 0);
    PrintPage(printed, inside);
    EXPECT_EQ(printed.End(), 0);
    return printed.Output();
  };
  const std::string empty = job([](Job&) {});
  EXPECT_EQ(job([&](Job& j) {
              EXPECT_FALSE(j.Generator().DrawImage(planar, Rect(0, 0, 8, 4), Rect(0, 0, 8, 4), nullptr, false, 0));
            }),
            empty);
  EXPECT_EQ(
      job([&](Job& j) { EXPECT_EQ(j.Generator().PreparePaintBitmap(TestPatternPaint(planar, true, true), 1), 0); }),
      empty);
  EXPECT_EQ(
      job([&](Job& j) {
        const GObjectRef raster(new GRasterGraphic(planar, Rect(0, 0, 8, 4), Rect(0, 0, 8, 4), GBitmap(), nullptr));
        EXPECT_EQ(j.Generator().DrawRaster(static_cast<GRasterGraphic&>(*raster)), 0);
      }),
      empty);
}

// The operations written between the page's clip mode and its end.
std::vector<std::string> PageOperations(const ReadResult& result) {
  std::vector<std::string> names;
  bool inPage = false;
  for (const strict_pclxl::Operation& operation : result.operations) {
    if (operation.name == "EndPage") inPage = false;
    if (inPage) names.push_back(strict_pclxl::FormatOperation(operation));
    if (operation.name == "SetClipMode") inPage = true;
  }
  return names;
}

// Kind 1 sets the transparency flag; the others leave it.
TEST(BorzanRasterOperation, SendsTheCodeAndTheTransparencyModes) {
  constexpr int32_t kUntouched = 7;
  struct Case {
    const char* name;
    int32_t mode;
    uint16_t code;
    std::vector<std::string> written;
    int32_t transparency;
  };
  const Case cases[] = {
      {"code_only", GRasterOperation::kCodeOnly, 0xA0F0, {"SetROP ROP3=ubyte(240)"}, kUntouched},
      {"transparent_modes",
       GRasterOperation::kCodeAndTransparency,
       0xA0CC,
       {"SetPaintTxMode TxMode=ubyte(1)", "SetSourceTxMode TxMode=ubyte(1)", "SetROP ROP3=ubyte(204)"},
       1},
      {"last_transparent_code",
       GRasterOperation::kCodeAndTransparency,
       0xAFFF,
       {"SetPaintTxMode TxMode=ubyte(1)", "SetSourceTxMode TxMode=ubyte(1)", "SetROP ROP3=ubyte(255)"},
       1},
      {"opaque_modes",
       GRasterOperation::kCodeAndTransparency,
       0x00CC,
       {"SetPaintTxMode TxMode=ubyte(0)", "SetSourceTxMode TxMode=ubyte(0)", "SetROP ROP3=ubyte(204)"},
       0},
      {"above_the_transparent_codes",
       GRasterOperation::kCodeAndTransparency,
       0xB0CC,
       {"SetPaintTxMode TxMode=ubyte(0)", "SetSourceTxMode TxMode=ubyte(0)", "SetROP ROP3=ubyte(204)"},
       0},
      {"not_set", GRasterOperation::kNotSet, 0xA0CC, {}, kUntouched},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRasterOperation operation(c.code, c.mode, GGraphicBundle::kRasterOperationKey);
    operation.SetChangedFlag(1);
    int32_t transparency = -1;
    const ReadResult result = RunJob({}, {}, [&](Job& job) {
      job.Generator().SetTransparency(kUntouched);
      EXPECT_EQ(job.Generator().ApplyRasterOperation(operation), 0);
      transparency = job.Generator().Transparency();
    });
    EXPECT_EQ(PageOperations(result), c.written);
    EXPECT_EQ(transparency, c.transparency);
    EXPECT_EQ(operation.ChangedFlag(), 0);
  }
}

// Pattern bitmaps are sized for the device (600 / 150 = 4 times) when the
// paint asks for it, or when patterns are scaled (job setting 277) and the
// paint lets what lies beneath show; the pattern is square on the smaller
// side and always goes out as plain rows.
TEST(BorzanRasterPatterns, ThePaintsBitmapBecomesASquarePattern) {
  struct Case {
    const char* name;
    bool deviceResolution;
    bool opaque;
    int16_t scalePatterns;
    uint32_t side;
    // A square smaller than the bitmap shrinks it in the pipeline.
    uint32_t sourceHeight;
  };
  const Case cases[] = {
      {"device_resolution", true, true, 0, 32, 16},
      {"scaled_patterns_not_opaque", false, false, 1, 32, 16},
      {"scaled_patterns_opaque", false, true, 1, 8, 8},
      {"as_it_is", false, false, 0, 8, 8},
  };
  const GBitmap bitmap = MakeBitmap(8, 16, 1, Pattern, 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadResult result = RunJob({true}, {{277, c.scalePatterns}, {kTreatmentKey, 4}}, [&](Job& job) {
      EXPECT_EQ(job.Generator().PreparePaintBitmap(TestPatternPaint(bitmap, c.deviceResolution, c.opaque), 3), 1);
    });
    const std::vector<Image> images = ImagesOf(result);
    ASSERT_EQ(images.size(), 1u);
    const Image& pattern = images[0];
    EXPECT_TRUE(pattern.rasterPattern);
    EXPECT_EQ(pattern.patternId, 3);
    EXPECT_EQ(pattern.sourceWidth, 8u);
    EXPECT_EQ(pattern.sourceHeight, c.sourceHeight);
    EXPECT_EQ(pattern.destinationWidth, c.side);
    EXPECT_EQ(pattern.destinationHeight, c.side);
    ASSERT_EQ(pattern.blocks.size(), 1u);
    EXPECT_EQ(pattern.blocks[0].compressMode, 0);
    EXPECT_EQ(xl_images::DecodeRows(pattern)->size(), c.sourceHeight);
  }
  const ReadResult result = RunJob({}, {}, [](Job& job) {
    EXPECT_EQ(job.Generator().PreparePaintBitmap(TestPatternPaint(MakeBitmap(0, 16, 1, Pattern, 2), true, true), 1), 0);
    EXPECT_EQ(job.Generator().PreparePaintBitmap(TestPatternPaint(GBitmap(), true, true), 1), 0);
  });
  EXPECT_TRUE(PageOperations(result).empty());
}

// A pen or brush that paints with a bitmap sends it as pattern 1 and
// selects it; one whose bitmap cannot be sent selects the null source.
// A see-through pattern gets its own kind, which the paint step reads.
TEST(BorzanPatternPaint, PensAndBrushesSelectTheirPatternOrNothing) {
  struct Case {
    const char* name;
    bool pen;
    GBitmap bitmap;
    bool opaque;
    int32_t kind;
    std::string selected;
  };
  const GBitmap bitmap = MakeBitmap(8, 8, 1, Pattern, 2);
  const Case cases[] = {
      {"opaque_brush", false, bitmap, true, GBorzan::kPatternSource, "SetBrushSource PatternSelectID=sint16(1)"},
      {"see_through_pen", true, bitmap, false, GBorzan::kSeeThroughSource, "SetPenSource PatternSelectID=sint16(1)"},
      {"brush_without_area", false, GBitmap(), true, GBorzan::kPatternSource, "SetBrushSource NullBrush=ubyte(0)"},
      {"pen_without_area", true, GBitmap(), true, GBorzan::kPatternSource, "SetPenSource NullPen=ubyte(0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t kind = -1;
    const ReadResult result = RunJob({}, {}, [&](Job& job) {
      TestPatternPaint paint(c.bitmap, false, c.opaque);
      GBorzan& generator = job.Generator();
      EXPECT_EQ(c.pen ? generator.SetPenPaint(paint) : generator.SetBrushPaint(paint), 0);
      kind = c.pen ? generator.PenKind() : generator.BrushKind();
    });
    EXPECT_EQ(kind, c.kind);
    const std::vector<std::string> operations = PageOperations(result);
    ASSERT_FALSE(operations.empty());
    EXPECT_EQ(operations.back(), c.selected);
    EXPECT_EQ(ImagesOf(result).size(), c.bitmap.GetBounds().right > 0 ? 1u : 0u);
  }
}

// A block takes rows while one more of the largest possible size fits:
// 16 KB blocks, 32 KB ones when a row may pack to more than 16 KB, and one
// row a block when it may pack to more than 32 KB.
TEST(BorzanImages, RowsGoOutInBlocksSizedByTheLargestRow) {
  struct Case {
    const char* name;
    int width;
    int height;
    uint16_t treatment;
    std::vector<uint32_t> heights;
    size_t largestBlock;
  };
  const Case cases[] = {
      // Rows of 300 bytes, at most 304 with padding: 54 fit in 16 KB.
      {"small_rows_fill_16k", 100, 200, 0, {54, 54, 54, 38}, 16384},
      // Rows of up to 18,004 bytes: 32 KB blocks, which take the packed
      // rows while 18,004 more bytes still fit.
      {"large_rows_packed_into_32k", 6000, 120, 1, {}, 32768},
      // Rows of 36,000 bytes: one a block.
      {"rows_above_32k_one_a_block", 12000, 3, 0, {1, 1, 1}, 36000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GBitmap bitmap =
        MakeBitmap(c.width, c.height, 24, [](int, int y) { return static_cast<uint32_t>(y) * 0x010203; });
    const ReadResult result =
        RunJob({true}, {{kGreyKey, 0}, {kTreatmentKey, static_cast<int16_t>(c.treatment)}}, [&](Job& job) {
          job.Generator().DrawImage(bitmap, Rect(0, 0, c.width, c.height), Rect(0, 0, c.width, c.height), nullptr,
                                    false, 0);
        });
    const std::vector<Image> images = ImagesOf(result);
    ASSERT_EQ(images.size(), 1u);
    std::vector<uint32_t> heights;
    for (const xl_images::Block& block : images[0].blocks) {
      heights.push_back(block.height);
      EXPECT_LE(block.data.size(), c.largestBlock);
    }
    if (!c.heights.empty()) {
      EXPECT_EQ(heights, c.heights);
    } else {
      EXPECT_GT(heights.size(), 1u);
      EXPECT_GT(heights.front(), 1u);
    }
    const auto rows = xl_images::DecodeRows(images[0]);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), static_cast<size_t>(c.height));
  }
}

// Where the image of a job lands and what it holds: cursor x and y,
// destination width and height, source width and height; nothing without
// an image, and the count of images after it when there are more.
std::vector<uint32_t> Placement(const ReadResult& result) {
  const std::vector<Image> images = ImagesOf(result);
  if (images.empty()) return {};
  const Image& image = images[0];
  std::vector<uint32_t> placement = {static_cast<uint32_t>(image.cursorX),
                                     static_cast<uint32_t>(image.cursorY),
                                     image.destinationWidth,
                                     image.destinationHeight,
                                     image.sourceWidth,
                                     image.sourceHeight};
  if (images.size() > 1) placement.push_back(static_cast<uint32_t>(images.size()));
  return placement;
}

// A 20 x 10 image on (100, 100, 140, 120), drawn within the printable
// area (4800 x 6300) and the clip of its graphic state.
TEST(BorzanDrawRaster, DrawsWhatThePageAndTheClipLeaveVisible) {
  struct Case {
    const char* name;
    GRectangle destination;
    GClip* clip;
    // The placement; empty when nothing is drawn.
    std::vector<uint32_t> image;
  };
  const GRectangle inside = Rect(100, 100, 140, 120);
  const Case cases[] = {
      {"inside_the_page", inside, nullptr, {100, 100, 40, 20, 20, 10}},
      {"beyond_the_printable_area", Rect(4900, 100, 4940, 120), nullptr, {}},
      // The visible 20 units are 10 source pixels.
      {"cut_by_the_page_edge", Rect(4780, 100, 4820, 120), nullptr, {4780, 100, 20, 20, 10, 10}},
      // Rounded out to whole source pixels: from (5, 2) on, which lands at
      // (110, 104).
      {"cut_by_the_clip",
       inside,
       new GClipToSingleRectangle(Rect(110, 105, 200, 200), GClip::kInside, 0, 177),
       {110, 104, 30, 16, 15, 8}},
      {"an_outside_clip_is_no_limit",
       inside,
       new GClipToSingleRectangle(Rect(110, 105, 200, 200), GClip::kOutside, 0, 177),
       {100, 100, 40, 20, 20, 10}},
      {"clip_beside_the_image", inside, new GClipToSingleRectangle(Rect(0, 0, 50, 50), GClip::kInside, 0, 177), {}},
      {"clip_off_the_page", inside, new GClipToSingleRectangle(Rect(5000, 0, 5050, 50), GClip::kInside, 0, 177), {}},
  };
  const GBitmap bitmap = MakeBitmap(20, 10, 24, ColourPattern);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadResult result = RunJob({}, {{kGreyKey, 0}}, [&](Job& job) {
      auto* bundle = new GGraphicBundle;
      if (c.clip != nullptr) bundle->SetClip(c.clip);
      EXPECT_EQ(job.Process(new GRasterGraphic(bitmap, Rect(0, 0, 20, 10), c.destination, GBitmap(), bundle)), 0);
    });
    EXPECT_EQ(Placement(result), c.image);
  }
}

// Pen and brush go out again after an image: its colour space replaced
// theirs.
TEST(BorzanImages, MarkThePenAndBrushChanged) {
  RunJob({}, {}, [](Job& job) {
    auto* bundle = new GGraphicBundle;
    bundle->SetPen(new GPen(1, nullptr, GGraphicBundle::kPenKey));
    bundle->SetBrush(new GBrush(nullptr, GGraphicBundle::kBrushKey));
    EXPECT_EQ(job.Process(new GRasterGraphic(GBitmap(), Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), GBitmap(), bundle)), 0);
    GState* graphicState = job.Generator().FindStateFor(GPeripheral::kGraphicStateKey);
    ASSERT_NE(graphicState, nullptr);
    auto* pen = dynamic_cast<GAttribute*>(graphicState->FindByKey(GGraphicBundle::kPenKey));
    auto* brush = dynamic_cast<GAttribute*>(graphicState->FindByKey(GGraphicBundle::kBrushKey));
    ASSERT_NE(pen, nullptr);
    ASSERT_NE(brush, nullptr);
    pen->SetChangedFlag(0);
    brush->SetChangedFlag(0);
    ASSERT_TRUE(
        job.Generator().DrawImage(MakeBitmap(4, 4, 8, Pattern), Rect(0, 0, 4, 4), Rect(0, 0, 4, 4), nullptr, false, 0));
    EXPECT_EQ(pen->ChangedFlag(), 1);
    EXPECT_EQ(brush->ChangedFlag(), 1);
  });
}

// An image whose rows are stored LZW-packed (a 32-bit size, low byte first,
// and the LZW stream) goes out as the same image unpacked; data that do
// not unpack, or claim more than the image holds, go out as they are.
TEST(BorzanImages, LzwPackedBitmapsAreUnpackedFirst) {
  const int width = 40;
  const int height = 12;
  const GBitmap plain = MakeBitmap(width, height, 8, Pattern, 256);
  const Bytes rows(plain.GetData(), plain.GetData() + plain.GetDataSize());
  Bytes lzw(rows.size() * 2 + 16);
  GMemoryByteChannel in(rows.data(), static_cast<uint32_t>(rows.size()));
  GMemoryByteChannel out(lzw.data(), static_cast<uint32_t>(lzw.size()), GMemoryByteChannel::kForWriting);
  ASSERT_TRUE(GLzwCodec().Encode(in, out));
  lzw.resize(out.WrittenSize());
  const auto packed = [&](uint32_t size, size_t keep) {
    Bytes data = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size >> 16),
                  static_cast<uint8_t>(size >> 24)};
    data.insert(data.end(), lzw.begin(), lzw.begin() + static_cast<std::ptrdiff_t>(std::min(keep, lzw.size())));
    GBitmapDescription description;
    description.data = data.data();
    description.dataSize = static_cast<uint32_t>(data.size());
    description.bounds = Rect(0, 0, width, height);
    description.bitsPerComponent = 8;
    description.compression = 3;
    description.palette = new GPaletteTable(*plain.GetPalette());
    return GBitmap(description);
  };
  const auto firstImageRows = [&](const GBitmap& bitmap) {
    const ReadResult result = RunJob({}, {{kGreyKey, 0}}, [&](Job& job) {
      EXPECT_TRUE(
          job.Generator().DrawImage(bitmap, Rect(0, 0, width, height), Rect(0, 0, width, height), nullptr, false, 0));
    });
    const std::vector<Image> images = ImagesOf(result);
    return images.size() == 1 ? xl_images::DecodeRows(images[0]) : std::nullopt;
  };
  const auto expected = firstImageRows(plain);
  ASSERT_TRUE(expected.has_value());
  const auto size = static_cast<uint32_t>(rows.size());
  EXPECT_EQ(firstImageRows(packed(size, lzw.size())), expected);
  EXPECT_NE(firstImageRows(packed(size, lzw.size() / 2)), expected);
  EXPECT_NE(firstImageRows(packed(size * 64, lzw.size())), expected);
}

// A smooth colour image: the photographic test passes it.
uint32_t Smooth(int x, int y) {
  const auto red = static_cast<uint32_t>(128 + 100 * std::sin(x / 10.0));
  const auto green = static_cast<uint32_t>(128 + 100 * std::cos(y / 12.0));
  const auto blue = static_cast<uint32_t>((x + y) / 2 & 0xFF);
  return red << 16 | green << 8 | blue;
}
// Flat colour squares with sharp edges: it fails.
uint32_t Squares(int x, int y) { return (x / 4 + y / 4) % 2 != 0 ? 0xFF00FF : 0x00FF00; }

constexpr int kPhotoWidth = 120;
constexpr int kPhotoHeight = 96;

// The image of the function drawn at twice its size in a job of the
// settings on a printer of the class; answers the image as read back.
std::optional<Image> PhotoJob(bool class21, const std::vector<xl_job::Setting>& settings, const PixelFunction& pixel) {
  const GBitmap bitmap = MakeBitmap(kPhotoWidth, kPhotoHeight, 24, pixel);
  const ReadResult result = RunJob({class21}, settings, [&](Job& job) {
    EXPECT_TRUE(job.Generator().DrawImage(bitmap, Rect(0, 0, kPhotoWidth, kPhotoHeight),
                                          Rect(300, 300, 300 + 2 * kPhotoWidth, 300 + 2 * kPhotoHeight), nullptr, false,
                                          0));
  });
  const std::vector<Image> images = ImagesOf(result);
  if (images.size() != 1) return std::nullopt;
  return images[0];
}

// Treatment 512 sends photographs of colour jobs as one JPEG block and
// other images delta-row packed.
TEST(BorzanJpeg, OnlyColourPhotographsGoOutAsJpeg) {
  struct Case {
    const char* name;
    bool class21;
    std::vector<xl_job::Setting> settings;
    PixelFunction pixel;
    uint8_t compressMode;
  };
  const Case cases[] = {
      {"smooth_photograph", true, {{kGreyKey, 0}, {kTreatmentKey, 512}}, Smooth, 2},
      {"sharp_edged_squares", true, {{kGreyKey, 0}, {kTreatmentKey, 512}}, Squares, 3},
      {"photograph_in_a_grey_job", true, {{kGreyKey, 1}, {kTreatmentKey, 512}}, Smooth, 3},
      {"photograph_on_class_20", false, {{kGreyKey, 0}, {kTreatmentKey, 512}}, Smooth, 1},
      // Photo override 2 chooses treatment 512 and takes every large
      // colour image for a photograph.
      {"override_takes_squares_for_a_photograph", true, {{kGreyKey, 0}, {405, 2}}, Squares, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Image> image = PhotoJob(c.class21, c.settings, c.pixel);
    ASSERT_TRUE(image.has_value());
    for (const xl_images::Block& block : image->blocks) EXPECT_EQ(block.compressMode, c.compressMode);
    if (c.compressMode == 2) {
      ASSERT_EQ(image->blocks.size(), 1u);
      EXPECT_EQ(image->blocks[0].startLine, 0u);
      EXPECT_EQ(image->blocks[0].height, static_cast<uint32_t>(kPhotoHeight));
    }
  }
}

// The JPEG data of a photograph, taken out of the stream and decoded by
// djpeg, come within 40 dB PSNR of the image.
TEST(BorzanJpeg, PayloadDecodesWithDjpegCloseToTheSource) {
  if (std::system("djpeg -version > /dev/null 2>&1 < /dev/null") != 0) GTEST_SKIP() << "djpeg is not installed";
  const std::optional<Image> image = PhotoJob(true, {{kGreyKey, 0}, {kTreatmentKey, 512}}, Smooth);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->blocks.size(), 1u);
  ASSERT_EQ(image->blocks[0].compressMode, 2);
  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  const std::filesystem::path jpeg = directory / ("borzan_raster_" + std::to_string(std::random_device()()) + ".jpg");
  const std::filesystem::path ppm = std::filesystem::path(jpeg).replace_extension(".ppm");
  {
    std::ofstream file(jpeg, std::ios::binary);
    file.write(reinterpret_cast<const char*>(image->blocks[0].data.data()),
               static_cast<std::streamsize>(image->blocks[0].data.size()));
  }
  const std::string command = "djpeg -pnm -outfile '" + ppm.string() + "' '" + jpeg.string() + "'";
  const int status = std::system(command.c_str());
  std::ifstream file(ppm, std::ios::binary);
  std::string magic;
  int width = 0;
  int height = 0;
  int maximum = 0;
  file >> magic >> width >> height >> maximum;
  file.get();
  Bytes decoded(static_cast<size_t>(width) * height * 3);
  file.read(reinterpret_cast<char*>(decoded.data()), static_cast<std::streamsize>(decoded.size()));
  const bool complete = file.good();
  file.close();
  std::filesystem::remove(jpeg);
  std::filesystem::remove(ppm);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(magic, "P6");
  ASSERT_EQ(width, kPhotoWidth);
  ASSERT_EQ(height, kPhotoHeight);
  ASSERT_EQ(maximum, 255);
  ASSERT_TRUE(complete);
  double squares = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = Smooth(x, y);
      for (int component = 0; component < 3; ++component) {
        const double difference = static_cast<double>(pixel >> (16 - 8 * component) & 0xFF) -
                                  decoded[(static_cast<size_t>(y) * width + x) * 3 + component];
        squares += difference * difference;
      }
    }
  }
  const double meanSquare = squares / (static_cast<double>(width) * height * 3);
  const double psnr = meanSquare == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / meanSquare);
  EXPECT_GE(psnr, 40.0);
}

// Random images, source parts (also beyond the image), destinations (also
// off the page) and clips, in colour and grey jobs with every treatment:
// every stream reads strictly and every image decodes, its blocks following
// each other from line 0 and covering at most its height.
TEST(BorzanImages, RandomRectanglesWriteWellFormedImages) {
  std::mt19937 random(20261211);
  const auto number = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  const auto rectangle = [&](int low, int high) {
    const int left = number(low, high);
    const int top = number(low, high);
    return Rect(left, top, left + number(-2, 90), top + number(-2, 90));
  };
  const uint16_t treatments[] = {0, 1, 2, 4, 8, 16, 512};
  const uint8_t depths[] = {1, 4, 8, 24};
  for (int round = 0; round < 24; ++round) {
    const bool colour = number(0, 1) == 1;
    const uint16_t treatment = treatments[number(0, 6)];
    std::vector<uint32_t> heights;
    const ReadResult result = RunJob(
        {number(0, 1) == 1, number(0, 1) == 1},
        {{kGreyKey, GreySetting(colour)},
         {kTreatmentKey, static_cast<int16_t>(treatment)},
         {405, static_cast<int16_t>(number(0, 3) == 0 ? 2 : 5)}},
        [&](Job& job) {
          for (int i = 0; i < 12; ++i) {
            const uint8_t bits = depths[number(0, 3)];
            const uint32_t palette = bits < 24 && number(0, 2) != 0 ? 1u << bits : 0;
            const GBitmap bitmap =
                MakeBitmap(number(1, 60), number(1, 60), bits, bits == 24 ? Smooth : Pattern, palette);
            auto* bundle = new GGraphicBundle;
            switch (number(0, 3)) {
              case 0:
                bundle->SetClip(new GClipToSingleRectangle(rectangle(-50, 150), GClip::kInside, 0, 177));
                break;
              case 1:
                bundle->SetClip(new GClipToSingleRectangle(rectangle(-50, 150), GClip::kOutside, 0, 177));
                break;
              case 2:
                bundle->SetClip(new GClipToPage(177));
                break;
              default:
                break;
            }
            EXPECT_EQ(
                job.Process(new GRasterGraphic(bitmap, rectangle(-10, 40), rectangle(-100, 4850), GBitmap(), bundle)),
                0);
            GClipToSingleRectangle clip(rectangle(-50, 150), GClip::kInside, 0, 177);
            job.Generator().DrawImage(bitmap, rectangle(-10, 40), rectangle(-100, 200),
                                      number(0, 1) == 1 ? &clip : nullptr, number(0, 3) == 0, 2);
          }
        });
    ASSERT_TRUE(result.Ok());
    for (const Image& image : ImagesOf(result)) {
      uint32_t covered = 0;
      for (const xl_images::Block& block : image.blocks) covered += block.height;
      EXPECT_LE(covered, image.sourceHeight);
      EXPECT_GT(image.sourceWidth, 0u);
      if (!image.blocks.empty() && image.blocks[0].compressMode == 2) continue;
      const auto rows = xl_images::DecodeRows(image);
      ASSERT_TRUE(rows.has_value()) << "round " << round;
      EXPECT_EQ(rows->size(), covered);
    }
  }
}

// Only the part of the source that lies on the image is read; the
// destination shrinks with it.
TEST(BorzanImages, ASourceBeyondTheImageIsCutToIt) {
  struct Case {
    const char* name;
    GRectangle source;
    // The placement; empty when nothing is drawn.
    std::vector<uint32_t> image;
  };
  const Case cases[] = {
      {"on_the_image", Rect(0, 0, 10, 10), {100, 100, 40, 20, 10, 10}},
      {"half_left_of_it", Rect(-10, 0, 10, 10), {120, 100, 20, 20, 10, 10}},
      {"below_it", Rect(0, 5, 10, 15), {100, 100, 40, 10, 10, 5}},
      {"beside_it", Rect(10, 0, 20, 10), {}},
  };
  const GBitmap bitmap = MakeBitmap(10, 10, 24, ColourPattern);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadResult result = RunJob({}, {{kGreyKey, 0}}, [&](Job& job) {
      EXPECT_EQ(job.Generator().DrawImage(bitmap, c.source, Rect(100, 100, 140, 120), nullptr, false, 0),
                !c.image.empty());
    });
    EXPECT_EQ(Placement(result), c.image);
    for (const Image& image : ImagesOf(result)) EXPECT_EQ(xl_images::DecodeRows(image)->size(), image.sourceHeight);
  }
}

// An image that fills the stream's buffer flushes it; a channel that
// refuses the bytes is reported by the image that caused the flush, once.
TEST(BorzanDrawRaster, AnswersTheStatusOfAFailedFlushOnce) {
  Job job(Configuration({}));
  GFaultyOutputChannel channel(RWCString("faulty"), {.goodWrites = 0});
  ASSERT_EQ(channel.Open(RWWString()), 0);
  ASSERT_EQ(job.Start({{kGreyKey, 0}}, nullptr, &channel), 0);
  const GBitmap bitmap = MakeBitmap(100, 100, 24, ColourPattern);
  const auto draw = [&](Job& j) {
    return j.Process(new GRasterGraphic(bitmap, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100), GBitmap(), nullptr));
  };
  PrintPage(job, [&](Job& j) {
    EXPECT_EQ(draw(j), GOutputChannel::kWriteFailed);
    EXPECT_EQ(draw(j), 0);
  });
  EXPECT_EQ(job.End(), 0);
  EXPECT_TRUE(channel.Bytes().empty());
}
