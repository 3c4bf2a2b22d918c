#include "foundation/text_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "foundation/memory_byte_channel.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/stream_test_support.h"

namespace {

std::string Written(const std::function<void(GVirtualOutStream&)>& write) {
  StringChannel channel;
  GTextOutStream out(&channel);
  write(out);
  EXPECT_TRUE(out.IsGood());
  return channel.str();
}

TEST(GTextOutStream, NumbersAreDecimalLines) {
  struct Case {
    const char* name;
    std::function<void(GVirtualOutStream&)> write;
    const char* expected;
  };
  const int32_t ints[] = {1, -2, 3};
  // clang-format off
  const Case cases[] = {
      {"negative_int", [](auto& s) { s.PutInt(-5); }, "-5\n"},
      {"largest_ushort", [](auto& s) { s.PutUShort(65535); }, "65535\n"},
      {"smallest_short", [](auto& s) { s.PutShort(-32768); }, "-32768\n"},
      {"largest_ulong_and_uint", [](auto& s) { s.PutULong(4294967295u).PutUInt(0); }, "4294967295\n0\n"},
      {"smallest_long", [](auto& s) { s.PutLong(std::numeric_limits<int32_t>::min()); }, "-2147483648\n"},
      {"char_values_signed_and_unsigned", [](auto& s) { s.PutCharValue('\xFF').PutUCharValue(0xFF); }, "-1\n255\n"},
      {"character_arrays_as_numbers", [](auto& s) { s.PutChars("AB", 2).PutUChars(reinterpret_cast<const uint8_t*>("\x80"), 1); },
       "65\n66\n128\n"},
      {"int_array_without_count", [&](auto& s) { s.PutInts(ints, 3); }, "1\n-2\n3\n"},
      {"float_as_its_double", [](auto& s) { s.PutFloat(0.1f); }, "1.0000000149011612e-01\n"},
      {"double", [](auto& s) { s.PutDouble(-2.5); }, "-2.5000000000000000e+00\n"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written(c.write), c.expected);
  }
}

TEST(GTextOutStream, FloatingPointAgreesWithPrintf) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           0.1,
                           -1.0 / 3,
                           3.141592653589793,
                           1e-300,
                           4.9406564584124654e-324,
                           std::numeric_limits<double>::max(),
                           123456789012345678.0,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (double value : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.16e\n", value);
    SCOPED_TRACE(expected);
    EXPECT_EQ(Written([&](auto& s) { s.PutDouble(value); }), expected);
  }
  const float floats[] = {1.0f / 3, -1e-40f, std::numeric_limits<float>::max()};
  for (float value : floats) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.16e\n", static_cast<double>(value));
    SCOPED_TRACE(expected);
    EXPECT_EQ(Written([&](auto& s) { s.PutFloat(value); }), expected);
  }
}

TEST(GTextOutStream, CharactersAreEscaped) {
  struct Case {
    const char* name;
    uint8_t c;
    const char* expected;
  };
  // clang-format off
  const Case cases[] = {
      {"backspace", 0x08, "\\b"},       {"tab", 0x09, "\\t"},           {"line_feed", 0x0A, "\\n"},
      {"form_feed", 0x0C, "\\f"},       {"carriage_return", 0x0D, "\\r"}, {"quote", '"', "\\\""},
      {"backslash", '\\', "\\\\"},      {"left_brace", '{', "\\["},     {"right_brace", '}', "\\]"},
      {"space", ' ', "\\x20"},          {"byte_ff", 0xFF, "\\xff"},     {"vertical_tab", 0x0B, "\\x0b"},
      {"zero", 0x00, "\\x00"},          {"escape", 0x1B, "\\x1b"},      {"letter", 'A', "A"},
      {"tilde", '~', "~"},              {"colon", ':', ":"},            {"at", '@', "@"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written([&](auto& s) { s.PutUChar(c.c); }), c.expected);
    EXPECT_EQ(Written([&](auto& s) { s.PutChar(static_cast<char>(c.c)); }), c.expected);
  }
  EXPECT_EQ(Written([](auto& s) { s.PutString("a b", 3); }), "\"a\\x20b\"");
  EXPECT_EQ(Written([](auto& s) { s.PutCString(""); }), "\"\"");
  EXPECT_EQ(Written([](auto& s) { s.PutCString("{\"}"); }), "\"\\[\\\"\\]\"");
}

