// The image loaders against files of every supported kind: BMP files whose
// colours an outside decoder gave, PNM files written here, JPEG files
// encoded here; and the malformed headers and short data that must end in
// a message naming the file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "foundation/testing/scratch_files.h"
#include "graphics/testing/bmp_fixtures.h"
#include "render_host/image_loader.h"
#include "render_host/sample/synthetic_photo.h"
#include "render_host/tests/rgb_pixels.h"

namespace {

struct MalformedCase {
  const char* name;
  std::string bytes;
  // A part of the message after "<name>: ".
  const char* reason;
};

void ExpectFailures(GLoadedImage (*load)(std::span<const uint8_t>, std::string_view),
                    const std::vector<MalformedCase>& cases) {
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const GLoadedImage image = load(Bytes(c.bytes), "in.img");
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_TRUE(image.bitmap.IsNull());
    EXPECT_EQ(image.error.rfind("in.img: ", 0), 0u) << image.error;
    EXPECT_NE(image.error.find(c.reason), std::string::npos) << image.error;
  }
}

const GBmpFixture& FindFixture(std::string_view name) {
  for (const GBmpFixture& fixture : kBmpFixtures) {
    if (fixture.name == name) return fixture;
  }
  ADD_FAILURE() << "no fixture " << name;
  return kBmpFixtures[0];
}

std::string Fixture(std::string_view name) { return std::string(FindFixture(name).file); }

