#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "pclxl/testing/strict_pclxl_reader.h"

// Collects the images and raster patterns of a strictly read PCL XL stream,
// with the colour space and cursor in force when each began, and decodes
// their rows with the row decoders of the compression tests, which are
// written from the formats and not from the generator's packers.
namespace xl_images {

struct Block {
  uint32_t startLine = 0;
  uint32_t height = 0;
  uint8_t compressMode = 0;
  std::vector<uint8_t> data;
};

struct Image {
  bool rasterPattern = false;
  int32_t cursorX = 0;
  int32_t cursorY = 0;
  uint8_t colorSpace = 0;
  // Empty when the colour space came without a palette.
  std::vector<uint8_t> palette;
  uint8_t colorMapping = 0;
  uint8_t colorDepth = 0;
  uint32_t sourceWidth = 0;
  uint32_t sourceHeight = 0;
  uint32_t destinationWidth = 0;
  uint32_t destinationHeight = 0;
  int32_t patternId = 0;
  std::vector<Block> blocks;

  // Bits of one pixel: the depth, three times over for direct RGB.
  uint32_t BitsPerPixel() const;
  // Bytes of one row, before and after padding to 32-bit words.
  size_t RowBytes() const;
  size_t PaddedRowBytes() const;
};

std::vector<Image> Images(const strict_pclxl::ReadResult& result);

// Every row of the image in order, each PaddedRowBytes long (the delta
// and adaptive forms pad nothing, so their padding reads as zeros).
// Nothing for JPEG data, data that do not decode, blocks that do not
// follow each other from line 0, or a row count other than the blocks'
// heights.
std::optional<std::vector<std::vector<uint8_t>>> DecodeRows(const Image& image);

}  // namespace xl_images
