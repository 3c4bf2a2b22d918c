#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/font.h"
#include "platform/glyph_rasterizer.h"

// The form in which this host keeps a rendered glyph in the glyph cache
// (and so in a spooled job's font data): a 10-byte header of five signed
// 16-bit little-endian values (x offset, y offset of the top-left pixel
// from the origin with y up, width in pixels, height in rows, advance in
// pixels), then the rows: height rows of ((width + 31) / 32) x 4 bytes,
// one bit per pixel, most significant bit first, top row first. An empty
// glyph (a space) is the header alone.
namespace host_glyph_image {

inline constexpr uint32_t kHeaderSize = 10;

// A glyph's image with its header, in a new owned buffer.
std::unique_ptr<GByteBuffer> Encode(const platform::GlyphBitmap& bitmap);

// What a stored glyph image holds.
struct Decoded {
  GGlyphMetrics metrics;
  int16_t advance = 0;
  std::span<const uint8_t> rows;
};

// The header and rows of a stored image; false when the bytes are shorter
// than the header or than the rows it announces, or the size is negative.
bool Decode(std::span<const uint8_t> bytes, Decoded& out);

}  // namespace host_glyph_image
