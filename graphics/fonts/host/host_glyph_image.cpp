#include "graphics/fonts/host/host_glyph_image.h"

#include <algorithm>
#include <array>

namespace host_glyph_image {
namespace {

void PutInt16(uint8_t* at, int16_t value) {
  const auto bits = static_cast<uint16_t>(value);
  at[0] = static_cast<uint8_t>(bits & 0xFF);
  at[1] = static_cast<uint8_t>(bits >> 8);
}

int16_t GetInt16(const uint8_t* at) { return static_cast<int16_t>(at[0] | at[1] << 8); }

}  // namespace

std::unique_ptr<GByteBuffer> Encode(const platform::GlyphBitmap& bitmap) {
  const auto size = static_cast<uint32_t>(kHeaderSize + bitmap.rows.size());
  auto* data = new uint8_t[size];
  const std::array<int16_t, 5> header = {bitmap.xOffset, bitmap.yOffset, bitmap.width, bitmap.height, bitmap.advance};
  for (size_t i = 0; i < header.size(); ++i) PutInt16(data + 2 * i, header[i]);
  std::copy(bitmap.rows.begin(), bitmap.rows.end(), data + kHeaderSize);
  return std::make_unique<GByteBuffer>(data, size, true);
}

bool Decode(std::span<const uint8_t> bytes, Decoded& out) {
  if (bytes.size() < kHeaderSize) return false;
  out.metrics = {GetInt16(&bytes[0]), GetInt16(&bytes[2]), GetInt16(&bytes[4]), GetInt16(&bytes[6])};
  out.advance = GetInt16(&bytes[8]);
  if (out.metrics.width < 0 || out.metrics.height < 0) return false;
  const uint64_t rowsSize =
      static_cast<uint64_t>(platform::GlyphBitmap::RowBytes(out.metrics.width)) * out.metrics.height;
  if (rowsSize > bytes.size() - kHeaderSize) return false;
  out.rows = bytes.subspan(kHeaderSize, rowsSize);
  return true;
}

}  // namespace host_glyph_image
