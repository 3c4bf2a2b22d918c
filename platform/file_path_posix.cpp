#include "platform/file_path.h"

#include <string>

namespace platform {
namespace {

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

// A lone surrogate has no UTF-8 form; it is written as U+FFFD, so the name
// names no file rather than the conversion failing.
std::filesystem::path ToFilePath(const WideChar* name, uint32_t length) {
  std::string out;
  for (uint32_t i = 0; i < length; ++i) {
    char32_t c = name[i];
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(name[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  return std::filesystem::path(out);
}

WideChar PathSeparator() { return u'/'; }

}  // namespace platform
