// Tests of the character-range table search, against hand-made tables and
// against the format-4 character map of a real font.
#include "device/text/char_in_range_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& bytes, uint16_t word) {
  bytes.push_back(static_cast<uint8_t>(word & 0xFF));
  bytes.push_back(static_cast<uint8_t>(word >> 8));
}

struct Segment {
  uint16_t start;
  uint16_t end;
};

// A table as the device description holds it, with the search hints of a
// well-formed character map.
Bytes RangeTable(const std::vector<Segment>& segments) {
  const auto count = static_cast<uint16_t>(segments.size());
  uint16_t power = 1;
  uint16_t selector = 0;
  while (power * 2 <= count) {
    power *= 2;
    ++selector;
  }
  Bytes table;
  for (uint16_t word : {uint16_t{0}, static_cast<uint16_t>(2 * count), static_cast<uint16_t>(2 * power), selector,
                        static_cast<uint16_t>(2 * count - 2 * power)}) {
    PutWord(table, word);
  }
  for (const Segment& segment : segments) PutWord(table, segment.end);
  PutWord(table, 0);
  for (const Segment& segment : segments) PutWord(table, segment.start);
  return table;
}

bool InTable(uint16_t character, const Bytes& table) {
  // A copy of exactly the table's size, so that a read past it is caught.
  const Bytes exact(table.begin(), table.end());
  return CharInRangeTable(static_cast<WideChar>(character), exact);
}

// Eight segments: enough that the search hints are used.
const std::vector<Segment> kEightSegments = {{0x20, 0x7E},   {0xA0, 0xA0},   {0xC0, 0xFF},     {0x100, 0x17F},
                                             {0x391, 0x3A9}, {0x400, 0x45F}, {0x2000, 0x206F}, {0xFFFF, 0xFFFF}};

TEST(CharInRangeTableTest, CharactersInAndAroundTheSegments) {
  struct Case {
    const char* name;
    uint16_t character;
    bool in;
  };
  // clang-format off
  const Case cases[] = {
      {"below_the_first_segment", 0x1F, false},
      {"first_start", 0x20, true},
      {"first_end", 0x7E, true},
      {"gap_after_first", 0x7F, false},
      {"single_code_segment", 0xA0, true},
      {"gap_before_a_segment", 0x390, false},
      {"inside_a_middle_segment", 0x3A0, true},
      {"gap_after_a_segment", 0x3AA, false},
      {"last_unit", 0xFFFF, true},
      {"just_below_the_last_unit", 0xFFFE, false},
  };
  // clang-format on
  for (const auto& [name, segments] :
       {std::pair{"without_hints", std::vector<Segment>(kEightSegments.begin(), kEightSegments.begin() + 7)},
        std::pair{"with_hints", kEightSegments}}) {
    const Bytes table = RangeTable(segments);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name) + " " + c.name);
      // Without the last segment nothing lies above 0x206F.
      EXPECT_EQ(InTable(c.character, table), c.in && (segments.size() == 8 || c.character <= 0x206F));
    }
  }
}

TEST(CharInRangeTableTest, TheNarrowingOfALargeTableFindsEverySegment) {
  // Three hundred segments of two codes each with a gap of one between:
  // enough that the search also narrows by halves.
  std::vector<Segment> segments;
  for (uint16_t i = 0; i < 300; ++i) {
    segments.push_back({static_cast<uint16_t>(0x100 + 3 * i), static_cast<uint16_t>(0x101 + 3 * i)});
  }
  const Bytes table = RangeTable(segments);
  for (uint32_t c = 0; c <= 0xFFFF; ++c) {
    const bool expected = c >= 0x100 && c < 0x100 + 3 * 300 && (c - 0x100) % 3 != 2;
    ASSERT_EQ(InTable(static_cast<uint16_t>(c), table), expected) << c;
  }
}

TEST(CharInRangeTableTest, HeadersThatClaimMoreThanTheTableHoldsStayInside) {
  struct Case {
    const char* name;
    size_t word;
    uint16_t value;
    // The answer for 0x41, which the intact table holds.
    bool in;
  };
  // clang-format off
  const Case cases[] = {
      {"segment_count_past_the_end", 1, 0xFFFE, false},
      {"odd_segment_count", 1, 0x0011, false},
      {"search_range_past_the_end", 2, 0xFFFF, false},
      {"entry_selector_at_its_largest", 3, 0xFFFF, true},
      {"range_shift_past_the_end", 4, 0xFFFF, false},
  };
  // clang-format on
  const Bytes intact = RangeTable(kEightSegments);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes table = intact;
    table[2 * c.word] = static_cast<uint8_t>(c.value & 0xFF);
    table[2 * c.word + 1] = static_cast<uint8_t>(c.value >> 8);
    EXPECT_EQ(InTable(0x41, table), c.in);
    for (uint16_t character : {uint16_t{0}, uint16_t{0x2010}, uint16_t{0xFFFF}}) InTable(character, table);
  }
  Bytes headerOnly = intact;
  headerOnly.resize(10);
  EXPECT_FALSE(InTable(0x41, headerOnly));
  EXPECT_FALSE(CharInRangeTable(u'A', std::span<const uint8_t>()));
}