TEST(GTextOutStream, LinesBreakBeforeColumnEightyAndNumbersDoNotCount) {
  StringChannel channel;
  GTextOutStream out(&channel);
  out.PutString(std::string(100, 'a').c_str(), 100);
  EXPECT_EQ(channel.str(), "\"" + std::string(79, 'a') + "\n" + std::string(21, 'a') + "\"");
  EXPECT_EQ(out.Column(), 22u);

  StringChannel escapes;
  GTextOutStream escaped(&escapes);
  escaped.PutString((std::string(78, 'a') + " ").c_str(), 79);
  // The four-character escape would end at column 83: it starts a line.
  EXPECT_EQ(escapes.str(), "\"" + std::string(78, 'a') + "\n\\x20\"");
  EXPECT_EQ(escaped.Column(), 5u);

  StringChannel mixed;
  GTextOutStream numbers(&mixed);
  numbers.PutChar('a').PutInt(123456).PutDouble(1.0).PutChar('{');
  EXPECT_EQ(numbers.Column(), 3u);
}

GMemoryByteChannel Over(const std::string& text) {
  return GMemoryByteChannel(text.data(), static_cast<uint32_t>(text.size()));
}

TEST(GTextStreams, EveryTypeRoundTrips) {
  StringChannel channel;
  GTextOutStream out(&channel);
  const uint16_t ushorts[] = {0, 65535};
  const double doubles[] = {0.1, -1e-310, std::numeric_limits<double>::infinity()};
  const float floats[] = {1.0f / 3, std::numeric_limits<float>::denorm_min()};
  out.PutUShort(7).PutShort(-7).PutULong(4294967295u).PutLong(-2147483647 - 1).PutUInt(1).PutInt(-1);
  out.PutFloat(0.1f).PutDouble(1.0 / 7).PutUChar(0xFF).PutChar('{').PutCString("say \"hi\"\n");
  out.PutUShorts(ushorts, 2).PutDoubles(doubles, 3).PutFloats(floats, 2).PutChars("\x01\xFE", 2);
  out.PutCharValue('\x80').PutUCharValue(0x80);

  GTextInStream in(&channel);
  uint16_t us;
  int16_t s;
  uint32_t ul, ui;
  int32_t l, i;
  float f;
  double d;
  uint8_t uc;
  char c;
  char text[16];
  in.GetUShort(us).GetShort(s).GetULong(ul).GetLong(l).GetUInt(ui).GetInt(i).GetFloat(f).GetDouble(d);
  in.GetUChar(uc).GetChar(c).GetString(text, sizeof text);
  EXPECT_TRUE(in.IsGood());
  EXPECT_EQ(us, 7);
  EXPECT_EQ(s, -7);
  EXPECT_EQ(ul, 4294967295u);
  EXPECT_EQ(l, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ui, 1u);
  EXPECT_EQ(i, -1);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(d, 1.0 / 7);
  EXPECT_EQ(uc, 0xFF);
  EXPECT_EQ(c, '{');
  EXPECT_STREQ(text, "say \"hi\"\n");
  uint16_t ushortsIn[2];
  double doublesIn[3];
  float floatsIn[2];
  char charsIn[2];
  char cv;
  uint8_t ucv;
  in.GetUShorts(ushortsIn, 2).GetDoubles(doublesIn, 3).GetFloats(floatsIn, 2).GetChars(charsIn, 2);
  in.GetCharValue(cv).GetUCharValue(ucv);
  EXPECT_TRUE(in.IsGood());
  EXPECT_EQ(0, std::memcmp(ushortsIn, ushorts, sizeof ushorts));
  EXPECT_EQ(0, std::memcmp(doublesIn, doubles, sizeof doubles));
  EXPECT_EQ(0, std::memcmp(floatsIn, floats, sizeof floats));
  EXPECT_EQ(0, std::memcmp(charsIn, "\x01\xFE", 2));
  EXPECT_EQ(cv, '\x80');
  EXPECT_EQ(ucv, 0x80);
}

