#include "pcl5e/pcl_formatter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "pcl5e/pcl_out_stream.h"

namespace {

struct Parameter {
  char letter;
  int32_t value;
};

struct Case {
  const char* name;
  std::string_view text;
  std::vector<Parameter> parameters;
  std::string expected;
};

std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string ExpandCase(const Case& c) {
  GPclFormatter formatter;
  for (const Parameter& p : c.parameters) formatter.SetParameter(p.letter, p.value);
  formatter.SetTemplate(c.text);
  std::vector<uint8_t> out;
  const int32_t count = formatter.ExpandToBuffer(out);
  EXPECT_EQ(count, static_cast<int32_t>(out.size()));
  return AsString(out);
}

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExpandCase(c), c.expected);
  }
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(GPclFormatter, WritesLiteralsEscapesAndEveryOutputLetter) {
  using namespace std::string_literals;
  ExpectCases({
      {"literal_text", "PM0;", {}, "PM0;"},
      {"hex_escapes_either_case", "#1B#0c#00#fF", {}, "\x1B\x0C\x00\xFF"s},
      {"non_hex_digit_counts_as_zero", "#G1#1Z", {}, "\x01\x10"s},
      {"percent_and_zero_byte", "%%%0x", {}, "%\x00x"s},
      {"copies_form_feed", "#1B&l%fA%A0X#0C", {{'A', 3}}, "\x1B&l3X\x0C"},
      {"name_command_ends_in_zero_byte", "#1B&n%fD1+%A0W%0", {{'D', 5}}, "\x1B&n6W\x00"s},
      // A: width 0 all digits, 1-7 zero padded after the sign, 8 and 9 nothing.
      {"decimal_all_digits", "%fA%A0", {{'A', 12345}}, "12345"},
      {"decimal_padded", "%fA%A3", {{'A', 7}}, "007"},
      {"decimal_width_below_length", "%fA%A3", {{'A', 12345}}, "12345"},
      {"decimal_width_seven", "%fA%A7", {{'A', 42}}, "0000042"},
      {"decimal_negative", "%fA%A0", {{'A', -7}}, "-7"},
      {"decimal_negative_padded_after_sign", "%fA%A3", {{'A', -7}}, "-07"},
      {"decimal_smallest", "%fA%A0", {{'A', kMin}}, "-2147483648"},
      {"decimal_widths_eight_nine_write_nothing", "[%fA%A8%fA%A9]", {{'A', 5}}, "[]"},
      {"decimal_non_digit_width_writes_nothing", "[%fA%Ax]", {{'A', 5}}, "[]"},
      // F: integer part, point, first w of four truncated fraction digits.
      {"fixed_pen_width", "PW%fA24/1 1000/+%F3", {{'A', 5}}, "PW0.209"},
      {"fixed_one_and_a_half", "%f1.5%F1", {}, "1.5"},
      {"fixed_negative_below_one_keeps_sign", "%f0 1 2/-%F2", {}, "-0.50"},
      {"fixed_width_zero_writes_point_only", "%f10 3/%F0", {}, "3."},
      {"fixed_width_above_four_writes_four", "%f1 3/%F9", {}, "0.3333"},
      {"fixed_negative_truncates", "%f0 10 3/-%F1", {}, "-3.3"},
      {"fixed_whole_number", "%fA%F2", {{'A', -12}}, "-12.00"},
      // I big-endian, H (and any other letter) little-endian.
      {"big_endian_two", "%fA%I2", {{'A', 0x1234}}, "\x12\x34"},
      {"big_endian_one_keeps_low_byte", "%fA%I1", {{'A', 0x1234}}, "\x34"},
      {"big_endian_three", "%fA%I3", {{'A', 0x123456}}, "\x12\x34\x56"},
      {"big_endian_zero_and_four_write_all", "%A%I0%A%I4", {{'A', 0x12345678}}, "\x12\x34\x56\x78\x12\x34\x56\x78"},
      {"big_endian_negative", "%fA%I2", {{'A', -2}}, "\xFF\xFE"},
      {"little_endian_two", "%fA%H2", {{'A', 0x1234}}, "\x34\x12"},
      {"little_endian_all", "%A%H0", {{'A', 0x12345678}}, "\x78\x56\x34\x12"},
      {"other_letter_is_little_endian", "%fA%Z2", {{'A', 0x1234}}, "\x34\x12"},
      {"binary_width_five_writes_nothing", "[%fA%I5%fA%H5]", {{'A', 1}}, "[]"},
      {"silent_letter_takes_no_width", "%fA%s0", {{'A', 9}}, "0"},
      // The plain form carries the integer itself, not its float.
      {"plain_parameter", "%A%A0", {{'A', 16777217}}, "16777217"},
      {"expression_goes_through_float", "%fA%A0", {{'A', 16777217}}, "16777216"},
      {"plain_number", "%123%A0", {}, "123"},
      {"plain_binary", "%B%I2", {{'B', 0x0102}}, "\x01\x02"},
      {"plain_number_saturates", "%99999999999%A0", {}, "2147483647"},
  });
}

