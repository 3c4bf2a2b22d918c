// The writer's text building blocks: the check of texts that go inside
// quoted values, the usage checksum and the UTF-8 user name.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "pclxl/pjl/pjl.h"

namespace {

TEST(PJLText, OnlyQuotesAndControlBytesButTabFailTheCheck) {
  struct Case {
    const char* name;
    std::string text;
    bool passes;
  };
  const Case cases[] = {
      {"empty", "", true},
      {"tab", "a\tb", true},
      {"high_bytes", "\x80\xE9\xFF", true},
      {"space_and_punctuation", " !#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\x7F", true},
      {"quote", "say \"hi\"", false},
      {"line_feed", "a\nb", false},
      {"carriage_return", "a\rb", false},
      {"escape", "\x1B%-12345X", false},
      {"zero_byte", std::string("a\0b", 3), false},
      {"unit_separator", "\x1F", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GPJL::IsPJLText(c.text), c.passes);
  }
}

// CRC-16/ARC the other way round from the writer's: each byte reflected,
// shifted in from the top through the unreflected polynomial 0x8005, the
// result reflected at the end.
uint16_t ReferenceCrc16Arc(const std::string& text) {
  const auto reflect = [](uint32_t value, int bits) {
    uint32_t reflected = 0;
    for (int bit = 0; bit < bits; ++bit) {
      if ((value >> bit) & 1) reflected |= 1u << (bits - 1 - bit);
    }
    return reflected;
  };
  uint32_t crc = 0;
  for (const char c : text) {
    crc ^= reflect(static_cast<unsigned char>(c), 8) << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) != 0 ? ((crc << 1) ^ 0x8005) & 0xFFFF : (crc << 1) & 0xFFFF;
  }
  return static_cast<uint16_t>(reflect(crc, 16));
}

TEST(PJLUsageChecksum, IsCrc16ArcWithZeroAnsweredAsFFFF) {
  EXPECT_EQ(GPJL::UsageChecksum("123456789"), 0xBB3D);
  EXPECT_EQ(GPJL::UsageChecksum(""), 0xFFFF);
  // The text followed by its own CRC, low byte first, has the CRC 0.
  EXPECT_EQ(GPJL::UsageChecksum(std::string("123456789\x3D\xBB", 11)), 0xFFFF);
  EXPECT_EQ(GPJL::UsageChecksum(std::string(1, '\0')), 0xFFFF);
}

TEST(PJLUsageChecksum, EqualsAnIndependentImplementationOnRandomTexts) {
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> length(0, 80);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 1000; ++round) {
    std::string text(static_cast<size_t>(length(random)), '\0');
    for (char& c : text) c = static_cast<char>(byte(random));
    const uint16_t expected = ReferenceCrc16Arc(text);
    ASSERT_EQ(GPJL::UsageChecksum(text), expected != 0 ? expected : 0xFFFF) << "round " << round;
  }
}

std::basic_string<WideChar> Units(std::initializer_list<uint16_t> units) {
  std::basic_string<WideChar> text;
  for (const uint16_t unit : units) text += static_cast<WideChar>(unit);
  return text;
}

TEST(PJLNameUTF8, SixteenUnitsAtMostAndNoHalfPairs) {
  struct Case {
    const char* name;
    std::basic_string<WideChar> units;
    std::string utf8;
  };
  const std::basic_string<WideChar> fifteen =
      Units({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o'});
  const Case cases[] = {
      {"one_two_and_three_bytes", Units({'A', 0xE9, 0x20AC}), "A\xC3\xA9\xE2\x82\xAC"},
      {"pair_is_four_bytes", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
      {"highest_code_point", Units({0xDBFF, 0xDFFF}), "\xF4\x8F\xBF\xBF"},
      {"cut_after_sixteen", fifteen + Units({'p', 'q', 'r'}), "abcdefghijklmnop"},
      {"pair_across_the_cut_left_out", fifteen + Units({0xD83D, 0xDE00}), "abcdefghijklmno"},
      {"pair_ending_at_the_cut_kept",
       Units({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 0xD83D, 0xDE00, 'z'}),
       "abcdefghijklmn\xF0\x9F\x98\x80"},
      {"lone_high_surrogate", Units({'a', 0xD800, 'b'}),
       "a\xEF\xBF\xBD"
       "b"},
      {"lone_low_surrogate", Units({0xDC00}), "\xEF\xBF\xBD"},
      {"high_surrogate_at_the_end", Units({0xDBFF}), "\xEF\xBF\xBD"},
      {"sixteen_three_byte_units_are_48_bytes", std::basic_string<WideChar>(20, static_cast<WideChar>(0xFFFD)),
       [] {
         std::string replaced;
         for (int unit = 0; unit < 16; ++unit) replaced += "\xEF\xBF\xBD";
         return replaced;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GPJL::EncodeUnitsUTF8(c.units), c.utf8);
  }
}

}  // namespace
