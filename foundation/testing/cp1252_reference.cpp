#include "foundation/testing/cp1252_reference.h"

#include <iconv.h>

#include <cstdint>
#include <optional>

namespace {

using WideText = std::basic_string<WideChar>;

std::optional<std::string> Iconv(const char* to, const char* from, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string output(input.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

WideText FromUtf16Le(const std::string& bytes) {
  WideText units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<WideChar>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return units;
}

std::string ToUtf16Le(const WideText& units) {
  std::string bytes;
  for (WideChar unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

}  // namespace

WideText ReferenceWide(const std::string& narrow) {
  const std::optional<std::string> utf16 = Iconv("UTF-16LE", "CP1252", narrow);
  return utf16 ? FromUtf16Le(*utf16) : WideText();
}

std::string ReferenceNarrow(const WideText& wide) {
  const std::optional<std::string> narrow = Iconv("CP1252", "UTF-16LE", ToUtf16Le(wide));
  return narrow ? *narrow : std::string();
}
