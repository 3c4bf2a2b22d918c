#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "platform/wide_char.h"

// Conversion between Unicode and the character encodings and code pages of
// the graphics and output model. The process has at most one converter,
// made by the OS factory on first request; the tables behind it belong to
// the factory that makes it. The stand-in factory makes one on the
// platform's code pages (GCodePageConverter); a factory may make none, so
// its users cope with a null converter.
class GUnicodeConverter {
 public:
  GUnicodeConverter() = default;
  GUnicodeConverter(const GUnicodeConverter&) = delete;
  GUnicodeConverter& operator=(const GUnicodeConverter&) = delete;
  virtual ~GUnicodeConverter() = default;

  // The Unicode value of a code in an encoding.
  virtual uint16_t ToUnicode(uint16_t code, int32_t encoding) = 0;
  // Fills the narrow string from length characters of wide text.
  virtual int32_t ConvertString(const WideChar* text, RWCString& out, uint32_t length) = 0;
  // Converts length bytes of narrow text in the system code page into out;
  // answers the number of wide characters.
  virtual int32_t NarrowToWide(const char* text, WideChar* out, uint32_t length) = 0;
  // The code of a Unicode value in the target encoding.
  virtual uint16_t FromUnicode(uint16_t unicode, int32_t encoding) = 0;
  // Fills the buffer with the text in that code page; length counts the
  // characters with the terminator.
  virtual void ConvertToCodePage(const WideChar* text, char* buffer, uint32_t codePage, uint32_t length) = 0;
};

// The process's converter, made through GOSFactory::CreateUnicodeConverter
// under the converter's own lock the first time the factory offers one;
// null while it offers none (or before there is an OS factory). The
// converter and its lock live until the process ends.
GUnicodeConverter* GetUnicodeConverter();
