#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "graphics/bitmaps/bitmap.h"

// An image read from a file: a bitmap in a layout that the raster graphic
// and the generators take (24-bit pixels, 8-bit grey levels, or 1, 4 or 8
// bits with a palette), or a message that names the file and what is wrong.
struct GLoadedImage {
  GBitmap bitmap;
  // Empty when the image was read.
  std::string error;

  bool IsLoaded() const { return error.empty(); }
};

// What a loader accepts. The bitmap's bounds are 16-bit, so neither side
// may pass 32767 pixels; the decoded pixels may take at most 64 MiB, and an
// image file at most 256 MiB, so that no file makes an allocation larger
// than that.
inline constexpr uint32_t kMaxImageSide = 32767;
inline constexpr uint64_t kMaxImageBytes = uint64_t{64} << 20;
inline constexpr uint64_t kMaxImageFileBytes = uint64_t{256} << 20;

// The file's bytes read by the loader of its format, which the first bytes
// tell: "BM" a BMP file, "P1" to "P6" a PNM file, FF D8 FF a JPEG file.
GLoadedImage LoadImageFile(const std::filesystem::path& file);
// The same for bytes already read; name goes into the messages.
GLoadedImage LoadImage(std::span<const uint8_t> bytes, std::string_view name);

// The loaders of the three formats, for bytes whose format is known.
GLoadedImage LoadBmp(std::span<const uint8_t> bytes, std::string_view name);
GLoadedImage LoadPnm(std::span<const uint8_t> bytes, std::string_view name);
GLoadedImage LoadJpeg(std::span<const uint8_t> bytes, std::string_view name);

// For the loaders: a failure "name: what".
GLoadedImage ImageFailure(std::string_view name, std::string_view what);
// For the loaders: empty when width x height pixels of bitsPerPixel bits
// lie within the limits above, otherwise the reason.
std::string CheckImageSize(uint64_t width, uint64_t height, uint32_t bitsPerPixel);
