#include "pclxl/borzan/xl_font_format.h"

#include <algorithm>
#include <array>
#include <bit>

namespace xl_font {
namespace {

void PutUInt16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void PutUInt32(Bytes& out, uint32_t value) {
  PutUInt16(out, static_cast<uint16_t>(value >> 16));
  PutUInt16(out, static_cast<uint16_t>(value));
}

// A PCL symbol-set name: the number and the letter.
constexpr uint16_t SymbolSetName(uint16_t number, char letter) {
  return static_cast<uint16_t>(number * 32 + letter - 64);
}

struct SymbolSetRow {
  int32_t encoding;
  uint16_t symbolSet;
};

constexpr std::array<SymbolSetRow, 23> kSymbolSets = {{
    {1, SymbolSetName(0, 'A')},    {2, SymbolSetName(0, 'B')},   {3, SymbolSetName(19, 'M')},
    {4, SymbolSetName(19, 'U')},   {5, SymbolSetName(9, 'E')},   {6, SymbolSetName(5, 'T')},
    {7, SymbolSetName(9, 'G')},    {8, SymbolSetName(9, 'H')},   {9, SymbolSetName(9, 'V')},
    {12, SymbolSetName(19, 'L')},  {14, SymbolSetName(9, 'R')},  {15, SymbolSetName(19, 'T')},
    {16, SymbolSetName(18, 'N')},  {17, SymbolSetName(19, 'K')}, {18, SymbolSetName(18, 'C')},
    {19, SymbolSetName(20, 'C')},  {20, SymbolSetName(19, 'H')}, {21, SymbolSetName(19, 'H')},
    {22, SymbolSetName(18, 'H')},  {23, SymbolSetName(18, 'T')}, {53, SymbolSetName(579, 'L')},
    {54, SymbolSetName(581, 'L')}, {55, SymbolSetName(14, 'L')},
}};

constexpr uint32_t kMaxPiece = 65535;

struct CodeRange {
  uint16_t first;
  uint16_t last;
};

Bytes Segment(std::string_view id, const Bytes& data) {
  Bytes out = SegmentStart(id, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes RangeList(std::span<const CodeRange> ranges) {
  Bytes data;
  PutUInt16(data, static_cast<uint16_t>(ranges.size()));
  for (const CodeRange& range : ranges) {
    PutUInt16(data, range.first);
    PutUInt16(data, range.last);
  }
  return data;
}

constexpr CodeRange kListA[] = {{0x0000, 0x00FF}};
constexpr CodeRange kListB[] = {
    {0x0000, 0x00A6}, {0x00A9, 0x00AF}, {0x00B2, 0x00B3}, {0x00B5, 0x00B5}, {0x00B7, 0x00F6}, {0x00F8, 0x00FF},
    {0x20A9, 0x20A9}, {0x2195, 0x2195}, {0x21B5, 0x21B5}, {0x22A0, 0x22A0}, {0x2550, 0x2551}, {0x2554, 0x2554},
    {0x2557, 0x2557}, {0x255A, 0x255A}, {0x255D, 0x255D}, {0x2560, 0x2560}, {0x2563, 0x2563}, {0x2566, 0x2566},
    {0x2569, 0x2569}, {0x256C, 0x256C}, {0x2591, 0x2592}, {0xFF60, 0xFFDF}, {0xFFE7, 0xFFFF}};
constexpr CodeRange kListC[] = {{0x0000, 0x00A1}, {0x00A4, 0x00A4}, {0x00A6, 0x00A6}, {0x00A9, 0x00AF},
                                {0x00B2, 0x00B3}, {0x00B6, 0x00B6}, {0x00B9, 0x00D6}, {0x00D8, 0x00F6},
                                {0x00F8, 0x00FF}, {0x20A9, 0x20A9}, {0xFF60, 0xFFDF}, {0xFFE7, 0xFFFF}};
constexpr CodeRange kListD[] = {{0x0000, 0x00A6}, {0x00A9, 0x00AF}, {0x00B2, 0x00DF}, {0x00E2, 0x00E7},
                                {0x00EB, 0x00EB}, {0x00EE, 0x00F1}, {0x00F4, 0x00F6}, {0x00F8, 0x00F8},
                                {0x00FB, 0x00FB}, {0x00FD, 0x00FF}, {0x20A9, 0x20A9}, {0xFF60, 0xFFDF},
                                {0xFFE7, 0xFFFF}};
constexpr CodeRange kListE[] = {{0x0000, 0x00FF}, {0x20A9, 0x20A9}, {0xFF60, 0xFFDF}, {0xFFE7, 0xFFFF}};

std::span<const CodeRange> Ranges(VerticalList list) {
  switch (list) {
    case VerticalList::kA:
      return kListA;
    case VerticalList::kB:
      return kListB;
    case VerticalList::kC:
      return kListC;
    case VerticalList::kD:
      return kListD;
    case VerticalList::kE:
      return kListE;
  }
  return kListA;
}

// The Japanese character set, whose yen sign and half-width middle dot the
// galley characters stand in for.
constexpr int32_t kJapanese = 17;
constexpr int32_t kUnicode = 16;
constexpr int32_t kMapped = 2;

}  // namespace

uint16_t PclSymbolSet(int32_t encoding) {
  for (const SymbolSetRow& row : kSymbolSets) {
    if (row.encoding == encoding) return row.symbolSet;
  }
  return 0;
}

std::vector<uint16_t> HeaderPieces(uint32_t length, uint32_t padding) {
  std::vector<uint16_t> pieces;
  for (uint32_t left = length; left > 0;) {
    const uint32_t piece = std::min(left, kMaxPiece);
    pieces.push_back(static_cast<uint16_t>(piece));
    left -= piece;
  }
  if (padding == 0) return pieces;
  if (!pieces.empty() && pieces.back() + padding <= kMaxPiece) {
    pieces.back() = static_cast<uint16_t>(pieces.back() + padding);
  } else {
    pieces.push_back(static_cast<uint16_t>(padding));
  }
  return pieces;
}

Bytes Header(uint16_t symbolSet, Technology technology, uint16_t characters) {
  Bytes out = {0, 0};  // format, orientation
  PutUInt16(out, symbolSet);
  out.push_back(static_cast<uint8_t>(technology));
  out.push_back(0);  // variety
  PutUInt16(out, characters);
  return out;
}

Bytes SegmentStart(std::string_view id, uint32_t length) {
  Bytes out(id.begin(), id.end());
  PutUInt32(out, length);
  return out;
}

Bytes BitmapResolution(uint16_t xResolution, uint16_t yResolution) {
  Bytes data;
  PutUInt16(data, xResolution);
  PutUInt16(data, yResolution);
  return Segment("BR", data);
}

Bytes NullSegment() { return {0xFF, 0xFF, 0, 0, 0, 0}; }

std::vector<HeaderBlock> GlobalTrueType(std::span<const SfntTable> tables) {
  constexpr uint32_t kSfntHeader = 12;
  constexpr uint32_t kDirectoryEntry = 16;
  const auto count = static_cast<uint16_t>(tables.size());
  const uint16_t power = count == 0 ? 0 : static_cast<uint16_t>(std::bit_width(count) - 1);
  const auto searchRange = static_cast<uint16_t>(16 << power);
  Bytes directory;
  PutUInt32(directory, 0x00010000);
  PutUInt16(directory, count);
  PutUInt16(directory, searchRange);
  PutUInt16(directory, power);
  PutUInt16(directory, static_cast<uint16_t>(16 * count - searchRange));
  std::vector<HeaderBlock> blocks(1);
  uint32_t offset = kSfntHeader + kDirectoryEntry * count;
  for (const SfntTable& table : tables) {
    const auto length = static_cast<uint32_t>(table.data.size());
    const uint32_t padded = (length + 3) & ~3U;
    PutUInt32(directory, table.tag);
    PutUInt32(directory, 0);  // checksum
    PutUInt32(directory, offset);
    PutUInt32(directory, padded);
    offset += padded;
    blocks.push_back({Bytes(table.data.begin(), table.data.end()), padded - length});
  }
  blocks[0].data = SegmentStart("GT", offset);
  blocks[0].data.insert(blocks[0].data.end(), directory.begin(), directory.end());
  return blocks;
}

std::optional<Bytes> GalleyCharacters(int32_t characterSet, int32_t encoding) {
  std::vector<CodeRange> regions;
  uint16_t glyph = 0;
  if (characterSet == kJapanese) {
    if (encoding == kJapanese || encoding == kMapped) {
      regions = {{0x0000, 0x00FF}};
      glyph = 0x00A5;
    } else if (encoding == kUnicode) {
      regions = {{0x0020, 0x007D}, {0x203E, 0x203E}, {0xFF61, 0xFF9F}};
      glyph = 0xFF65;
    } else {
      return std::nullopt;
    }
  }
  Bytes data;
  PutUInt16(data, 0);       // format
  PutUInt16(data, 0xFFFF);  // default character
  PutUInt16(data, static_cast<uint16_t>(regions.size()));
  for (const CodeRange& region : regions) {
    PutUInt16(data, region.first);
    PutUInt16(data, region.last);
    PutUInt16(data, glyph);
  }
  return Segment("GC", data);
}

std::optional<VerticalList> ChooseVerticalList(int32_t characterSet, int32_t encoding) {
  const auto among = [](int32_t value, int32_t first, int32_t last) { return value >= first && value <= last; };
  switch (characterSet) {
    case 17:
      if (encoding == 17) return VerticalList::kA;
      if (encoding == kUnicode) return VerticalList::kB;
      return std::nullopt;
    case 23:
      if (encoding == 23) return VerticalList::kA;
      if (encoding == kUnicode) return VerticalList::kC;
      return std::nullopt;
    case 18:
    case 19:
      if (encoding == kUnicode) return VerticalList::kD;
      if (among(encoding, 18, 19)) return VerticalList::kA;
      return std::nullopt;
    case 20:
    case 21:
    case 22:
      if (encoding == kUnicode) return VerticalList::kE;
      if (among(encoding, 20, 22)) return VerticalList::kA;
      return std::nullopt;
    case kUnicode:
      return VerticalList::kE;
    default:
      return VerticalList::kA;
  }
}

Bytes VerticalExclusions(VerticalList list) { return Segment("VE", RangeList(Ranges(list))); }

Bytes VerticalRotation(int16_t rotation) {
  Bytes data = {0, 0};
  PutUInt16(data, static_cast<uint16_t>(rotation));
  return Segment("VR", data);
}

namespace {

Bytes OutlineGlyph(uint8_t glyphClass, std::span<const int16_t> metrics, uint16_t glyph,
                   std::span<const uint8_t> outline) {
  // The size counts itself, the metrics and the glyph index.
  const auto size = static_cast<uint16_t>(outline.size() + 4 + 2 * metrics.size());
  Bytes out = {1, glyphClass};
  PutUInt16(out, size);
  for (int16_t metric : metrics) PutUInt16(out, static_cast<uint16_t>(metric));
  PutUInt16(out, glyph);
  out.insert(out.end(), outline.begin(), outline.end());
  return out;
}

}  // namespace

Bytes TrueTypeGlyph(uint16_t glyph, int16_t leftSideBearing, uint16_t advanceWidth, std::span<const uint8_t> outline) {
  const int16_t metrics[] = {leftSideBearing, static_cast<int16_t>(advanceWidth)};
  return OutlineGlyph(1, metrics, glyph, outline);
}

Bytes VerticalTrueTypeGlyph(uint16_t glyph, int16_t leftSideBearing, uint16_t advanceWidth, int16_t topSideBearing,
                            std::span<const uint8_t> outline) {
  const int16_t metrics[] = {leftSideBearing, static_cast<int16_t>(advanceWidth), topSideBearing};
  return OutlineGlyph(2, metrics, glyph, outline);
}

std::optional<Bytes> BitmapGlyph(const BitmapPlacement& placement, std::span<const uint8_t> image) {
  if (placement.width <= 0 || placement.height <= 0) return std::nullopt;
  const auto width = static_cast<size_t>(placement.width);
  const auto height = static_cast<size_t>(placement.height);
  const size_t stride = (width + 31) / 32 * 4;
  const size_t rowBytes = (width + 7) / 8;
  if (image.size() / stride < height) return std::nullopt;
  Bytes out = {0, 0};
  PutUInt16(out, static_cast<uint16_t>(placement.left));
  PutUInt16(out, static_cast<uint16_t>(placement.top));
  PutUInt16(out, static_cast<uint16_t>(placement.width));
  PutUInt16(out, static_cast<uint16_t>(placement.height));
  bool inked = false;
  for (size_t row = 0; row < height; ++row) {
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(row * stride);
    const auto last = first + static_cast<std::ptrdiff_t>(rowBytes);
    inked = inked || std::any_of(first, last, [](uint8_t byte) { return byte != 0; });
    out.insert(out.end(), first, last);
  }
  if (!inked) return std::nullopt;
  return out;
}

}  // namespace xl_font
