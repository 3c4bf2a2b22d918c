#include "pclxl/testing/xl_image_reader.h"

#include <span>

#include "graphics/testing/pcl_row_decoders.h"

namespace xl_images {
namespace {

using Rows = std::vector<std::vector<uint8_t>>;

constexpr uint8_t kRgbSpace = 2;

uint32_t Number(const strict_pclxl::Operation& operation, std::string_view name, size_t index = 0) {
  const strict_pclxl::Attribute* attribute = operation.Find(name);
  return attribute != nullptr && index < attribute->value.numbers.size()
             ? static_cast<uint32_t>(attribute->value.numbers[index])
             : 0;
}

void Begin(const strict_pclxl::Operation& operation, Image& image) {
  image.rasterPattern = operation.name == "BeginRastPattern";
  image.colorMapping = static_cast<uint8_t>(Number(operation, "ColorMapping"));
  image.colorDepth = static_cast<uint8_t>(Number(operation, "ColorDepth"));
  image.sourceWidth = Number(operation, "SourceWidth");
  image.sourceHeight = Number(operation, "SourceHeight");
  image.destinationWidth = Number(operation, "DestinationSize", 0);
  image.destinationHeight = Number(operation, "DestinationSize", 1);
  if (operation.Find("PatternDefineID") != nullptr)
    image.patternId = static_cast<int32_t>(operation.Number("PatternDefineID"));
  image.blocks.clear();
}

// Splits data into rows of the given width; nothing unless it holds
// exactly count of them.
std::optional<Rows> Split(std::span<const uint8_t> data, size_t width, size_t count) {
  if (data.size() != width * count) return std::nullopt;
  Rows rows;
  for (size_t i = 0; i < count; ++i) rows.emplace_back(data.begin() + i * width, data.begin() + (i + 1) * width);
  return rows;
}

// Rows of a length prefix (2 bytes, low byte first) and delta-row commands
// each, against the row before.
bool AppendDeltaRows(std::span<const uint8_t> data, size_t count, std::vector<uint8_t>& seed, Rows& rows) {
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    if (data.size() - at < 2) return false;
    const size_t length = data[at] | size_t{data[at + 1]} << 8;
    at += 2;
    if (data.size() - at < length || !ApplyDeltaRow(data.subspan(at, length), seed)) return false;
    at += length;
    rows.push_back(seed);
  }
  return at == data.size();
}

}  // namespace

uint32_t Image::BitsPerPixel() const {
  const uint32_t depth = colorDepth == 0 ? 1 : colorDepth == 1 ? 4 : 8;
  return colorSpace == kRgbSpace && colorMapping == 0 ? depth * 3 : depth;
}

size_t Image::RowBytes() const { return (size_t{BitsPerPixel()} * sourceWidth + 7) / 8; }

size_t Image::PaddedRowBytes() const { return (RowBytes() + 3) / 4 * 4; }

std::vector<Image> Images(const strict_pclxl::ReadResult& result) {
  std::vector<Image> images;
  Image current;
  for (const strict_pclxl::Operation& operation : result.operations) {
    if (operation.name == "SetCursor") {
      current.cursorX = static_cast<int32_t>(operation.Number("Point", 0));
      current.cursorY = static_cast<int32_t>(operation.Number("Point", 1));
    } else if (operation.name == "SetColorSpace") {
      current.colorSpace = static_cast<uint8_t>(Number(operation, "ColorSpace"));
      const strict_pclxl::Attribute* palette = operation.Find("PaletteData");
      current.palette.clear();
      if (palette != nullptr) {
        for (double entry : palette->value.numbers) current.palette.push_back(static_cast<uint8_t>(entry));
      }
    } else if (operation.name == "BeginImage" || operation.name == "BeginRastPattern") {
      Begin(operation, current);
    } else if (operation.name == "ReadImage" || operation.name == "ReadRastPattern") {
      current.blocks.push_back({Number(operation, "StartLine"), Number(operation, "BlockHeight"),
                                static_cast<uint8_t>(Number(operation, "CompressMode")), operation.data});
    } else if (operation.name == "EndImage" || operation.name == "EndRastPattern") {
      images.push_back(current);
    }
  }
  return images;
}

std::optional<Rows> DecodeRows(const Image& image) {
  const size_t padded = image.PaddedRowBytes();
  Rows rows;
  std::vector<uint8_t> seed(image.RowBytes(), 0);
  std::vector<uint8_t> adaptive;
  size_t adaptiveRows = 0;
  for (const Block& block : image.blocks) {
    if (block.startLine != rows.size() + adaptiveRows) return std::nullopt;
    std::optional<Rows> decoded;
    switch (block.compressMode) {
      case 0:
        decoded = Split(block.data, padded, block.height);
        break;
      case 1:
        if (const auto unpacked = UnpackBits(block.data)) decoded = Split(*unpacked, padded, block.height);
        break;
      case 3:
        decoded.emplace();
        if (!AppendDeltaRows(block.data, block.height, seed, *decoded)) decoded.reset();
        break;
      case 5:
        // The seed row runs on from block to block: decoded as one stream.
        adaptive.insert(adaptive.end(), block.data.begin(), block.data.end());
        adaptiveRows += block.height;
        continue;
      default:
        break;
    }
    if (!decoded) return std::nullopt;
    rows.insert(rows.end(), decoded->begin(), decoded->end());
  }
  if (adaptiveRows != 0) {
    if (!rows.empty()) return std::nullopt;
    std::optional<Rows> decoded = DecodeAdaptiveBlocks(adaptive, padded);
    if (!decoded || decoded->size() != adaptiveRows) return std::nullopt;
    rows = std::move(*decoded);
  }
  for (std::vector<uint8_t>& row : rows) row.resize(padded, 0);
  return rows;
}

}  // namespace xl_images
