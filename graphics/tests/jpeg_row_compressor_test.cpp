#include "graphics/jpeg_row_compressor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csetjmp>
#include <optional>
#include <thread>
#include <vector>

#include "graphics/jpeg_destination.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Image {
  int width = 0;
  int height = 0;
  int components = 0;
  Bytes pixels;

  Bytes Row(int y) const {
    const auto begin = pixels.begin() + static_cast<ptrdiff_t>(y) * width * components;
    return Bytes(begin, begin + width * components);
  }
};

// Smooth gradients with a fine texture on top, like a photograph.
Image Photograph(int width, int height, int components) {
  Image image{width, height, components, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double texture = 12.0 * std::sin(x * 0.9) * std::sin(y * 0.7);
      const double channels[] = {40.0 + 170.0 * x / width + texture, 30.0 + 180.0 * y / height + texture,
                                 128.0 + 60.0 * std::sin((x + y) / 25.0) + texture};
      for (int c = 0; c < components; ++c) image.pixels.push_back(static_cast<uint8_t>(std::lround(channels[c])));
    }
  }
  return image;
}

Image Noise(int width, int height) {
  Image image{width, height, 3, Bytes(static_cast<size_t>(width) * height * 3)};
  uint32_t state = 1;
  for (uint8_t& b : image.pixels) {
    state = state * 1103515245u + 12345u;
    b = static_cast<uint8_t>(state >> 16);
  }
  return image;
}

std::vector<MemoryRowSource::Row> RowsOf(const Image& image) {
  std::vector<MemoryRowSource::Row> rows;
  for (int y = 0; y < image.height; ++y) rows.push_back({image.Row(y)});
  return rows;
}

MemoryRowSource SourceOf(const Image& image) {
  const GRectangle bounds{0, 0, static_cast<int16_t>(image.width), static_cast<int16_t>(image.height)};
  return MemoryRowSource(bounds, static_cast<uint8_t>(image.components * 8), RowsOf(image));
}

struct DecodeErrors {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

[[noreturn]] void LeaveDecoding(j_common_ptr common) {
  std::longjmp(reinterpret_cast<DecodeErrors*>(common->err)->recovery, 1);
}

// Decodes with the library's decompressor; nothing for data it refuses.
std::optional<Image> Decode(const Bytes& jpeg) {
  static jpeg_decompress_struct decompressor;
  static DecodeErrors errors;
  static Image image;
  image = Image{};
  decompressor.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = LeaveDecoding;
  if (setjmp(errors.recovery) != 0) {
    jpeg_destroy_decompress(&decompressor);
    return std::nullopt;
  }
  jpeg_create_decompress(&decompressor);
  jpeg_mem_src(&decompressor, jpeg.data(), jpeg.size());
  jpeg_read_header(&decompressor, TRUE);
  jpeg_start_decompress(&decompressor);
  image.width = static_cast<int>(decompressor.output_width);
  image.height = static_cast<int>(decompressor.output_height);
  image.components = decompressor.output_components;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height * image.components);
  while (decompressor.output_scanline < decompressor.output_height) {
    JSAMPROW line =
        image.pixels.data() + static_cast<size_t>(decompressor.output_scanline) * image.width * image.components;
    jpeg_read_scanlines(&decompressor, &line, 1);
  }
  jpeg_finish_decompress(&decompressor);
  jpeg_destroy_decompress(&decompressor);
  return image;
}

double Psnr(const Image& a, const Image& b) {
  double squares = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    const double difference = static_cast<double>(a.pixels[i]) - static_cast<double>(b.pixels[i]);
    squares += difference * difference;
  }
  const double meanSquare = squares / static_cast<double>(a.pixels.size());
  return meanSquare == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / meanSquare);
}

