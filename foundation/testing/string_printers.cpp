#include "foundation/testing/string_printers.h"

#include <cstdint>
#include <iomanip>
#include <type_traits>

namespace {

template <typename Char>
void PrintQuoted(const Char* text, uint32_t length, int hexDigits, const char* escape, std::ostream& out) {
  out << '"';
  for (uint32_t i = 0; i < length; ++i) {
    const auto code = static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i]));
    if (code >= 0x20 && code < 0x7F && code != '"' && code != '\\') {
      out << static_cast<char>(code);
    } else {
      out << escape << std::hex << std::uppercase << std::setw(hexDigits) << std::setfill('0') << code << std::dec;
    }
  }
  out << '"';
}

}  // namespace

void PrintTo(const RWCString& text, std::ostream* out) { PrintQuoted(text.Data(), text.Length(), 2, "\\x", *out); }

void PrintTo(const RWWString& text, std::ostream* out) { PrintQuoted(text.Data(), text.Length(), 4, "\\u", *out); }
