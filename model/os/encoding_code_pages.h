#pragma once

#include <cstdint>

// The one table from the encoding numbers that text and fonts carry to the
// Windows code pages that convert them from and to Unicode. The single-byte
// sets 4 to 9, 12, 14 and 15 and the East Asian double-byte sets 17 to 23
// have one; the others (glyph indices, device codes, symbol, Unicode and
// the single-byte sets without a system code page) have none.
struct GEncodingCodePage {
  int32_t encoding;
  uint32_t codePage;
  bool doubleByte;
};

// clang-format off
inline constexpr GEncodingCodePage kEncodingCodePages[] = {
    {4, 1252, false},  // Western
    {5, 1250, false},  // Central European
    {6, 1254, false},  // Turkish
    {7, 1253, false},  // Greek
    {8, 1255, false},  // Hebrew
    {9, 1256, false},  // Arabic
    {12, 1257, false}, // Baltic
    {14, 1251, false}, // Cyrillic
    {15, 874, false},  // Thai
    {17, 932, true},   // Japanese (Shift JIS)
    {18, 936, true},   // Simplified Chinese (GB2312)
    {19, 936, true},   // Simplified Chinese (GBK)
    {20, 949, true},   // Korean (Wansung)
    {21, 949, true},   // Korean (unified Hangul)
    {22, 1361, true},  // Korean (Johab)
    {23, 950, true},   // Traditional Chinese (Big5)
};
// clang-format on

// The code page of an encoding; 0 when it has none.
constexpr uint32_t CodePageOfEncoding(int32_t encoding) {
  for (const GEncodingCodePage& entry : kEncodingCodePages) {
    if (entry.encoding == encoding) return entry.codePage;
  }
  return 0;
}

// Whether an encoding has a single-byte code page to convert from Unicode
// with.
constexpr bool HasSingleByteCodePage(int32_t encoding) {
  for (const GEncodingCodePage& entry : kEncodingCodePages) {
    if (entry.encoding == encoding) return !entry.doubleByte;
  }
  return false;
}