TEST(GJpegRowCompressor, CompressesTheWholeImageCloseToTheInput) {
  for (int components : {3, 1}) {
    SCOPED_TRACE(components == 3 ? "rgb" : "grey");
    const Image input = Photograph(160, 120, components);
    MemoryRowSource source = SourceOf(input);
    GJpegRowCompressor stage(4, 0);
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    EXPECT_EQ(stage.GetMaxRowBytes(), 0u);
    Bytes output(input.pixels.size());
    stage.SetOutputBuffer(output.data(), static_cast<uint32_t>(output.size()));

    const std::vector<ReadRowResult> results = ReadRows(stage, 2);
    EXPECT_EQ(results[0].answer, GRowFilter::kRowDelivered);
    EXPECT_EQ(results[0].row, 120);
    EXPECT_EQ(results[0].rows, 120);
    EXPECT_EQ(results[0].repeat, 1);
    EXPECT_EQ(source.Delivered(), 120u);
    // The image is done: later calls deliver nothing and leave the output.
    EXPECT_EQ(results[1].answer, GRowFilter::kRowDelivered);
    EXPECT_TRUE(results[1].bytes.empty());

    const uint32_t size = stage.GetOutputSize();
    ASSERT_GT(size, 0u);
    output.resize(size);
    const std::optional<Image> decoded = Decode(output);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->width, input.width);
    ASSERT_EQ(decoded->height, input.height);
    ASSERT_EQ(decoded->components, components);
    EXPECT_GT(Psnr(*decoded, input), 40.0);
  }
}

TEST(GJpegRowCompressor, WritesARepeatedRowAsOftenAsItStands) {
  const Image input = Photograph(64, 32, 3);
  std::vector<MemoryRowSource::Row> rows;
  for (int y = 0; y < input.height; y += 2) rows.push_back({input.Row(y), 2});
  MemoryRowSource source({0, 0, 64, 32}, 24, rows);
  GJpegRowCompressor stage(4, 0);
  stage.SetSource(&source);
  ASSERT_EQ(stage.Open(), 1);
  Bytes output(64 * 32 * 3 + 4096);
  stage.SetOutputBuffer(output.data(), static_cast<uint32_t>(output.size()));
  EXPECT_EQ(ReadRows(stage, 1)[0].answer, GRowFilter::kRowDelivered);

  output.resize(stage.GetOutputSize());
  const std::optional<Image> decoded = Decode(output);
  ASSERT_TRUE(decoded.has_value());
  Image expected = input;
  for (int y = 1; y < input.height; y += 2) {
    const Bytes above = input.Row(y - 1);
    std::copy(above.begin(), above.end(), expected.pixels.begin() + static_cast<ptrdiff_t>(y) * 64 * 3);
  }
  EXPECT_GT(Psnr(*decoded, expected), 40.0);
}

