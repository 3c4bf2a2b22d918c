// The native build converts through the Windows-1252 stand-in; these tests
// hold the conversion helpers against glibc's iconv, called directly.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/testing/cp1252_reference.h"
#include "model/objects/text_conversion.h"

namespace {

using WideText = std::basic_string<WideChar>;

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
    EXPECT_EQ(Converted(narrow), ReferenceWide(narrow));
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
    EXPECT_EQ(Converted(wide), ReferenceNarrow(wide));
  }
}

}  // namespace
