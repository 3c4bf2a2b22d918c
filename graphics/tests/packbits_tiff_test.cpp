// Checks the PackBits stage against libtiff's PackBits decoder: the packed
// rows are stored as the one strip of a greyscale TIFF and read back.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/packbits_row_compressor.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Decodes one PackBits strip of width x height bytes through a TIFF file.
Bytes DecodeWithLibtiff(const Bytes& strip, uint32_t width, uint32_t height) {
  const std::string path = testing::TempDir() + "packbits_tiff_test.tif";
  TIFF* out = TIFFOpen(path.c_str(), "w");
  if (out == nullptr) return {};
  TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
  TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, height);
  TIFFWriteRawStrip(out, 0, const_cast<uint8_t*>(strip.data()), static_cast<tmsize_t>(strip.size()));
  TIFFClose(out);

  Bytes decoded(size_t{width} * height);
  TIFF* in = TIFFOpen(path.c_str(), "r");
  if (in == nullptr) return {};
  const tmsize_t size = TIFFReadEncodedStrip(in, 0, decoded.data(), static_cast<tmsize_t>(decoded.size()));
  TIFFClose(in);
  std::remove(path.c_str());
  if (size != static_cast<tmsize_t>(decoded.size())) return {};
  return decoded;
}

TEST(GPackBitsRowCompressor, LibtiffDecodesTheRowsToTheInput) {
  constexpr uint32_t kWidth = 301;  // padded to 304 with multiple 4
  constexpr uint16_t kMultiple = 4;
  constexpr uint32_t kPadded = 304;
  std::vector<MemoryRowSource::Row> rows;
  uint32_t noise = 12345;
  for (int kind = 0; kind < 6; ++kind) {
    Bytes row(kWidth);
    for (uint32_t x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const uint8_t random = static_cast<uint8_t>(noise >> 16);
      const uint8_t values[] = {
          random,                                                    // no runs
          static_cast<uint8_t>(x / 37),                              // long runs
          (random & 3) == 0 ? random : static_cast<uint8_t>(x / 3),  // mixed
          static_cast<uint8_t>(x / 2),                               // pairs
          0,                                                         // blank
          x < 130 ? static_cast<uint8_t>(x + 1) : uint8_t{0xEE},     // literal then repeat
      };
      row[x] = values[kind];
    }
    rows.push_back({row});
  }
  for (int32_t invert : {0, 1}) {
    SCOPED_TRACE(invert ? "inverted" : "plain");
    GPackBitsRowCompressor stage(kMultiple, invert);
    const std::vector<ReadRowResult> results = PackRows(stage, rows);
    ASSERT_EQ(results.size(), rows.size());
    Bytes expected;
    for (const MemoryRowSource::Row& row : rows) {
      for (uint8_t b : row.bytes) expected.push_back(invert ? static_cast<uint8_t>(~b) : b);
      expected.resize(expected.size() + kPadded - kWidth, 0);
    }
    for (const ReadRowResult& result : results) EXPECT_TRUE(result.withinMaximum);
    EXPECT_EQ(DecodeWithLibtiff(Concatenate(results), kPadded, static_cast<uint32_t>(rows.size())), expected);
  }
}

}  // namespace
