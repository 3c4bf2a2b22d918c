// The native build converts through the Windows-1252 stand-in; these tests
// hold its answers against glibc's own conversion of the same text, called
// here directly, byte by byte and on random strings.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/testing/cp1252_reference.h"
#include "foundation/testing/string_printers.h"

namespace {

using WideText = std::basic_string<WideChar>;

WideText Text(const RWWString& s) { return WideText(s.Data(), s.Length()); }
std::string Narrow(const RWCString& s) { return std::string(s.Data(), s.Length()); }

TEST(MultibyteConversion, EverySingleByteAgreesWithIconv) {
  int refused = 0;
  for (int byte = 1; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string narrow(1, static_cast<char>(byte));
    const WideText expected = ReferenceWide(narrow);
    if (expected.empty()) ++refused;
    EXPECT_EQ(Text(RWWString::FromMultibyte(narrow.c_str())), expected);
    EXPECT_EQ(RWCString(narrow.c_str()).MultibyteLength(), expected.empty() ? RW_NPOS : 1u);
    if (!expected.empty()) {
      EXPECT_EQ(Narrow(RWWString(expected.c_str()).ToMultibyte()), narrow);
    }
  }
  // Five bytes have no character in Windows-1252.
  EXPECT_EQ(refused, 5);
  EXPECT_EQ(Text(RWWString::FromMultibyte("\x80")), WideText(1, WideChar(0x20AC)));
  EXPECT_EQ(Text(RWWString::FromMultibyte("\0", 1)), WideText(1, WideChar(0)));
}

TEST(MultibyteConversion, EveryUnitOfTheFirstPlanesAgreesWithIconv) {
  for (uint32_t unit = 1; unit < 0x10000; ++unit) {
    const WideText wide(1, static_cast<WideChar>(unit));
    const std::string expected = ReferenceNarrow(wide);
    const std::string actual = Narrow(RWWString(wide.c_str()).ToMultibyte());
    if (actual != expected) ADD_FAILURE() << "unit " << std::hex << unit;
  }
}

TEST(MultibyteConversion, RandomStringsAgreeWithIconvBothWays) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> length(0, 200);
  std::uniform_int_distribution<int> anyByte(1, 255);
  std::uniform_int_distribution<int> pick(0, 3);
  for (int round = 0; round < 500; ++round) {
    SCOPED_TRACE(round);
    std::string narrow;
    for (int n = length(random); n > 0; --n) narrow.push_back(static_cast<char>(anyByte(random)));
    EXPECT_EQ(Text(RWWString::FromMultibyte(RWCString(narrow.c_str()))), ReferenceWide(narrow));

    // Wide text from characters of the code page and of its neighbourhood;
    // every other round also from outside it, so both answers come up.
    const bool foreign = round % 2 == 1;
    WideText wide;
    for (int n = length(random); n > 0; --n) {
      const int kind = pick(random);
      wide.push_back(kind == 0 && foreign ? static_cast<WideChar>(0x4E00 + anyByte(random))
                     : kind == 1          ? static_cast<WideChar>(0x2013 + anyByte(random) % 8)
                                          : static_cast<WideChar>(anyByte(random)));
    }
    EXPECT_EQ(Narrow(RWWString(wide.c_str()).ToMultibyte()), ReferenceNarrow(wide));
  }
}

TEST(MultibyteConversion, LengthInCharactersStopsAtAnUndefinedByte) {
  EXPECT_EQ(RWCString("caf\xE9").MultibyteLength(), 4u);
  EXPECT_EQ(RWCString("ab\x81"
                      "cd")
                .MultibyteLength(),
            RW_NPOS);
}

}  // namespace
