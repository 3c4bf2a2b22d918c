#pragma once

#include <cstdint>

#include "platform/wide_char.h"

// Conversion between narrow text in the ANSI code page and UTF-16. On
// Windows this is the system's ANSI code page, the one the module selects
// for the runtime at load; the native build stands in with Windows-1252,
// the code page of the target's usual installations.
namespace platform {

// Converts n bytes (zero bytes included) into at most capacity units;
// answers the units written, or -1 when the text holds a sequence that the
// code page does not define or the result does not fit. Empty text answers
// 0 and text into no room -1, whatever out is.
int32_t MultibyteToWide(const char* text, uint32_t n, WideChar* out, uint32_t capacity);

// Converts n units into at most capacity bytes; answers the bytes written,
// or -1 when a unit has no character in the code page or the result does
// not fit.
int32_t WideToMultibyte(const WideChar* text, uint32_t n, char* out, uint32_t capacity);

// The same two conversions with a code page given by its Windows number
// (1252, 932, ...); 0 is the ANSI code page of the two above. A code page
// that the system does not know fails every conversion.
int32_t CodePageToWide(uint32_t codePage, const char* text, uint32_t n, WideChar* out, uint32_t capacity);
int32_t WideToCodePage(uint32_t codePage, const WideChar* text, uint32_t n, char* out, uint32_t capacity);

// The most bytes that one character of the code page takes.
uint32_t MaxBytesPerChar();

// The bytes of the character that starts text, of the n available; -1 when
// the bytes are no character of the code page or it runs past n.
int32_t MultibyteCharLength(const char* text, uint32_t n);

}  // namespace platform