TEST(GPclFormatter, EvaluatesEveryOperatorInSinglePrecision) {
  ExpectCases({
      {"add", "%f2 3+%A0", {}, "5"},
      {"subtract", "%f2 3-%A0", {}, "-1"},
      {"multiply", "%f4 3*%A0", {}, "12"},
      {"divide_truncates_toward_zero", "%f7 2/%A0", {}, "3"},
      {"negative_quotient_truncates_toward_zero", "%f0 7-2/%A0", {}, "-3"},
      {"less", "%f1 2<%A0%f2 1<%A0%f2 2<%A0", {}, "100"},
      {"equal", "%f2 2=%A0%f2 3=%A0", {}, "10"},
      {"greater", "%f3 2>%A0%f2 3>%A0%f2 2>%A0", {}, "100"},
      {"not_of_zero_and_non_zero", "%f0!%A0%f5!%A0%f0.5!%A0", {}, "100"},
      {"not_of_negative_zero", "%f0 0 1-*!%A0", {}, "1"},
      {"truncate_keeps_float", "%f7 2/i%F1%f0 7-2/i%F1", {}, "3.0-3.0"},
      {"parameters_push_their_values", "%fA B-%A0", {{'A', 10}, {'B', 4}}, "6"},
      {"decimal_point_divides_by_ten_per_digit", "%f0.46 100*%A0%f1016%A0", {}, "461016"},
      {"second_point_ends_the_number", "%f1.2.5%A0", {}, "5"},
      {"other_characters_separate", "%f12000 25 2/%F2", {}, "12.50"},
      {"letters_outside_a_to_h_are_ignored", "%fxyzA%A0", {{'A', 8}}, "8"},
      {"point_size_expression", "%f25 2/A+25/i25*100/%F2", {{'A', 1205}}, "12.00"},
      {"pitch_expression", "%f12000 25 2/A+25/i25*/%F2", {{'A', 1205}}, "10.00"},
  });
}

TEST(GPclFormatter, ConditionalsSkipToTheMatchingMarkers) {
  ExpectCases({
      {"true_branch", "%iA%s<%eNO%E>", {{'A', 1}}, "<>"},
      {"false_branch_without_else", "<%iA%sYES%e%E>", {{'A', 0}}, "<>"},
      {"else_branch", "%iA%sYES%eNO%E.", {{'A', 0}}, "NO."},
      {"fraction_truncates_to_false", "%f1 2/%s%i1 2/%sYES%eNO%E", {}, "NO"},
      {"condition_value_is_written", "%iA%A0:%e-%E", {{'A', 5}}, "5:"},
      {"percent_pair_is_skipped_whole", "%iA%s%%e%eN%E", {{'A', 0}}, "N"},
      {"nested_true_inside_true", "%iA%s[%iB%sb%ec%E]%ex%E", {{'A', 1}, {'B', 1}}, "[b]"},
      {"nested_false_inside_true", "%iA%s[%iB%sb%ec%E]%ex%E", {{'A', 1}, {'B', 0}}, "[c]"},
      {"nested_level_skipped_whole", "%iA%s%iB%sX%eY%EZ%eW%E", {{'A', 0}, {'B', 1}}, "W"},
      {"missing_marker_ends_expansion", "ab%iA%scd", {{'A', 0}}, "ab"},
      {"end_marker_alone_writes_nothing", "a%Eb", {}, "ab"},
  });
}

