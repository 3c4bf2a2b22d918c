// BMP files: the file header, one of the info headers (12, 40, 52, 56, 108
// or 124 bytes), bit-field masks, the colour table and the pixel rows. The
// rows go into the bitmap as stored (blue, green, red; padded to 4 bytes;
// bottom-up unless the height is negative), and the bitmap expands 4- and
// 8-bit run-length rows itself.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/colour/palette_table.h"
#include "render_host/image_loader.h"

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;

// How the file stores its pixels.
constexpr uint32_t kPlain = 0;
constexpr uint32_t kRunLength8 = 1;
constexpr uint32_t kRunLength4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

uint32_t Field32(std::span<const uint8_t> bytes, size_t at) {
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}

uint16_t Field16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// The fields of the info header that the loader uses, whichever header the
// file has.
struct BmpHeader {
  int64_t width = 0;
  int64_t height = 0;
  uint16_t planes = 0;
  uint16_t bits = 0;
  uint32_t compression = kPlain;
  uint32_t colorsUsed = 0;
  // Where the colour table starts and how many bytes each entry takes.
  uint64_t tableOffset = 0;
  uint32_t entryBytes = 4;
  bool explicitMasks = false;
  std::array<uint32_t, 3> masks{};
};

// The header at the start of the info header, or a message.
std::string ReadHeader(std::span<const uint8_t> bytes, BmpHeader& header) {
  if (bytes.size() < kFileHeaderBytes + 4) return "the file ends inside its header";
  const uint32_t headerBytes = Field32(bytes, kFileHeaderBytes);
  if (headerBytes != kCoreHeaderBytes && headerBytes < kInfoHeaderBytes) {
    return "unknown info header of " + std::to_string(headerBytes) + " bytes";
  }
  if (bytes.size() - kFileHeaderBytes < headerBytes) return "the file ends inside its header";
  const size_t at = kFileHeaderBytes + 4;
  header.tableOffset = uint64_t{kFileHeaderBytes} + headerBytes;
  if (headerBytes == kCoreHeaderBytes) {
    header.width = Field16(bytes, at);
    header.height = Field16(bytes, at + 2);
    header.planes = Field16(bytes, at + 4);
    header.bits = Field16(bytes, at + 6);
    header.entryBytes = 3;
    return {};
  }
  header.width = static_cast<int32_t>(Field32(bytes, at));
  header.height = static_cast<int32_t>(Field32(bytes, at + 4));
  header.planes = Field16(bytes, at + 8);
  header.bits = Field16(bytes, at + 10);
  header.compression = Field32(bytes, at + 12);
  header.colorsUsed = Field32(bytes, at + 28);
  if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
    // The masks follow the 40 bytes of the info header: inside the later,
    // longer headers, after a 40-byte one (and then before the colours).
    constexpr size_t kMasksAt = kFileHeaderBytes + kInfoHeaderBytes;
    const uint64_t masksEnd = kMasksAt + (header.compression == kAlphaBitFields ? 16 : 12);
    if (bytes.size() < masksEnd) return "the file ends inside its bit-field masks";
    header.tableOffset = std::max(header.tableOffset, masksEnd);
    header.explicitMasks = true;
    for (size_t i = 0; i < 3; ++i) header.masks[i] = Field32(bytes, kMasksAt + 4 * i);
  }
  return {};
}

std::string CheckHeader(const BmpHeader& header) {
  if (header.planes != 1) return "the plane count is " + std::to_string(header.planes) + ", not 1";
  switch (header.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return "unsupported depth of " + std::to_string(header.bits) + " bits per pixel";
  }
  const bool fitting = header.compression == kPlain || (header.compression == kRunLength8 && header.bits == 8) ||
                       (header.compression == kRunLength4 && header.bits == 4) ||
                       ((header.compression == kBitFields || header.compression == kAlphaBitFields) &&
                        (header.bits == 16 || header.bits == 32));
  if (!fitting) {
    return "unsupported compression " + std::to_string(header.compression) + " at " + std::to_string(header.bits) +
           " bits per pixel";
  }
  if (header.height < 0 && header.compression != kPlain && !header.explicitMasks) {
    return "run-length rows cannot be stored top-down";
  }
  if (header.width < 0) return "the width is negative (" + std::to_string(header.width) + ")";
  const int64_t height = header.height < 0 ? -header.height : header.height;
  return CheckImageSize(static_cast<uint64_t>(header.width), static_cast<uint64_t>(height), header.bits);
}

// The colour table of an image of 8 bits or fewer, or a message.
std::string ReadPalette(std::span<const uint8_t> bytes, const BmpHeader& header, std::vector<GRGBColor>& colors) {
  const uint32_t largest = 1u << header.bits;
  const uint32_t count = header.colorsUsed == 0 ? largest : header.colorsUsed;
  if (count > largest) {
    return "the colour table has " + std::to_string(count) + " entries; at " + std::to_string(header.bits) +
           " bits per pixel at most " + std::to_string(largest) + " are allowed";
  }
  if (header.tableOffset + uint64_t{count} * header.entryBytes > bytes.size()) {
    return "the file ends inside its colour table";
  }
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(header.tableOffset + uint64_t{i} * header.entryBytes);
    colors.emplace_back(bytes[at + 2], bytes[at + 1], bytes[at], uint8_t{255});
  }
  return {};
}

}  // namespace

GLoadedImage LoadBmp(std::span<const uint8_t> bytes, std::string_view name) {
  BmpHeader header;
  std::string problem = ReadHeader(bytes, header);
  if (problem.empty()) problem = CheckHeader(header);
  std::vector<GRGBColor> colors;
  if (problem.empty() && header.bits <= 8) problem = ReadPalette(bytes, header, colors);
  if (!problem.empty()) return ImageFailure(name, problem);

  const uint32_t pixelsAt = Field32(bytes, 10);
  if (pixelsAt >= bytes.size()) return ImageFailure(name, "the pixel data start beyond the end of the file");
  const auto width = static_cast<uint32_t>(header.width);
  const auto height = static_cast<uint32_t>(header.height < 0 ? -header.height : header.height);
  const uint64_t needed = (uint64_t{width} * header.bits + 31) / 32 * 4 * height;
  const uint64_t present = bytes.size() - pixelsAt;
  const bool runLength = header.compression == kRunLength8 || header.compression == kRunLength4;
  if (!runLength && present < needed) {
    return ImageFailure(name, "the pixel data are short: " + std::to_string(present) + " bytes where " +
                                  std::to_string(needed) + " are needed");
  }

  GBitmapDescription description;
  description.data = bytes.data() + pixelsAt;
  description.dataSize = static_cast<uint32_t>(runLength ? std::min<uint64_t>(present, UINT32_MAX) : needed);
  description.bounds = {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height)};
  description.bitsPerComponent = static_cast<uint8_t>(header.bits);
  description.bottomUp = header.height > 0;
  description.compression = header.compression == kRunLength8 ? 2 : header.compression == kRunLength4 ? 1 : 0;
  description.explicitMasks = header.explicitMasks;
  description.masks = header.masks;
  if (!colors.empty()) description.palette = new GPaletteTable(colors);
  GLoadedImage image;
  image.bitmap = GBitmap(description);
  return image;
}