TEST(GJpegRowCompressor, AnswersFailureAndKeepsNoPartialImage) {
  struct Case {
    const char* name;
    GRectangle bounds;
    uint8_t bitsPerPixel;
    int rowsGiven;
    uint32_t outputCapacity;  // 0: no output area set
  };
  const Case cases[] = {
      {"output_area_too_small", {0, 0, 64, 48}, 24, 48, 700},
      {"no_output_area", {0, 0, 64, 48}, 24, 48, 0},
      {"source_ends_before_the_image", {0, 0, 64, 48}, 24, 20, 64 * 48 * 3},
      {"depth_the_library_refuses", {0, 0, 64, 48}, 16, 48, 64 * 48 * 3},
      {"empty_image", {0, 0, 0, 48}, 24, 48, 64 * 48 * 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Image input = Noise(64, 48);
    std::vector<MemoryRowSource::Row> rows = RowsOf(input);
    rows.resize(c.rowsGiven);
    MemoryRowSource source(c.bounds, c.bitsPerPixel, rows);
    GJpegRowCompressor stage(4, 0);
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    Bytes output(c.outputCapacity + 1, 0xA5);
    if (c.outputCapacity > 0) stage.SetOutputBuffer(output.data(), c.outputCapacity);

    const std::vector<ReadRowResult> results = ReadRows(stage, 2);
    EXPECT_EQ(results[0].answer, GRowFilter::kRowFailed);
    EXPECT_TRUE(results[0].bytes.empty());
    EXPECT_EQ(results[0].repeat, 1);
    EXPECT_EQ(results[0].rows, 1);
    EXPECT_EQ(results[1].answer, GRowFilter::kRowFailed);
    EXPECT_EQ(stage.GetOutputSize(), 0u);
    EXPECT_EQ(output.back(), 0xA5) << "wrote past the output area";
  }
}

// Compresses the image with a compressor of its own; answers the JPEG bytes,
// empty when the compression failed.
Bytes CompressAlone(const Image& image) {
  MemoryRowSource source = SourceOf(image);
  GJpegRowCompressor stage(1, 0);
  stage.SetSource(&source);
  Bytes output(image.pixels.size() + 4096);
  stage.SetOutputBuffer(output.data(), static_cast<uint32_t>(output.size()));
  if (stage.Open() != 1 || ReadRows(stage, 1)[0].answer != GRowFilter::kRowDelivered) return {};
  output.resize(stage.GetOutputSize());
  return output;
}

TEST(GJpegRowCompressor, ThreadsAndInterleavedCompressorsKeepTheirOwnOutput) {
  const Image first = Photograph(96, 64, 3);
  const Image second = Photograph(80, 48, 1);
  const Bytes expectedFirst = CompressAlone(first);
  const Bytes expectedSecond = CompressAlone(second);
  ASSERT_FALSE(expectedFirst.empty());
  ASSERT_FALSE(expectedSecond.empty());

  // A second compressor made while the first is set up takes nothing from it.
  MemoryRowSource firstSource = SourceOf(first);
  GJpegRowCompressor firstStage(1, 0);
  firstStage.SetSource(&firstSource);
  Bytes firstOutput(first.pixels.size() + 4096);
  firstStage.SetOutputBuffer(firstOutput.data(), static_cast<uint32_t>(firstOutput.size()));
  ASSERT_EQ(firstStage.Open(), 1);
  EXPECT_EQ(CompressAlone(second), expectedSecond);
  const ReadRowResult firstResult = ReadRows(firstStage, 1)[0];
  EXPECT_EQ(firstResult.answer, GRowFilter::kRowDelivered);
  firstOutput.resize(firstStage.GetOutputSize());
  EXPECT_EQ(firstOutput, expectedFirst);

  // Two at once on two threads, several times over.
  for (int round = 0; round < 4; ++round) {
    Bytes fromFirst;
    Bytes fromSecond;
    std::thread one([&] { fromFirst = CompressAlone(first); });
    std::thread two([&] { fromSecond = CompressAlone(second); });
    one.join();
    two.join();
    EXPECT_EQ(fromFirst, expectedFirst) << "round " << round;
    EXPECT_EQ(fromSecond, expectedSecond) << "round " << round;
  }
}

int16_t RecordBlock(void* context, const uint8_t* bytes, uint32_t count) {
  static_cast<std::vector<Bytes>*>(context)->emplace_back(bytes, bytes + count);
  return 0;
}

TEST(SetJpegDestination, HandsOutFullBlocksAndOneShorterLastBlock) {
  const Image input = Noise(200, 150);
  std::vector<Bytes> handedBlocks;
  jpeg_compress_struct compressor;
  jpeg_error_mgr errors;
  compressor.err = jpeg_std_error(&errors);
  jpeg_create_compress(&compressor);
  compressor.image_width = 200;
  compressor.image_height = 150;
  compressor.input_components = 3;
  compressor.in_color_space = JCS_RGB;
  jpeg_set_defaults(&compressor);
  jpeg_set_quality(&compressor, 95, TRUE);
  SetJpegDestination(&compressor, 7, RecordBlock, &handedBlocks);
  jpeg_start_compress(&compressor, TRUE);
  for (int y = 0; y < 150; ++y) {
    Bytes row = input.Row(y);
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&compressor, &line, 1);
  }
  jpeg_finish_compress(&compressor);
  jpeg_destroy_compress(&compressor);

  ASSERT_GE(handedBlocks.size(), 3u);
  Bytes whole;
  for (size_t i = 0; i < handedBlocks.size(); ++i) {
    if (i + 1 < handedBlocks.size()) {
      EXPECT_EQ(handedBlocks[i].size(), 4096u) << "block " << i;
    }
    whole.insert(whole.end(), handedBlocks[i].begin(), handedBlocks[i].end());
  }
  EXPECT_GT(handedBlocks.back().size(), 0u);
  EXPECT_LT(handedBlocks.back().size(), 4096u);
  const std::optional<Image> decoded = Decode(whole);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->width, 200);
  EXPECT_EQ(decoded->height, 150);
}

}  // namespace