TEST(GTextStreams, EveryByteSurvivesAStringAndLineBreaks) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  StringChannel channel;
  GTextOutStream out(&channel);
  out.PutString(all.data(), 256);
  for (char ch : all) out.PutChar(ch);

  GTextInStream in(&channel);
  char buffer[257];
  in.GetString(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, 256), all);
  for (int b = 0; b < 256; ++b) {
    char ch;
    in.GetChar(ch);
    EXPECT_EQ(static_cast<uint8_t>(ch), b);
  }
  EXPECT_TRUE(in.IsGood());
}

TEST(GTextInStream, NumbersThatAreNotThereOrDoNotFitFail) {
  struct Case {
    const char* name;
    std::string text;
    std::function<int64_t(GVirtualInStream&)> read;
    int64_t expected;
    uint32_t state;
  };
  const auto readShort = [](GVirtualInStream& s) {
    int16_t v = 0;
    s.GetShort(v);
    return int64_t{v};
  };
  const auto readInt = [](GVirtualInStream& s) {
    int32_t v = 0;
    s.GetInt(v);
    return int64_t{v};
  };
  const auto readUInt = [](GVirtualInStream& s) {
    uint32_t v = 0;
    s.GetUInt(v);
    return int64_t{v};
  };
  const auto readFloat = [](GVirtualInStream& s) {
    float v = 0;
    s.GetFloat(v);
    return static_cast<int64_t>(v);
  };
  const auto readDouble = [](GVirtualInStream& s) {
    double v = 0;
    s.GetDouble(v);
    return static_cast<int64_t>(v);
  };
  constexpr uint32_t kEofFail = GStreamStateAdapter::kEof | GStreamStateAdapter::kFail;
  const Case cases[] = {
      {"leading_white_space_and_plus", " \t\n+42\n", readInt, 42, 0},
      {"number_at_the_very_end", "-17", readInt, -17, 0},
      {"empty", "", readInt, 0, kEofFail},
      {"only_white_space", " \n ", readInt, 0, kEofFail},
      {"letters", "abc\n", readInt, 0, GStreamStateAdapter::kFail},
      {"sign_alone", "-\n", readInt, 0, GStreamStateAdapter::kFail},
      {"short_too_large_keeps_low_bits", "70000\n", readShort, 70000 - 65536, GStreamStateAdapter::kFail},
      {"int_too_large", "99999999999999999999999\n", readInt, 0, GStreamStateAdapter::kFail},
      {"negative_unsigned", "-1\n", readUInt, 0, GStreamStateAdapter::kFail},
      {"overlong_digits", std::string(40, '1') + "\n", readInt, 0, GStreamStateAdapter::kFail},
      {"float_out_of_range", "1e39\n", readFloat, 0, GStreamStateAdapter::kFail},
      {"double_with_trailing_junk", "1.5x\n", readDouble, 0, GStreamStateAdapter::kFail},
      {"double_plain", "  2.5e+01\n", readDouble, 25, 0},
      {"double_with_plus", "+3.0\n", readDouble, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryByteChannel channel = Over(c.text);
    GTextInStream in(&channel);
    EXPECT_EQ(c.read(in), c.expected);
    EXPECT_EQ(in.State(), c.state);
  }
}

TEST(GTextInStream, GetAnswersTheNextNumberOrMinusOneAtTheEnd) {
  const std::string text = "12\n-3\n";
  GMemoryByteChannel channel = Over(text);
  GTextInStream in(&channel);
  EXPECT_EQ(in.Get(), 12);
  EXPECT_EQ(in.Get(), -3);
  EXPECT_EQ(in.Get(), -1);
  EXPECT_TRUE(in.IsEof());
}

TEST(GTextInStream, CharactersAndTheirEscapes) {
  struct Case {
    const char* name;
    std::string text;
    uint8_t expected;
    uint32_t state;
  };
  constexpr uint32_t kEofFail = GStreamStateAdapter::kEof | GStreamStateAdapter::kFail;
  const Case cases[] = {
      {"plain", "z", 'z', 0},
      {"after_line_feeds_and_spaces", "\n\n  z", 'z', 0},
      {"left_brace", "\\[", '{', 0},
      {"right_brace", "\\]", '}', 0},
      {"quote", "\\\"", '"', 0},
      {"backslash", "\\\\", '\\', 0},
      {"named", "\\t", '\t', 0},
      {"hex_two_digits", "\\x41", 'A', 0},
      {"hex_upper_case", "\\xFF", 0xFF, 0},
      {"hex_one_digit_then_other", "\\x4g", 0x04, 0},
      {"hex_stops_at_line_feed", "\\x4\n1", 0x04, 0},
      {"unknown_escape_is_itself", "\\q", 'q', 0},
      {"hex_without_digits", "\\xg", 0, GStreamStateAdapter::kFail},
      {"end_of_input", "", 0xFF, kEofFail},
      {"backslash_at_end", "\\", 0xFF, kEofFail},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryByteChannel channel = Over(c.text);
    GTextInStream in(&channel);
    uint8_t value = 0;
    in.GetUChar(value);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(in.State(), c.state);
  }
}

TEST(GTextInStream, StringsAreCutSkippedOrRejected) {
  struct Case {
    const char* name;
    std::string text;
    uint32_t size;
    const char* expected;
    uint32_t state;
    int32_t next;  // the number after the string, -1 when none is read
  };
  constexpr uint32_t kEofFail = GStreamStateAdapter::kEof | GStreamStateAdapter::kFail;
  const Case cases[] = {
      {"line_feeds_inside_are_ignored", "\"ab\ncd\"", 8, "abcd", 0, -1},
      {"exact_fit", "\"abc\" 5", 4, "abc", 0, 5},
      {"too_long_is_cut_and_skipped", "\"abcdef\" 42", 4, "abc", GStreamStateAdapter::kFail, 42},
      {"escaped_quote_in_the_skipped_part", "\"abcd\\\"ef\" 7", 3, "ab", GStreamStateAdapter::kFail, 7},
      {"unterminated", "\"abc", 8, "abc", kEofFail, -1},
      {"unterminated_too_long", "\"abcdef", 3, "ab", kEofFail, -1},
      {"nothing_there", "  ", 8, "", kEofFail, -1},
      {"no_room_at_all", "\"a\" 3", 1, "", GStreamStateAdapter::kFail, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GMemoryByteChannel channel = Over(c.text);
    GTextInStream in(&channel);
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    in.GetString(buffer, c.size);
    EXPECT_STREQ(buffer, c.expected);
    EXPECT_EQ(in.State(), c.state);
    if (c.next >= 0) {
      in.SetState(0);
      int32_t next = 0;
      in.GetInt(next);
      EXPECT_EQ(next, c.next);
    }
  }
}

TEST(GTextInStream, StringWithoutOpeningQuoteRaisesAndReadsOn) {
  RecordingErrorHandler errors;
  const std::string text = "abc\"";
  GMemoryByteChannel channel = Over(text);
  GTextInStream in(&channel);
  char buffer[8];
  in.GetString(buffer, sizeof buffer);
  ASSERT_EQ(errors.Count(), 1u);
  EXPECT_EQ(errors.Records()[0].kind, "external");
  EXPECT_EQ(errors.Records()[0].text, "[SYNSTREAM] Syntax error in input stream: expected \", got a");
  EXPECT_STREQ(buffer, "bc");
}

TEST(GTextInStream, CanHoldCountsOneCharacterPerValue) {
  const std::string text = "\"abcd\"";
  GMemoryByteChannel channel = Over(text);
  GTextInStream in(&channel);
  EXPECT_TRUE(in.CanHold(6, 2));
  EXPECT_FALSE(in.CanHold(7, 1));
}

}  // namespace