std::string Le32(uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

std::string Patched(std::string file, size_t at, std::string_view bytes) {
  file.replace(at, bytes.size(), bytes);
  return file;
}

TEST(BmpLoader, ReadsTheColoursAnOutsideDecoderGives) {
  for (const GBmpFixture& fixture : kBmpFixtures) {
    SCOPED_TRACE(fixture.name);
    const GLoadedImage image = LoadBmp(Bytes(fixture.file), fixture.name);
    ASSERT_TRUE(image.IsLoaded()) << image.error;
    // Five-bit components are scaled a little differently by the other
    // decoder.
    const int tolerance = std::string_view(fixture.name) == "bitfields16" ? 1 : 0;
    EXPECT_LE(LargestDifference(RgbPixels(image.bitmap), fixture.rows), tolerance);
  }
}

TEST(BmpLoader, ANegativeHeightReadsTheRowsTopDown) {
  const std::string file = Fixture("plain24");
  const auto height = static_cast<int32_t>(BmpField(file, 22));
  const GLoadedImage image = LoadBmp(Bytes(Patched(file, 22, Le32(static_cast<uint32_t>(-height)))), "top_down");
  ASSERT_TRUE(image.IsLoaded()) << image.error;
  const std::string_view rows = FindFixture("plain24").rows;
  const std::string pixels = RgbPixels(image.bitmap);
  const size_t rowBytes = pixels.size() / static_cast<size_t>(height);
  for (int32_t y = 0; y < height; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(pixels.substr(y * rowBytes, rowBytes), rows.substr((height - 1 - y) * rowBytes, rowBytes));
  }
}

TEST(BmpLoader, ReadsTheOldCoreHeaderWithThreeByteColours) {
  // 2 x 1 pixels, 1 bit each: a red and a blue entry, pixels 0 and 1.
  const std::string file = std::string("BM") + Le32(36) + Le32(0) + Le32(32) +
                           std::string("\x0C\0\0\0\x02\0\x01\0\x01\0\x01\0", 12) + std::string("\0\0\xFF\xFF\0\0", 6) +
                           std::string("\x40\0\0\0", 4);
  const GLoadedImage image = LoadBmp(Bytes(file), "core");
  ASSERT_TRUE(image.IsLoaded()) << image.error;
  EXPECT_EQ(RgbPixels(image.bitmap), std::string("\xFF\0\0\0\0\xFF", 6));
}

TEST(BmpLoader, RefusesMalformedFilesWithAReason) {
  const std::string plain24 = Fixture("plain24");
  const std::string plain8 = Fixture("plain8_top_down");
  const std::string rle8 = Fixture("rle8");
  ExpectFailures(LoadBmp,
                 {
                     {"cut_in_file_header", plain24.substr(0, 10), "ends inside its header"},
                     {"cut_in_info_header", plain24.substr(0, 30), "ends inside its header"},
                     {"unknown_header_size", Patched(plain24, 14, Le32(20)), "unknown info header"},
                     {"zero_width", Patched(plain24, 18, Le32(0)), "no pixels"},
                     {"zero_height", Patched(plain24, 22, Le32(0)), "no pixels"},
                     {"side_too_long", Patched(plain24, 18, Le32(40000)), "at most 32767"},
                     {"too_many_bytes", Patched(Patched(plain24, 18, Le32(32000)), 22, Le32(32000)), "would take"},
                     {"depth_of_7", Patched(plain24, 28, "\x07\0"), "unsupported depth"},
                     {"two_planes", Patched(plain24, 26, "\x02\0"), "plane count"},
                     {"embedded_jpeg", Patched(plain24, 30, Le32(4)), "unsupported compression"},
                     {"run_length_at_24_bits", Patched(plain24, 30, Le32(1)), "unsupported compression"},
                     {"run_length_top_down", Patched(rle8, 22, Le32(static_cast<uint32_t>(-4))), "top-down"},
                     {"colour_table_too_long", Patched(plain8, 46, Le32(300)), "at most 256"},
                     {"cut_in_colour_table", plain8.substr(0, 60), "inside its colour table"},
                     {"pixels_beyond_the_end", Patched(plain24, 10, Le32(100000)), "beyond the end"},
                     {"short_pixel_data", plain24.substr(0, plain24.size() - 5), "are short"},
                 });
}

struct PnmCase {
  const char* name;
  std::string file;
  std::string rgb;
  uint32_t bitsPerPixel;
};

TEST(PnmLoader, ReadsEveryKindAndScalesSamplesTo255) {
  const std::string b("\0\0\0", 3);
  const std::string w("\xFF\xFF\xFF", 3);
  const PnmCase cases[] = {
      {"text_bits_touching_with_comment", "P1\n# a comment\n2 2\n10\n01\n", b + w + w + b, 1},
      {"binary_bits_padded_row", std::string("P4 3 2\n\xA0\x40", 9), b + w + b + w + b + w, 1},
      {"text_grey_largest_15", "P2 3 1 15  0 15 5", b + w + std::string(3, '\x55'), 8},
      {"binary_grey", std::string("P5\n2 1\n255\n\x10\xF0", 13), std::string("\x10\x10\x10\xF0\xF0\xF0"), 8},
      {"binary_grey_16_bit", std::string("P5 2 1 65535\n\xFF\xFF\x80\x00", 17), w + std::string(3, '\x80'), 8},
      {"text_colour", "P3 1 1 255 10 20 30", "\x0A\x14\x1E", 24},
      {"binary_colour", std::string("P6 2 1 255\n\x01\x02\x03\xFD\xFE\xFF", 17), "\x01\x02\x03\xFD\xFE\xFF", 24},
  };
  for (const PnmCase& c : cases) {
    SCOPED_TRACE(c.name);
    const GLoadedImage image = LoadPnm(Bytes(c.file), c.name);
    ASSERT_TRUE(image.IsLoaded()) << image.error;
    EXPECT_EQ(image.bitmap.GetBitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(RgbPixels(image.bitmap), c.rgb);
  }
}

TEST(PnmLoader, RefusesMalformedFilesWithAReason) {
  ExpectFailures(LoadPnm, {
                              {"no_size", "P6\n", "no width and height"},
                              {"size_not_a_number", "P6 two 2 255\n", "no width and height"},
                              {"no_largest_value", "P5 1 1", "no largest sample value"},
                              {"largest_value_0", std::string("P5 1 1 0\n\0", 10), "not within 1..65535"},
                              {"largest_value_70000", "P5 1 1 70000\n\x01\x01", "not within 1..65535"},
                              {"zero_height", "P5 2 0 255\n", "no pixels"},
                              {"side_too_long", "P5 40000 1 255\n", "at most 32767"},
                              {"header_runs_into_data", "P5 1 1 255", "does not end in whitespace"},
                              {"sample_above_largest", "P2 1 1 10 11", "above the largest value"},
                              {"short_binary_colour", "P6 2 2 255\n12345", "are short"},
                              {"short_binary_16_bit", "P5 2 1 1000\n\x01\x02\x03", "are short"},
                              {"short_text_bits", "P1 4 4 0 1", "are short"},
                              {"missing_text_sample", "P3 2 1 255 1 2 3 4 x y", "sample 4 is missing"},
                              {"bit_not_0_or_1", "P1 2 1 0 2", "not 0 or 1"},
                              {"not_pnm", "P7 1 1", "not a PNM image"},
                          });
}

// A smooth picture, which JPEG keeps closely.
std::string Gradient(uint32_t width, uint32_t height, int components) {
  std::string pixels;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const int values[] = {static_cast<int>(x * 255 / width), static_cast<int>(y * 255 / height),
                            static_cast<int>((x + y) * 127 / (width + height))};
      for (int c = 0; c < components; ++c) pixels.push_back(static_cast<char>(values[c]));
    }
  }
  return pixels;
}

