#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace platform {
namespace {

bool FitsInt(uint32_t n) { return n <= static_cast<uint32_t>(INT_MAX); }

}  // namespace

// With no room the system functions would answer the room needed instead;
// text does not fit into no room.
int32_t CodePageToWide(uint32_t codePage, const char* text, uint32_t n, WideChar* out, uint32_t capacity) {
  if (n == 0) return 0;
  if (capacity == 0 || !FitsInt(n) || !FitsInt(capacity)) return -1;
  const int units =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(n), out, static_cast<int>(capacity));
  return units > 0 ? units : -1;
}

int32_t WideToCodePage(uint32_t codePage, const WideChar* text, uint32_t n, char* out, uint32_t capacity) {
  if (n == 0) return 0;
  if (capacity == 0 || !FitsInt(n) || !FitsInt(capacity)) return -1;
  // A unit without a character in the code page fails the conversion rather
  // than turning into a default or best-fit character. UTF-8 reports it
  // through its own flag, since it takes no default character.
  const bool utf8 = (codePage == CP_ACP ? GetACP() : codePage) == CP_UTF8;
  BOOL usedDefault = FALSE;
  const int bytes =
      WideCharToMultiByte(codePage, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, text, static_cast<int>(n), out,
                          static_cast<int>(capacity), nullptr, utf8 ? nullptr : &usedDefault);
  return bytes > 0 && !usedDefault ? bytes : -1;
}

int32_t MultibyteToWide(const char* text, uint32_t n, WideChar* out, uint32_t capacity) {
  return CodePageToWide(CP_ACP, text, n, out, capacity);
}

int32_t WideToMultibyte(const WideChar* text, uint32_t n, char* out, uint32_t capacity) {
  return WideToCodePage(CP_ACP, text, n, out, capacity);
}

uint32_t MaxBytesPerChar() {
  CPINFO info;
  return GetCPInfo(CP_ACP, &info) ? info.MaxCharSize : 1;
}

int32_t MultibyteCharLength(const char* text, uint32_t n) {
  // The shortest prefix that converts is the character: a lead byte alone
  // is refused as an incomplete sequence.
  for (uint32_t length = 1; length <= n && length <= MaxBytesPerChar(); ++length) {
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length), nullptr, 0) > 0) {
      return static_cast<int32_t>(length);
    }
  }
  return -1;
}

}  // namespace platform
