#include "postscript/library/pslib_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "postscript/testing/string_sink.h"

namespace {

std::vector<uint8_t> Data(std::string_view text) { return {text.begin(), text.end()}; }

TEST(PSLIBContextTest, WithoutSinkFlushKeepsTheBytesAndFullWritersStop) {
  PSLIBContext context(nullptr);
  EXPECT_EQ(context.WriteText("abc"), 0);
  EXPECT_EQ(context.Flush(), PSLIBContext::kNoSink);
  EXPECT_EQ(context.UsedBytes(), 3U);
  const std::string big(PSLIBContext::kCapacity, 'x');
  EXPECT_EQ(context.WriteBytes(Data(big)), PSLIBContext::kNoSink);
  EXPECT_EQ(context.UsedBytes(), PSLIBContext::kCapacity);
  EXPECT_EQ(context.WriteText("d"), PSLIBContext::kNoSink);
  EXPECT_EQ(context.EmitInt(5), PSLIBContext::kNoSink);
  EXPECT_EQ(context.UsedBytes(), PSLIBContext::kCapacity);
}

TEST(PSLIBContextTest, TextThatFillsTheFreeSpaceGoesInWithoutAFlush) {
  SinkContext out;
  out.context.WriteText("head");
  out.context.WriteText(std::string(PSLIBContext::kCapacity - 4, 'a'));
  EXPECT_TRUE(out.sink.blocks.empty());
  EXPECT_EQ(out.context.UsedBytes(), PSLIBContext::kCapacity);
  out.context.Flush();

  out.context.WriteText("head");
  out.context.WriteText(std::string(PSLIBContext::kCapacity - 3, 'b'));
  ASSERT_EQ(out.sink.blocks.size(), 2U);
  EXPECT_EQ(out.sink.blocks[1], "head");
  EXPECT_EQ(out.context.UsedBytes(), PSLIBContext::kCapacity - 3);
}

TEST(PSLIBContextTest, LongTextGoesInBlocksOfTheBufferSize) {
  SinkContext out;
  std::string text;
  for (int i = 0; text.size() < 3 * PSLIBContext::kCapacity; ++i) text += std::to_string(i) + ' ';
  EXPECT_EQ(out.context.WriteText(text), 0);
  EXPECT_EQ(out.Text(), text);
  for (const std::string& block : out.sink.blocks) EXPECT_LE(block.size(), PSLIBContext::kCapacity);
}

TEST(PSLIBContextTest, Integers) {
  struct Case {
    const char* name;
    uint16_t (PSLIBContext::*emit)(int32_t);
    int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {"int", &PSLIBContext::EmitInt, -2147483647 - 1, "-2147483648 "},
      {"short_takes_low_bits_signed", &PSLIBContext::EmitShort, 0x1FFFF, "-1 "},
      {"ushort_takes_low_bits_unsigned", &PSLIBContext::EmitUShort, -1, "65535 "},
      {"operand", &PSLIBContext::EmitOperand, 42, "42 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    EXPECT_EQ((out.context.*c.emit)(c.value), 0);
    EXPECT_EQ(out.Text(), c.text);
  }
}

TEST(PSLIBContextTest, RealsInBothShapesAndTheErrorTextForNonFiniteValues) {
  SinkContext out;
  out.context.EmitReal(1.0F);
  out.context.EmitOperandReal(-0.12F);
  out.context.EmitOperandReal(70000.25F);
  EXPECT_EQ(out.Text(), " 1 -.1200 70000.2500 ");

  SinkContext bad;
  EXPECT_EQ(bad.context.EmitOperandReal(std::nanf("")), PSLIBContext::kNumberError);
  EXPECT_EQ(bad.context.EmitReal(INFINITY), PSLIBContext::kNumberError);
  const std::string error(PSLIBContext::kNumberErrorText);
  EXPECT_EQ(bad.Text(), error + error);
}

TEST(PSLIBContextTest, Operators) {
  struct Case {
    const char* name;
    uint32_t code;
    bool lineEnd;
    const char* text;
  };
  const Case cases[] = {
      {"two_characters_line_end", 0x5341, true, "AS\r\n"},
      {"one_character", 0x41, false, "A "},
      {"three_characters", 0x335241, false, "AR3 "},
      {"four_characters", 0x44434241, true, "ABCD\r\n"},
      {"empty_with_line_end", 0, true, "\r\n"},
      {"empty_without_line_end", 0, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    out.context.EmitOperator(c.code, c.lineEnd);
    EXPECT_EQ(out.Text(), c.text);
  }
}

TEST(PSLIBContextTest, HexStringsAndArrays) {
  SinkContext out;
  out.context.EmitHexString(Data("\x01\xAB"));
  const int16_t values[] = {1, -2, 300};
  out.context.EmitIntArray(values);
  EXPECT_EQ(out.Text(), "<01AB>[1 -2 300 ]");
}

TEST(PSLIBContextTest, HexLinesBreakAfterSeventySixDigits) {
  const std::string bytes(40, '\x5A');
  const std::string line(78, '5');
  std::string expectedLine;
  for (size_t i = 0; i < 39; ++i) expectedLine += "5A";

  SinkContext wrapped;
  wrapped.context.WriteHexWrapped(Data(bytes));
  EXPECT_EQ(wrapped.Text(), expectedLine + "\r\n5A");

  // Two calls of 30 bytes fill one line together.
  SinkContext continued;
  continued.context.WriteHexContinued(Data(bytes.substr(0, 30)));
  continued.context.WriteHexContinued(Data(bytes.substr(0, 30)));
  std::string tail;
  for (size_t i = 0; i < 21; ++i) tail += "5A";
  EXPECT_EQ(continued.Text(), expectedLine + "\r\n" + tail);

  SinkContext block;
  block.context.EmitHexBlock(Data("\x01\x02"));
  EXPECT_EQ(block.Text(), "<0102> ");
}

TEST(PSLIBContextTest, HexWordsBreakAfterSeventyFourDigits) {
  const std::vector<uint16_t> words(20, 0xBEEF);
  SinkContext out;
  out.context.EmitHexWords(words);
  std::string line;
  for (int i = 0; i < 19; ++i) line += "BEEF";
  EXPECT_EQ(out.Text(), "<" + line + "\r\nBEEF> ");
}

TEST(PSLIBContextTest, DataBlocksInEachMode) {
  struct Case {
    const char* name;
    bool binary;
    bool ascii85;
    int32_t compression;
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"hex", false, false, 0, std::string("\x00\x04\xFF", 3), std::string("\r\n<0004FF>\r\n")},
      {"ascii85_with_partial_group", false, true, 0, std::string("\x00\x00\x00\x00\x00\x01", 6), "\r\n<~z!!*~>\r\n"},
      {"binary_quoted", true, false, 0, std::string("\x02\x04", 2), "\x02\x01\x44\r\n"},
      {"binary_run_length_end", true, false, PSLIBContext::kRunLength, "\x7F", "\x7F\x80\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkContext out;
    out.context.SetBinaryMode(c.binary);
    out.context.SetASCII85(c.ascii85);
    out.context.BeginData(true);
    EXPECT_TRUE(out.context.IsInData());
    // In two calls, so that groups and lines continue across them.
    out.context.WriteData(Data(c.bytes.substr(0, 1)));
    out.context.WriteData(Data(c.bytes.substr(1)));
    out.context.EndData(c.compression, true);
    EXPECT_FALSE(out.context.IsInData());
    EXPECT_EQ(out.Text(), c.text);
  }
}

TEST(PSLIBContextTest, LongHexDataKeepsItsLinesShort) {
  SinkContext out;
  out.context.BeginData(false);
  for (int row = 0; row < 50; ++row) out.context.WriteData(Data(std::string(10, '\x11')));
  out.context.EndData(0, false);
  const std::string& text = out.Text();
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    EXPECT_LE(end - start, 78U);
    start = end + 2;
  }
}

TEST(PSLIBContextTest, BinaryPassThroughBytesAreQuoted) {
  SinkContext out;
  out.context.SetBinaryMode(true);
  out.context.WriteDataBytes(Data("\x04\x02"));
  out.context.SetBinaryMode(false);
  out.context.WriteDataBytes(Data("\x04"));
  EXPECT_EQ(out.Text(), "\x01\x44\x02\x04");
}

}  // namespace