TEST(JpegLoader, ReadsColourAndGreyImagesBackWithinTheCodecsLoss) {
  for (const int components : {3, 1}) {
    SCOPED_TRACE(components);
    const std::string pixels = Gradient(40, 24, components);
    const std::string file = EncodeJpeg(pixels, 40, 24, components, 95);
    const GLoadedImage image = LoadJpeg(Bytes(file), "gradient.jpg");
    ASSERT_TRUE(image.IsLoaded()) << image.error;
    EXPECT_EQ(image.bitmap.GetBounds(), (GRectangle{0, 0, 40, 24}));
    EXPECT_EQ(image.bitmap.GetBitsPerPixel(), 8u * components);
    EXPECT_EQ(image.bitmap.GetPalette(), nullptr);
    std::string rgb = pixels;
    if (components == 1) {
      rgb.clear();
      for (char grey : pixels) rgb.append(3, grey);
    }
    EXPECT_LE(LargestDifference(RgbPixels(image.bitmap), rgb), 10);
  }
}

// The offset of the frame header's marker (baseline) in a JPEG file.
size_t FrameHeader(const std::string& file) { return file.find("\xFF\xC0"); }

TEST(JpegLoader, RefusesBrokenAndUnsupportedFilesWithAReason) {
  const std::string good = EncodeJpeg(SyntheticPhotoPixels(128, 96), 128, 96, 3, 90);
  const size_t frame = FrameHeader(good);
  ASSERT_NE(frame, std::string::npos);
  ExpectFailures(
      LoadJpeg, {
                    {"cut_in_the_scan", good.substr(0, good.size() * 3 / 4), "incomplete image"},
                    {"cut_in_the_header", good.substr(0, 20), ""},
                    {"not_jpeg_after_the_marker", "\xFF\xD8\xFF\x01garbage", ""},
                    {"side_too_long", Patched(good, frame + 5, "\x9C\x40"), "at most 32767"},
                    {"zero_width", Patched(good, frame + 7, std::string("\0\0", 2)), ""},
                    {"cmyk", EncodeJpeg(std::string(8 * 8 * 4, '\x40'), 8, 8, 4, 90), "4 components are not supported"},
                });
}

TEST(ImageFile, ChoosesTheLoaderByTheFirstBytesAndNamesTheFileInFailures) {
  const ScratchDirectory directory;
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(directory.File(name), std::ios::binary) << bytes;
    return directory.File(name);
  };
  struct Case {
    const char* name;
    std::string bytes;
    uint32_t bitsPerPixel;
  };
  const Case loaded[] = {
      {"a.bmp", Fixture("plain4"), 4},
      {"a.pgm", "P2 1 1 255 7", 8},
      {"a.jpg", EncodeJpeg(Gradient(8, 8, 3), 8, 8, 3, 90), 24},
  };
  for (const Case& c : loaded) {
    SCOPED_TRACE(c.name);
    const GLoadedImage image = LoadImageFile(write(c.name, c.bytes));
    ASSERT_TRUE(image.IsLoaded()) << image.error;
    EXPECT_EQ(image.bitmap.GetBitsPerPixel(), c.bitsPerPixel);
  }

  const std::string gif = write("a.gif", "GIF89a....");
  const std::string missing = directory.File("missing.png");
  const std::string folder = directory.File("");
  const struct {
    std::string path;
    const char* reason;
  } failures[] = {
      {gif, "not a BMP, PNM or JPEG image"},
      {missing, "no such file"},
      {folder, "not a plain file"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.path);
    const GLoadedImage image = LoadImageFile(f.path);
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.error, f.path + ": " + f.reason);
  }
}

}  // namespace
