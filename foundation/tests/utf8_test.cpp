#include "foundation/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Units = std::u16string;

std::vector<WideChar> Wide(const Units& units) { return {units.begin(), units.end()}; }

TEST(Utf8LengthOfUtf16, CountsEachUnitOnItsOwn) {
  struct Case {
    const char* name;
    Units units;
    uint16_t length;
  };
  const Case cases[] = {
      {"empty", u"", 0},
      {"ascii", u"Job 1", 5},
      {"last_one_byte_and_first_two_byte_units", u"\u007F\u0080", 3},
      {"last_two_byte_and_first_three_byte_units", u"\u07FF\u0800", 5},
      {"surrogate_pair_counts_three_per_unit", u"\U0001F600", 6},
      {"lone_low_surrogate", Units(1, char16_t{0xDC00}), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<WideChar> wide = Wide(c.units);
    EXPECT_EQ(Utf8LengthOfUtf16(wide.data(), wide.data() + wide.size()), c.length);
  }
}

TEST(EncodeUtf8, EncodesCodePointsAndReportsWhereItStopped) {
  struct Case {
    const char* name;
    Units units;
    bool strict;
    size_t targetSize;
    GUtf8Result result;
    std::string bytes;  // what the target holds, zero filled
    size_t written;
  };
  const Case cases[] = {
      {"one_to_three_byte_forms", u"A\u00E9\u20AC", true, 8, GUtf8Result::kDone,
       std::string("A\xC3\xA9\xE2\x82\xAC\0\0", 8), 6},
      {"surrogate_pair_is_one_four_byte_code_point", u"\U0001F600", true, 4, GUtf8Result::kDone, "\xF0\x9F\x98\x80", 4},
      {"zero_unit_ends_the_text", Units(u"ab\0cd", 5), true, 5, GUtf8Result::kDone, std::string("ab\0\0\0", 5), 3},
      {"code_point_that_does_not_fit_is_not_cut", u"a\u20AC", true, 3, GUtf8Result::kTargetFull,
       std::string("a\0\0", 3), 1},
      {"strict_stops_at_a_lone_low_surrogate", Units(u"a") + char16_t{0xDC01} + u"b", true, 4,
       GUtf8Result::kIllegalSource, std::string("a\0\0\0", 4), 1},
      {"strict_stops_at_an_unpaired_high_surrogate", Units(u"a") + char16_t{0xD801} + u"b", true, 4,
       GUtf8Result::kIllegalSource, std::string("a\0\0\0", 4), 1},
      {"lenient_encodes_a_lone_surrogate_as_it_stands", Units(1, char16_t{0xDC01}) + u"b", false, 4, GUtf8Result::kDone,
       "\xED\xB0\x81"
       "b",
       4},
      {"high_surrogate_that_ends_the_text_is_encoded", Units(u"a") + char16_t{0xD801}, true, 4, GUtf8Result::kDone,
       "a\xED\xA0\x81", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<WideChar> wide = Wide(c.units);
    std::vector<uint8_t> target(c.targetSize, 0);
    size_t written = 99;
    EXPECT_EQ(EncodeUtf8(wide, target, c.strict, written), c.result);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(std::string(target.begin(), target.end()), c.bytes);
  }
}

}  // namespace
