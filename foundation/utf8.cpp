#include "foundation/utf8.h"

namespace {

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The bytes of one code point, the lead byte's marker by length.
size_t EncodedLength(uint32_t codePoint) {
  if (codePoint < 0x80) return 1;
  if (codePoint < 0x800) return 2;
  if (codePoint < 0x10000) return 3;
  return 4;
}

void WriteCodePoint(uint32_t codePoint, std::span<uint8_t> out) {
  static constexpr uint8_t kLeadMarker[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
  for (size_t i = out.size() - 1; i > 0; --i) {
    out[i] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    codePoint >>= 6;
  }
  out[0] = static_cast<uint8_t>(kLeadMarker[out.size()] | codePoint);
}

}  // namespace

uint16_t Utf8LengthOfUtf16(const WideChar* begin, const WideChar* end) {
  uint16_t length = 0;
  for (const WideChar* unit = begin; unit < end; ++unit) {
    const auto value = static_cast<uint16_t>(*unit);
    length = static_cast<uint16_t>(length + (value < 0x80 ? 1 : value >= 0x800 ? 3 : 2));
  }
  return length;
}

GUtf8Result EncodeUtf8(std::span<const WideChar> source, std::span<uint8_t> target, bool strict, size_t& written) {
  written = 0;
  for (size_t i = 0; i < source.size(); ++i) {
    uint32_t codePoint = static_cast<uint16_t>(source[i]);
    if (IsHighSurrogate(codePoint) && i + 1 < source.size()) {
      const uint32_t next = static_cast<uint16_t>(source[i + 1]);
      if (IsLowSurrogate(next)) {
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      } else if (strict) {
        return GUtf8Result::kIllegalSource;
      }
    } else if (IsLowSurrogate(codePoint) && strict) {
      return GUtf8Result::kIllegalSource;
    }
    const size_t length = EncodedLength(codePoint);
    if (length > target.size() - written) return GUtf8Result::kTargetFull;
    WriteCodePoint(codePoint, target.subspan(written, length));
    written += length;
    if (codePoint == 0) break;
  }
  return GUtf8Result::kDone;
}
