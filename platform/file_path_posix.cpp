#include <string>

#include "platform/file_path.h"

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

std::basic_string<WideChar> FromFilePath(const std::filesystem::path& path) {
  const std::string& bytes = path.native();
  std::basic_string<WideChar> out;
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t lead = static_cast<uint8_t>(bytes[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool valid = extra >= 0 && i + extra < bytes.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const uint8_t next = static_cast<uint8_t>(bytes[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out.push_back(static_cast<WideChar>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<WideChar>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<WideChar>(c));
    }
    i += extra + 1;
  }
  return out;
}

WideChar PathSeparator() { return u'/'; }

}  // namespace platform