// A TrueType font's format-4 character map for Windows Unicode (platform 3,
// encoding 1), read from the font file's big-endian tables.
class FontCharacterMap {
 public:
  explicit FontCharacterMap(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    font_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    subtable_ = FindSubtable();
  }

  bool Found() const { return subtable_.has_value(); }

  // The subtable from its language word on, as little-endian words: the
  // form a device description keeps.
  Bytes RangeTable() const {
    Bytes table;
    const size_t length = Word(*subtable_ + 2);
    for (size_t at = *subtable_ + 4; at + 1 < *subtable_ + length; at += 2) PutWord(table, Word(at));
    return table;
  }

  // Every code unit that a segment covers, read straight from the font.
  std::vector<bool> Covered() const {
    std::vector<bool> covered(0x10000, false);
    const size_t count = Word(*subtable_ + 6) / 2;
    const size_t ends = *subtable_ + 14;
    const size_t starts = ends + 2 * count + 2;
    for (size_t i = 0; i < count; ++i) {
      for (uint32_t c = Word(starts + 2 * i); c <= Word(ends + 2 * i); ++c) covered[c] = true;
    }
    return covered;
  }

 private:
  uint16_t Word(size_t at) const {
    if (at + 2 > font_.size()) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(font_[at]) << 8 | static_cast<uint8_t>(font_[at + 1]));
  }
  uint32_t Long(size_t at) const { return static_cast<uint32_t>(Word(at)) << 16 | Word(at + 2); }

  std::optional<size_t> FindSubtable() const {
    const uint16_t tables = Word(4);
    for (uint16_t i = 0; i < tables; ++i) {
      const size_t record = 12 + 16 * static_cast<size_t>(i);
      if (font_.compare(record, 4, "cmap") != 0) continue;
      const size_t cmap = Long(record + 8);
      const uint16_t encodings = Word(cmap + 2);
      for (uint16_t e = 0; e < encodings; ++e) {
        const size_t encoding = cmap + 4 + 8 * static_cast<size_t>(e);
        if (Word(encoding) != 3 || Word(encoding + 2) != 1) continue;
        const size_t subtable = cmap + Long(encoding + 4);
        if (Word(subtable) != 4 || subtable + Word(subtable + 2) > font_.size()) return std::nullopt;
        return subtable;
      }
    }
    return std::nullopt;
  }

  std::string font_;
  std::optional<size_t> subtable_;
};

class FontTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Debian's fonts-dejavu-core; a Windows build under wine does not see
    // the path.
    if (!std::ifstream(kFontPath).good()) GTEST_SKIP() << kFontPath << " is not installed";
    ASSERT_TRUE(map_.Found());
    table_ = map_.RangeTable();
    covered_ = map_.Covered();
  }

  static constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  FontCharacterMap map_{kFontPath};
  Bytes table_;
  std::vector<bool> covered_;
};

TEST_F(FontTableTest, TheFontsRangesAgreeWithItsCharacterMapOnEveryCodeUnit) {
  // Large enough that the search hints are used.
  ASSERT_GE(table_[2] | table_[3] << 8, 16 * 2);
  const Bytes exact(table_.begin(), table_.end());
  for (uint32_t c = 0; c <= 0xFFFF; ++c) {
    ASSERT_EQ(CharInRangeTable(static_cast<WideChar>(c), exact), covered_[c]) << c;
  }
}

TEST_F(FontTableTest, ATruncatedTableAnswersFromWhatItHoldsOrFalse) {
  const size_t segmentsTimesTwo = table_[2] | table_[3] << 8;
  const size_t whole = 10 + 2 * segmentsTimesTwo + 2;
  std::vector<uint16_t> characters;
  for (uint32_t c = 0; c <= 0xFFFF; c += 251) characters.push_back(static_cast<uint16_t>(c));
  for (uint16_t c : {0x20, 0x41, 0xFF, 0x3A9, 0xFFFD, 0xFFFF}) characters.push_back(c);
  for (size_t length = 0; length <= whole + 4; length += length < 32 ? 1 : 13) {
    SCOPED_TRACE(length);
    const Bytes truncated(table_.begin(), table_.begin() + std::min(length, table_.size()));
    for (uint16_t c : characters) {
      const bool in = CharInRangeTable(static_cast<WideChar>(c), truncated);
      if (length >= whole) {
        ASSERT_EQ(in, covered_[c]) << c;
      } else if (in) {
        ASSERT_TRUE(covered_[c]) << c;
      }
    }
  }
}

}  // namespace
