// Tests of the code-page converter: the encoding table it converts through,
// single codes both ways, and round trips over every double-byte code of the
// East Asian code pages.
#include "model/os/code_page_converter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <vector>

#include "model/os/encoding_code_pages.h"

namespace {

TEST(EncodingCodePages, NameTheSetsThatConvertFromUnicode) {
  for (int32_t encoding = -1; encoding <= 60; ++encoding) {
    SCOPED_TRACE(encoding);
    const bool singleByte = (encoding >= 4 && encoding <= 9) || encoding == 12 || encoding == 14 || encoding == 15;
    const bool eastAsian = encoding >= 17 && encoding <= 23;
    EXPECT_EQ(HasSingleByteCodePage(encoding), singleByte);
    EXPECT_EQ(CodePageOfEncoding(encoding) != 0, singleByte || eastAsian);
  }
}

TEST(CodePageConverter, ConvertsSingleCodesBothWays) {
  struct Case {
    const char* name;
    int32_t encoding;
    uint16_t code;
    uint16_t unicode;
  };
  const Case cases[] = {
      {"unicode_keeps_its_codes", 16, 0x3042, 0x3042},
      {"symbol_codes_stand_at_f000", 3, 0x41, 0xF041},
      {"western_euro", 4, 0x80, 0x20AC},
      {"cyrillic_a", 14, 0xC0, 0x0410},
      {"shift_jis_hiragana_a", 17, 0x82A0, 0x3042},
      {"shift_jis_ascii", 17, 0x41, 0x41},
      {"gbk_zhong", 19, 0xD6D0, 0x4E2D},
      {"wansung_ga", 20, 0xB0A1, 0xAC00},
      {"johab_ga", 22, 0x8861, 0xAC00},
      {"big5_zhong", 23, 0xA4A4, 0x4E2D},
  };
  GCodePageConverter converter;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(converter.ToUnicode(c.code, c.encoding), c.unicode);
    EXPECT_EQ(converter.FromUnicode(c.unicode, c.encoding), c.code);
  }
}

TEST(CodePageConverter, AnswersZeroForWhatDoesNotConvert) {
  GCodePageConverter converter;
  EXPECT_EQ(converter.FromUnicode(0x3042, 4), 0);  // no hiragana in Western
  EXPECT_EQ(converter.ToUnicode(0x82A0, 1), 0);    // glyph indices
  EXPECT_EQ(converter.FromUnicode(0x41, 2), 0);    // device codes
  EXPECT_EQ(converter.ToUnicode(0x100, 3), 0);     // past the symbol set
  EXPECT_EQ(converter.FromUnicode(0x41, 3), 0);    // not a symbol code
  EXPECT_EQ(converter.ToUnicode(0x8200, 17), 0);   // a lead byte without its trail
}

struct RoundTripCase {
  const char* name;
  int32_t encoding;
  // Fewer codes than the code page is known to define means the table
  // behind it is missing or wrong.
  size_t fewestCodes;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class CodePageRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// Every double-byte code the code page defines converts to Unicode and,
// where no other code shares its character, back to itself.
TEST_P(CodePageRoundTrip, EveryDoubleByteCodeComesBack) {
  const RoundTripCase& c = GetParam();
  GCodePageConverter converter;
  std::map<uint16_t, std::vector<uint16_t>> codesOf;
  for (uint32_t lead = 0x81; lead <= 0xFE; ++lead) {
    for (uint32_t trail = 0x31; trail <= 0xFE; ++trail) {
      const auto code = static_cast<uint16_t>(lead << 8 | trail);
      if (const uint16_t unicode = converter.ToUnicode(code, c.encoding); unicode != 0) {
        codesOf[unicode].push_back(code);
      }
    }
  }
  size_t roundTrips = 0;
  for (const auto& [unicode, codes] : codesOf) {
    if (codes.size() != 1) continue;
    EXPECT_EQ(converter.FromUnicode(unicode, c.encoding), codes.front()) << std::hex << "U+" << unicode;
    ++roundTrips;
  }
  EXPECT_GE(roundTrips, c.fewestCodes);
}

INSTANTIATE_TEST_SUITE_P(EastAsian, CodePageRoundTrip,
                         ::testing::Values(RoundTripCase{"cp932", 17, 8000}, RoundTripCase{"gbk", 19, 21000},
                                           RoundTripCase{"cp949", 21, 17000}, RoundTripCase{"johab", 22, 17000},
                                           RoundTripCase{"big5", 23, 13000}),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

}  // namespace
