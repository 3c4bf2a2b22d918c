#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The data of a downloaded PCL XL font, built as bytes: the font header
// (the 8-byte header and the segments after it, each a 2-letter
// identifier, a 4-byte length and its data) and the character records.
// Every multi-byte number is big-endian, as the font format has it. A
// header goes to the printer as blocks (ReadFontHeader, then the bytes),
// each block possibly followed by zero padding.
namespace xl_font {

using Bytes = std::vector<uint8_t>;

// How the glyphs of a font are drawn.
enum class Technology : uint8_t { kTrueType = 1, kBitmap = 254 };

// The PCL symbol-set number (number x 32 + letter - 64) of an encoding
// number the fonts and text carry; 0 for an encoding without one.
uint16_t PclSymbolSet(int32_t encoding);

// One block of header data and the zero bytes that pad it.
struct HeaderBlock {
  Bytes data;
  uint32_t padding = 0;
};

// The lengths of the ReadFontHeader pieces a block goes out in: pieces of
// at most 65,535 bytes; the padding joins the last piece while that stays
// under 65,536 bytes, else it is a piece of its own.
std::vector<uint16_t> HeaderPieces(uint32_t length, uint32_t padding);

Bytes Header(uint16_t symbolSet, Technology technology, uint16_t characters);
// A segment's identifier and length; its data follows.
Bytes SegmentStart(std::string_view id, uint32_t length);
Bytes BitmapResolution(uint16_t xResolution, uint16_t yResolution);
// The closing segment.
Bytes NullSegment();

// A TrueType table that goes into the global TrueType data.
struct SfntTable {
  uint32_t tag;
  std::span<const uint8_t> data;
};
// The global TrueType segment as blocks: the segment start with the sfnt
// directory (offsets counted from the start of the segment's data), then
// each table padded to a multiple of 4.
std::vector<HeaderBlock> GlobalTrueType(std::span<const SfntTable> tables);

// The galley-character segment of a TrueType font of a character set
// downloaded for a text encoding; none when the font needs none.
std::optional<Bytes> GalleyCharacters(int32_t characterSet, int32_t encoding);

// The lists of codes a vertical font shows upright.
enum class VerticalList : uint8_t { kA, kB, kC, kD, kE };
// The list of a vertical font's character set and the text encoding; none
// when the pair sends no list.
std::optional<VerticalList> ChooseVerticalList(int32_t characterSet, int32_t encoding);
Bytes VerticalExclusions(VerticalList list);
// The value that means the font needs no rotation segment.
constexpr int16_t kNoVerticalRotation = -36;
Bytes VerticalRotation(int16_t rotation);

// A character record and the code it goes under.
struct CharRecord {
  uint16_t code;
  Bytes data;
};

// Character records. An outline glyph carries its metrics before its
// glyph index, in the format's order: left side bearing, then advance
// width, then (with vertical metrics) top side bearing.
Bytes TrueTypeGlyph(uint16_t glyph, int16_t leftSideBearing, uint16_t advanceWidth, std::span<const uint8_t> outline);
Bytes VerticalTrueTypeGlyph(uint16_t glyph, int16_t leftSideBearing, uint16_t advanceWidth, int16_t topSideBearing,
                            std::span<const uint8_t> outline);
// A bitmap glyph from an image of rows padded to 32 bits (most significant
// bit first), sent with rows padded to bytes. None when the glyph has no
// pixels or the image is shorter than its rows.
struct BitmapPlacement {
  int16_t left;
  int16_t top;
  int16_t width;
  int16_t height;
};
std::optional<Bytes> BitmapGlyph(const BitmapPlacement& placement, std::span<const uint8_t> image);

}  // namespace xl_font
