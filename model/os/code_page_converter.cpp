#include "model/os/code_page_converter.h"

#include <vector>

#include "model/os/encoding_code_pages.h"
#include "platform/code_page.h"

namespace {

constexpr int32_t kSymbolEncoding = 3;
constexpr int32_t kUnicodeEncoding = 16;
constexpr uint16_t kSymbolBase = 0xF000;

}  // namespace

uint16_t GCodePageConverter::ToUnicode(uint16_t code, int32_t encoding) {
  if (encoding == kUnicodeEncoding) return code;
  if (encoding == kSymbolEncoding) return code <= 0xFF ? static_cast<uint16_t>(kSymbolBase | code) : 0;
  const uint32_t codePage = CodePageOfEncoding(encoding);
  if (codePage == 0) return 0;
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
  const bool twoBytes = code > 0xFF;
  WideChar unicode[2];
  const int32_t units = platform::CodePageToWide(codePage, twoBytes ? bytes : bytes + 1, twoBytes ? 2 : 1, unicode, 2);
  return units == 1 ? static_cast<uint16_t>(unicode[0]) : 0;
}

uint16_t GCodePageConverter::FromUnicode(uint16_t unicode, int32_t encoding) {
  if (encoding == kUnicodeEncoding) return unicode;
  if (encoding == kSymbolEncoding) return (unicode & 0xFF00) == kSymbolBase ? static_cast<uint16_t>(unicode & 0xFF) : 0;
  const uint32_t codePage = CodePageOfEncoding(encoding);
  if (codePage == 0) return 0;
  const WideChar unit = static_cast<WideChar>(unicode);
  uint8_t bytes[2];
  const int32_t count = platform::WideToCodePage(codePage, &unit, 1, reinterpret_cast<char*>(bytes), 2);
  if (count == 1) return bytes[0];
  return count == 2 ? static_cast<uint16_t>(bytes[0] << 8 | bytes[1]) : 0;
}

int32_t GCodePageConverter::ConvertString(const WideChar* text, RWCString& out, uint32_t length) {
  std::vector<char> bytes(static_cast<size_t>(length) * platform::MaxBytesPerChar());
  const int32_t count = platform::WideToMultibyte(text, length, bytes.data(), static_cast<uint32_t>(bytes.size()));
  out = count > 0 ? RWCString(bytes.data(), static_cast<uint32_t>(count)) : RWCString();
  return count > 0 ? count : 0;
}

// No character of a code page takes less than a byte, so length units hold
// the text.
int32_t GCodePageConverter::NarrowToWide(const char* text, WideChar* out, uint32_t length) {
  const int32_t units = platform::MultibyteToWide(text, length, out, length);
  return units > 0 ? units : 0;
}

void GCodePageConverter::ConvertToCodePage(const WideChar* text, char* buffer, uint32_t codePage, uint32_t length) {
  if (length == 0) return;
  if (platform::WideToCodePage(codePage, text, length, buffer, length) < 0) buffer[0] = 0;
}
