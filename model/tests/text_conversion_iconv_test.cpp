// The native build converts through the Windows-1252 stand-in; these tests
// hold the conversion helpers against glibc's iconv, called directly.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <random>
#include <string>

#include "model/text_conversion.h"

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

std::string Utf16(const WideText& text) {
  std::string bytes;
  for (WideChar unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

WideText FromUtf16(const std::string& bytes) {
  WideText text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<WideChar>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return text;
}

WideText Converted(const std::string& narrow) {
  RWWString wide;
  NarrowToWide(RWCString(narrow.data(), static_cast<uint32_t>(narrow.size())), wide);
  return WideText(wide.Data(), wide.Length());
}

std::string Converted(const WideText& wide) {
  RWCString narrow;
  WideToNarrow(RWWString(wide.data(), static_cast<uint32_t>(wide.size())), narrow);
  return std::string(narrow.Data(), narrow.Length());
}

TEST(TextConversionIconv, NamedCharactersOfCodePage1252) {
  struct Case {
    const char* name;
    std::string narrow;
    WideText wide;
  };
  const Case cases[] = {
      {"e_acute", "caf\xE9", WideText{'c', 'a', 'f', 0xE9}},
      {"euro_sign", "\x80", WideText{0x20AC}},
      {"left_double_quote", "\x93", WideText{0x201C}},
      {"y_diaeresis", "\xFF", WideText{0xFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Converted(c.narrow), c.wide);
    EXPECT_EQ(Converted(c.wide), c.narrow);
  }
}

TEST(TextConversionIconv, EverySingleByteAgreesWithIconv) {
  for (int byte = 1; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string narrow(1, static_cast<char>(byte));
    const std::optional<std::string> expected = Iconv("UTF-16LE", "CP1252", narrow);
    EXPECT_EQ(Converted(narrow), expected ? FromUtf16(*expected) : WideText());
  }
}

TEST(TextConversionIconv, RandomWideTextAgreesWithIconv) {
  std::mt19937 random(1252);
  // Mostly characters that code page 1252 has, some that it lacks.
  std::uniform_int_distribution<int> pick(0, 0x2200);
  for (int round = 0; round < 500; ++round) {
    WideText wide;
    for (int i = round % 7; i >= 0; --i) wide.push_back(static_cast<WideChar>(pick(random) % 0x2200));
    SCOPED_TRACE(round);
    const std::optional<std::string> expected = Iconv("CP1252", "UTF-16LE", Utf16(wide));
    EXPECT_EQ(Converted(wide), expected ? *expected : std::string());
  }
}

}  // namespace
