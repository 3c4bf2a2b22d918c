#pragma once

#include <cstdint>

#include "model/os/unicode.h"

// The Unicode converter of the stand-in OS factory, on the platform's
// code-page conversion. Encodings are the numbers that text and fonts carry:
// 16 is Unicode and keeps every code; 3 is the symbol code page, whose codes
// stand at U+F000 plus the code; the single-byte sets 4 to 9, 12, 14 and 15
// and the East Asian double-byte sets 17 to 23 go through their Windows code
// pages (model/os/encoding_code_pages.h; a double-byte code carries its lead
// byte in the high byte). A code that does not convert, or an encoding
// without a code page, answers 0.
class GCodePageConverter : public GUnicodeConverter {
 public:
  uint16_t ToUnicode(uint16_t code, int32_t encoding) override;
  // Answers the bytes written into out, 0 when the text does not convert
  // (out is then empty).
  int32_t ConvertString(const WideChar* text, RWCString& out, uint32_t length) override;
  int32_t NarrowToWide(const char* text, WideChar* out, uint32_t length) override;
  uint16_t FromUnicode(uint16_t unicode, int32_t encoding) override;
  // The buffer holds length bytes; text that does not convert or does not
  // fit leaves it empty.
  void ConvertToCodePage(const WideChar* text, char* buffer, uint32_t codePage, uint32_t length) override;
};