// Decodes one number of the 8-bit polyline encoding as the public command
// description gives it: digits 63-126 stand for 0-63, least significant
// first; the last digit alone lies in 191-254; the lowest bit of the result
// is the sign. Answers nothing for any other shape.
std::optional<int64_t> DecodePolylineNumber(const std::string& bytes) {
  uint64_t code = 0;
  uint64_t weight = 1;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    const bool last = i + 1 == bytes.size();
    if (!last && b >= 63 && b <= 126) {
      code += (b - 63) * weight;
      weight *= 64;
    } else if (last && b >= 191 && b <= 254) {
      code += (b - 191) * weight;
      const int64_t magnitude = static_cast<int64_t>(code >> 1);
      return (code & 1) != 0 ? -magnitude : magnitude;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

TEST(GPclFormatter, PolylineEncodingMatchesTheWorkedEncoding) {
  struct EncodingCase {
    const char* name;
    std::string_view text;
    int32_t a;
    std::vector<uint8_t> expected;
    int64_t decoded;  // the value times 2 to the power of the fraction bits
  };
  const EncodingCase cases[] = {
      {"zero", "%fA%G0", 0, {191}, 0},
      {"one", "%fA%G0", 1, {193}, 1},
      {"minus_one", "%fA%G0", -1, {194}, -1},
      {"largest_one_digit", "%fA%G0", 31, {253}, 31},
      {"smallest_two_digits", "%fA%G0", 32, {63, 192}, 32},
      {"minus_thirty_two", "%fA%G0", -32, {64, 192}, -32},
      {"hundred", "%fA%G0", 100, {71, 194}, 100},
      // 10525 -> 21050 = 5 * 4096 + 8 * 64 + 58.
      {"three_digits", "%fA%G0", 10525, {121, 71, 196}, 10525},
      {"two_fraction_bits", "%fA 4/%G2", 10, {211}, 10},
      {"negative_with_one_fraction_bit", "%f0 5 2/-%G1", 0, {202}, -5},
      {"fraction_bits_then_truncation", "%f3 4/%G1", 0, {193}, 1},
      // 2^31 - 1 becomes the float 2^31 and saturates: code 0xFFFFFFFE.
      {"largest_saturates", "%fA%G0", kMax, {125, 126, 126, 126, 126, 194}, kMax},
      // -2^31: code 2^32 + 1.
      {"smallest", "%fA%G0", kMin, {64, 63, 63, 63, 63, 195}, kMin},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = ExpandCase({c.name, c.text, {{'A', c.a}}, ""});
    EXPECT_EQ(out, std::string(c.expected.begin(), c.expected.end()));
    EXPECT_EQ(DecodePolylineNumber(out), c.decoded);
  }
}

TEST(GPclFormatter, StaysDefinedOnHostileTemplates) {
  using namespace std::string_literals;
  std::string deepStack = "%f";
  for (int i = 0; i < 99; ++i) deepStack += "1 ";
  deepStack += "2 ";
  for (int i = 0; i < 50; ++i) deepStack += "3 ";
  deepStack += "%A0";
  const std::string longNumber = "%f" + std::string(400, '9') + "%A0";
  // 1e20 * 1e20 overflows single precision to infinity.
  const std::string infinity = "100000000000000000000 100000000000000000000*";

  ExpectCases({
      {"push_onto_full_stack_is_dropped", deepStack, {}, "2"},
      {"pop_from_empty_stack_gives_zero", "%f+%A0%f%A0%f5-%A0", {}, "00-5"},
      {"division_by_zero_gives_zero", "%f1 0/%A0%f0 0/%F2%f1 0 0 1-*/%G0", {}, "00.00\xBF"},
      {"huge_number_saturates", "%f99999999999%A0", {}, "2147483647"},
      {"huge_negative_saturates", "%f0 99999999999-%A0", {}, "-2147483648"},
      {"very_long_number_saturates", longNumber, {}, "2147483647"},
      {"infinity_saturates", "%f" + infinity + "%A0", {}, "2147483647"},
      {"infinity_in_fixed_point", "%f" + infinity + "%F2", {}, "2147483647.00"},
      {"nan_becomes_zero", "%f" + infinity + " " + infinity + "-%A0", {}, "0"},
      {"nan_in_fixed_point_and_polyline",
       "%f" + infinity + " " + infinity + "-%F2%f" + infinity + " " + infinity + "-%G0",
       {},
       "0.00\xBF"},
      {"huge_polyline_fraction_saturates", "%f99999999999%G9", {}, "\x7D\x7E\x7E\x7E\x7E\xC2"},
      // Constructs cut off by the end of the text end the expansion.
      {"escape_missing_digits", "ab#1", {}, "ab"},
      {"escape_alone", "ab#", {}, "ab"},
      {"percent_at_end_is_copied", "ab%", {}, "ab%"},
      {"expression_without_close", "ab%fA 2+", {}, "ab"},
      {"expression_without_letter", "ab%fA%", {}, "ab"},
      {"expression_without_width", "ab%fA%A", {}, "ab"},
      {"plain_form_without_close", "ab%A", {}, "ab"},
      {"percent_starting_nothing_is_copied", "a%qb", {}, "a%qb"},
      {"zero_byte_in_text_is_copied", "a\0b"s, {}, "a\0b"s},
  });
}

TEST(GPclFormatter, ReadsNothingBeyondTheTemplate) {
  const std::string text = "#1B&l%fA%A0X#0C";
  GPclFormatter formatter;
  formatter.SetParameter('A', 3);
  for (size_t length : {size_t{3}, size_t{8}, size_t{12}}) {
    SCOPED_TRACE(length);
    formatter.SetTemplate(std::string_view(text.data(), length));
    std::vector<uint8_t> out;
    formatter.ExpandToBuffer(out);
    const std::string expected = length == 3 ? "\x1B" : length == 8 ? "\x1B&l" : "\x1B&l3X";
    EXPECT_EQ(AsString(out), expected);
  }
}

TEST(GPclFormatter, ParametersPersistAndTheTemplateCanBeExpandedAgain) {
  GPclFormatter formatter;
  formatter.SetParameter('A', 10);
  formatter.SetParameter('B', 20);
  formatter.SetTemplate("PU%fA%A0,%fB%A0");
  std::vector<uint8_t> out;
  EXPECT_EQ(formatter.ExpandToBuffer(out), 7);
  formatter.SetParameter('A', 300);  // B keeps 20
  EXPECT_EQ(formatter.ExpandToBuffer(out), 8);
  EXPECT_EQ(AsString(out), "PU10,20PU300,20");
}

TEST(GPclFormatter, OtherParameterLettersRaiseTheIndexError) {
  RecordingErrorHandler errors;
  GPclFormatter formatter;
  formatter.SetParameter('H', 8);
  formatter.SetParameter('I', 9);
  formatter.SetParameter('@', 9);
  formatter.SetParameter('a', 9);
  ASSERT_EQ(errors.Count(), 3u);
  EXPECT_EQ(errors.Records()[0].kind, "bounds");
  formatter.SetTemplate("%fH%A0");
  std::vector<uint8_t> out;
  formatter.ExpandToBuffer(out);
  EXPECT_EQ(AsString(out), "8");
}

TEST(GPclFormatter, BufferGrowsAndKeepsWhatItHeld) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "%fA%A0,";
  GPclFormatter formatter;
  formatter.SetParameter('A', -123456);
  formatter.SetTemplate(text);
  std::vector<uint8_t> out = {'x', 'y'};
  EXPECT_EQ(formatter.ExpandToBuffer(out), 2000 * 8);
  ASSERT_EQ(out.size(), 2u + 2000 * 8);
  EXPECT_EQ(AsString(out).substr(0, 18), "xy-123456,-123456,");
}

// A sink that keeps every byte it is handed.
class CollectingSink : public GPclStreamSink {
 public:
  int32_t Flush(PclOutStream&, uint32_t, const uint8_t* bytes, int32_t count) override {
    collected.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    ++calls;
    return 0;
  }
  std::string collected;
  int32_t calls = 0;
};

class DirectExpansion : public testing::Test {
 protected:
  void SetUp() override {
    stream_ = PclStreamCreate(4, &sink_, 0);
    ASSERT_NE(stream_, nullptr);
    formatter_.SetStream(stream_.get());
  }

  std::string Drained() {
    PclStreamFlush(*stream_);
    return sink_.collected;
  }

  CollectingSink sink_;
  std::unique_ptr<PclOutStream> stream_;
  GPclFormatter formatter_;
};

TEST_F(DirectExpansion, WritesTheSameBytesAsBufferExpansionAcrossFlushes) {
  formatter_.SetParameter('A', 600);
  formatter_.SetTemplate("#1BE#1B&u%fA%A0D#1B*t%fA%A0R");
  std::vector<uint8_t> buffered;
  const int32_t n = formatter_.ExpandToBuffer(buffered);
  EXPECT_EQ(formatter_.Expand(), n);
  EXPECT_GT(sink_.calls, 1);
  EXPECT_EQ(Drained(), AsString(buffered));
  EXPECT_EQ(stream_->total, n);
}

TEST_F(DirectExpansion, CountsBytesThatAStreamInErrorDrops) {
  stream_->error = -1;
  formatter_.SetTemplate("#1B*rC");
  EXPECT_EQ(formatter_.Expand(), 4);
  stream_->error = 0;
  EXPECT_EQ(Drained(), "");
  EXPECT_EQ(stream_->total, 0);
}

TEST(GPclFormatter, WithoutAStreamDirectExpansionOnlyCounts) {
  GPclFormatter formatter;
  formatter.SetTemplate("#1B*rC");
  EXPECT_EQ(formatter.Expand(), 4);
}

}  // namespace
