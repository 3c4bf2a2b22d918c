// The encoders against values worked out by hand from the formats (ASCII85
// groups from their base-85 digits); Python's decoder reads the ASCII85
// output independently in ascii85_python_test.cpp.

#include "postscript/library/ps_encoders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Data(std::string_view text) { return {text.begin(), text.end()}; }

std::string ASCII85(std::string_view bytes) {
  PSASCII85Encoder encoder;
  std::string out;
  encoder.Encode(Data(bytes), out);
  encoder.Finish(out);
  return out;
}

TEST(PSEncodersTest, HexIsTwoUpperCaseDigitsHighNibbleFirst) {
  std::string out = "<";
  AppendHex(Data(std::string_view("\x00\xFF\x1A\xa5", 4)), out);
  EXPECT_EQ(out, "<00FF1AA5");
}

TEST(PSEncodersTest, ASCII85Groups) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"four_letters", "Man ", "9jqo^~>"},
      {"zero_group_is_z", std::string(4, '\0'), "z~>"},
      {"two_zero_groups", std::string(8, '\0'), "zz~>"},
      // 0x00010000 is 9 * 85^2 + 6 * 85 + 1: digits ! ! * ' ", of which a
      // two-byte group keeps three.
      {"final_two_bytes", std::string("\x00\x01", 2), "!!*~>"},
      // A partial group of zeros is never written as z.
      {"final_zero_byte", std::string(1, '\0'), "!!~>"},
      {"group_then_three", "Man sur", "9jqo^F*2L~>"},
      {"all_ones", "\xFF\xFF\xFF\xFF", "s8W-!~>"},
      {"empty", "", "~>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ASCII85(c.bytes), c.expected);
  }
}

TEST(PSEncodersTest, ASCII85GroupsSpanCalls) {
  PSASCII85Encoder encoder;
  std::string out;
  encoder.Encode(Data("Ma"), out);
  EXPECT_EQ(out, "");
  EXPECT_EQ(encoder.OpenBytes(), 2U);
  encoder.Encode(Data("n s"), out);
  encoder.Encode(Data("ur"), out);
  encoder.Finish(out);
  EXPECT_EQ(out, "9jqo^F*2L~>");
  EXPECT_EQ(encoder.OpenBytes(), 0U);
}

// Thirteen groups make 65 characters, the end of a line; the column
// carries over calls, so one-group calls still break their lines.
TEST(PSEncodersTest, ASCII85LinesBreakAfterSixtyFiveCharacters) {
  PSASCII85Encoder encoder;
  std::string out;
  for (int i = 0; i < 27; ++i) encoder.Encode(Data("Man "), out);
  encoder.Finish(out);
  std::string line;
  for (int i = 0; i < 13; ++i) line += "9jqo^";
  EXPECT_EQ(out, line + "\r\n" + line + "\r\n9jqo^~>");
}

TEST(PSEncodersTest, TBCPQuotesTheProtocolBytesOnly) {
  std::string out;
  const std::string reserved("\x01\x03\x04\x05\x11\x13\x14\x1B\x1C", 9);
  AppendTBCP(Data(reserved), out);
  EXPECT_EQ(out, "\x01\x41\x01\x43\x01\x44\x01\x45\x01\x51\x01\x53\x01\x54\x01\x5B\x01\x5C");
  out.clear();
  const std::string plain("\x00\x02\x06\x10\x12\x1A\x1D\x40\x41\x80\xFF", 11);
  AppendTBCP(Data(plain), out);
  EXPECT_EQ(out, plain);
}

TEST(PSEncodersTest, RealsAreRoundedAtTheFourthDigit) {
  struct Case {
    const char* name;
    float value;
    const char* document;
    const char* operand;
  };
  const Case cases[] = {
      {"one", 1.0F, " 1 ", "1 "},
      {"zero", 0.0F, " 0 ", "0 "},
      {"negative_zero_is_positive", -0.0F, " 0 ", "0 "},
      {"below_half_a_digit", 0.00005F, " 0 ", "0 "},
      {"tiny_negative_rounds_to_zero", -0.00001F, " 0 ", "0 "},
      {"half", 0.5F, " .5000 ", ".5000 "},
      {"negative_with_whole_part", -1.25F, "-1.2500 ", "-1.2500 "},
      // 0.12 as a float lies just below 0.12; truncation would give 1199.
      {"rounded_not_truncated", 0.12F, " .1200 ", ".1200 "},
      {"negative_fraction", -0.12F, "-.1200 ", "-.1200 "},
      {"padded_fraction", 2.0012F, " 2.0012 ", "2.0012 "},
      {"carry_into_whole", 0.99996F, " 1 ", "1 "},
      {"beyond_sixteen_bits", 32768.5F, " 32768.5000 ", "32768.5000 "},
      {"large_negative", -40000.0F, "-40000 ", "-40000 "},
      {"beyond_thirty_two_bits", 1e10F, " 10000000000 ", "10000000000 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<PSReal> real = SplitReal(c.value);
    ASSERT_TRUE(real.has_value());
    EXPECT_EQ(DocumentReal(*real), c.document);
    EXPECT_EQ(OperandReal(*real), c.operand);
  }
}

TEST(PSEncodersTest, LargestFloatIsWrittenInFullAndNonFiniteValuesAreRefused) {
  const std::optional<PSReal> largest = SplitReal(std::numeric_limits<float>::max());
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(OperandReal(*largest), "340282346638528859811704183484516925440 ");
  EXPECT_FALSE(SplitReal(std::numeric_limits<float>::infinity()).has_value());
  EXPECT_FALSE(SplitReal(-std::numeric_limits<float>::infinity()).has_value());
  EXPECT_FALSE(SplitReal(std::nanf("")).has_value());
}

TEST(PSEncodersTest, CommentValuesCarryNoControlCharacters) {
  EXPECT_EQ(DscValue("Report\r\n%%EOF\x7F\tend", 100), "Report  %%EOF  end");
  EXPECT_EQ(DscValue("Annual report", 6), "Annual");
  EXPECT_EQ(DscValue("caf\xE9", 10), "caf\xE9");
}

TEST(PSEncodersTest, StringLiteralsAreEscaped) {
  struct Case {
    const char* name;
    std::string text;
    const char* literal;
  };
  const Case cases[] = {
      {"plain", "Plain", "(Plain)"},
      {"parentheses_and_backslash", "a(b)c\\", "(a\\(b\\)c\\\\)"},
      {"line_end", "a\r\nb", "(a\\015\\012b)"},
      {"eight_bit", "caf\xE9", "(caf\\351)"},
      {"nul", std::string("a\0b", 3), "(a\\000b)"},
      {"empty", "", "()"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PSString(c.text), c.literal);
  }
}

}  // namespace
