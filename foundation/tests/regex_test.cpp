#include "foundation/regex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "foundation/rw_cstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/string_printers.h"

namespace {

struct Match {
  uint32_t position;
  uint32_t length;
};

Match SearchIn(const char* pattern, const std::string& text, uint32_t start = 0) {
  GRegex expression(pattern);
  EXPECT_EQ(expression.TakeStatus(), GRegex::kValid) << pattern;
  uint32_t length = 99;
  const uint32_t position =
      expression.Search(RWCString(text.data(), static_cast<uint32_t>(text.size())), &length, start);
  return {position, length};
}

TEST(GRegex, SearchFindsTheLeftmostGreedyMatch) {
  struct Case {
    const char* name;
    const char* pattern;
    std::string text;
    uint32_t start;
    uint32_t position;
    uint32_t length;
  };
  const Case cases[] = {
      {"application_prefix", "Microsoft [A-Z,a-z]+ - ", "Microsoft Word - Report.doc", 0, 0, 17},
      {"comma_is_a_class_member", "Microsoft [A-Z,a-z]+ - ", "Microsoft Wo,rd - x", 0, 0, 18},
      {"literal_in_the_middle", "cd", "abcdef", 0, 2, 2},
      {"no_match", "xyz", "abcdef", 0, RW_NPOS, 0},
      {"star_backtracks_to_the_last_b", "a.*b", "xaxbxbx", 0, 1, 5},
      {"star_then_same_literal", "a*a", "baaac", 0, 1, 3},
      {"same_literal_then_star", "aa*", "baaac", 0, 1, 3},
      {"star_then_same_needs_one", "a*a", "bc", 0, RW_NPOS, 0},
      {"optional_then_same_literal", "x?x", "x", 0, 0, 1},
      {"optional_class_then_same_class", "[ab]?[ab]c", "bc", 0, 0, 2},
      {"optional_never_gives_back", "a?[ab]b", "ab", 0, RW_NPOS, 0},
      {"optional_then_same_gives_way", "a?ab", "ab", 0, 0, 2},
      {"optional_takes_one", "ab?c", "xacxabc", 0, 1, 2},
      {"plus_needs_one", "b+", "aaa", 0, RW_NPOS, 0},
      {"plus_is_greedy", "ab+", "abbbc", 0, 0, 4},
      {"star_matches_empty_at_the_start", "b*", "abc", 0, 0, 0},
      {"empty_text_and_star", "a*", "", 0, 0, 0},
      {"star_at_the_end_of_the_text", "a*", "xyz", 3, 3, 0},
      {"start_beyond_the_text", "a*", "xyz", 4, RW_NPOS, 0},
      {"search_from_a_start", "ab", "abxab", 1, 3, 2},
      {"start_anchor_holds_at_the_start", "^ab", "abab", 0, 0, 2},
      {"start_anchor_only_at_the_start", "^b", "abab", 0, RW_NPOS, 0},
      {"start_anchor_at_the_searched_start", "^b", "abab", 1, 1, 1},
      {"caret_later_is_literal", "a^", "xa^", 0, 1, 2},
      {"end_anchor_holds_at_the_end", "ab$", "abab", 0, 2, 2},
      {"end_anchor_only_at_the_end", "a$", "ab", 0, RW_NPOS, 0},
      {"dollar_not_last_is_literal", "a$b", "xa$b", 0, 1, 3},
      {"both_anchors", "^a*$", "aaa", 0, 0, 3},
      {"dot_is_not_a_newline", "a.b", "a\nb axb", 0, 4, 3},
      {"negated_class_takes_newline", "a[^x]b", "a\nb", 0, 0, 3},
      {"reversed_range", "[z-a]+", "--mno--", 0, 2, 3},
      {"dash_before_bracket_is_a_member", "[a-]+", "xa-a", 0, 1, 3},
      {"leading_dash_is_a_member", "[-a]+", "x-a", 0, 1, 2},
      {"escaped_bracket_in_a_class", "[\\]]", "a]b", 0, 1, 1},
      {"escaped_range_end", "[\\x30-\\x32]+", "a0123", 0, 1, 3},
      {"escaped_dot_is_literal", "a\\.b", "axb a.b", 0, 4, 3},
      {"escaped_star_is_literal", "a\\*", "aa*", 0, 1, 2},
      {"matches_a_zero_byte", "a\\0b", std::string("xa\0b", 4), 0, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Match match = SearchIn(c.pattern, c.text, c.start);
    EXPECT_EQ(match.position, c.position);
    EXPECT_EQ(match.length, c.length);
  }
}

TEST(GRegex, EscapesGiveTheirCharacters) {
  struct Case {
    const char* name;
    const char* pattern;
    char expected;
  };
  // clang-format off
  const Case cases[] = {
      {"backspace", "\\b", 8},        {"escape_upper_case", "\\E", 27}, {"form_feed", "\\f", 12},
      {"newline", "\\n", 10},         {"return", "\\r", 13},            {"space", "\\s", ' '},
      {"tab", "\\t", 9},              {"hex_two_digits", "\\x41", 'A'}, {"hex_one_digit", "\\xaZ", '\n'},
      {"x_without_digits", "\\xg", 'x'}, {"control", "\\^a", 1},        {"control_bracket", "\\^[", 27},
      {"octal_three", "\\101", 'A'},  {"octal_one", "\\7", 7},          {"octal_stops_at_eight", "\\18", 1},
      {"other_is_itself", "\\q", 'q'}, {"trailing_backslash", "a\\", '\\'}, {"caret_at_end", "\\^", '^'},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRegex expression(c.pattern);
    ASSERT_EQ(expression.TakeStatus(), GRegex::kValid);
    const uint16_t* cells = expression.Cells();
    const uint32_t at = cells[0] == 'a' ? 1 : 0;
    EXPECT_EQ(cells[at], static_cast<unsigned char>(c.expected));
  }
}

TEST(GRegex, CompiledCellsFollowTheirLayout) {
  struct Case {
    const char* name;
    const char* pattern;
    std::vector<uint16_t> cells;
  };
  const uint16_t kEnd = GRegex::kEnd;
  // clang-format off
  const Case cases[] = {
      {"literal", "ab", {'a', 'b', kEnd}},
      {"star_goes_before_its_element", "ab*", {'a', GRegex::kZeroOrMore, 'b', kEnd}},
      {"plus", "a+", {GRegex::kOneOrMore, 'a', kEnd}},
      {"optional", "a?", {GRegex::kOptional, 'a', kEnd}},
      {"star_before_same_goes_after", "x*x", {'x', GRegex::kZeroOrMore, 'x', kEnd}},
      {"optional_before_same_goes_after", "x?x", {'x', GRegex::kOptional, 'x', kEnd}},
      {"plus_before_same_stays_in_front", "x+x", {GRegex::kOneOrMore, 'x', 'x', kEnd}},
      {"same_copy_repeated_itself_stays", "x*x*", {GRegex::kZeroOrMore, 'x', GRegex::kZeroOrMore, 'x', kEnd}},
      {"literal_dollar_then_anchor", "$*$", {GRegex::kZeroOrMore, '$', GRegex::kEndAnchor, kEnd}},
      {"anchors_and_dot", "^.$", {GRegex::kStartAnchor, GRegex::kAnyChar, GRegex::kEndAnchor, kEnd}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRegex expression(c.pattern);
    ASSERT_EQ(expression.TakeStatus(), GRegex::kValid);
    EXPECT_EQ(std::vector<uint16_t>(expression.Cells(), expression.Cells() + c.cells.size()), c.cells);
  }
}

TEST(GRegex, ClassIsA256BitSetInSixteenCells) {
  GRegex expression("[A\\x0f-\\x10]+");
  ASSERT_EQ(expression.TakeStatus(), GRegex::kValid);
  const uint16_t* cells = expression.Cells();
  EXPECT_EQ(cells[0], GRegex::kOneOrMore);
  EXPECT_EQ(cells[1], GRegex::kClass);
  std::vector<uint16_t> set(cells + 2, cells + 18);
  std::vector<uint16_t> expected(16, 0);
  expected[0] = 0x8000;        // 0x0f
  expected[1] = 0x0001;        // 0x10
  expected['A' / 16] |= 1u << ('A' % 16);
  EXPECT_EQ(set, expected);
  EXPECT_EQ(cells[18], GRegex::kEnd);

  GRegex negated("[^\\x00-\\xfe]");
  ASSERT_EQ(negated.TakeStatus(), GRegex::kValid);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(negated.Cells()[1 + i], 0) << i;
  EXPECT_EQ(negated.Cells()[16], 0x8000);  // only 0xff is left
}

TEST(GRegex, CompilerStatusNamesWhatIsWrong) {
  struct Case {
    const char* name;
    std::string pattern;
    int32_t status;
  };
  // clang-format on
  const Case cases[] = {
      {"empty", "", GRegex::kBadPattern},
      {"leading_star", "*a", GRegex::kBadPattern},
      {"leading_plus", "+a", GRegex::kBadPattern},
      {"leading_question_mark", "?", GRegex::kBadPattern},
      {"unclosed_class", "a[bc", GRegex::kBadPattern},
      {"empty_class", "a[]b", GRegex::kBadPattern},
      {"repeated_repetition", "a**", GRegex::kTooLong},
      {"plus_after_star", "ab*+", GRegex::kTooLong},
      {"repeated_start_anchor", "^*", GRegex::kTooLong},
      {"dollar_not_last_can_repeat", "a$?", GRegex::kValid},
      {"most_cells", std::string(255, 'a'), GRegex::kValid},
      {"one_cell_too_many", std::string(256, 'a'), GRegex::kTooLong},
      {"class_and_end_fit", std::string(238, 'a') + "[a]", GRegex::kValid},
      {"class_leaves_no_room_for_the_end", std::string(239, 'a') + "[a]", GRegex::kTooLong},
      {"repetition_in_the_last_cell", std::string(254, 'a') + "*", GRegex::kValid},
      {"swapped_repetition_leaves_no_room", std::string(253, 'b') + "a*a", GRegex::kTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GRegex expression(c.pattern.c_str());
    EXPECT_EQ(expression.TakeStatus(), c.status);
    EXPECT_EQ(expression.TakeStatus(), GRegex::kValid);
  }
}

TEST(GRegex, SearchingWithAnInvalidExpressionRaisesAndFindsNothing) {
  RecordingErrorHandler handler;
  GRegex expression("ab+*");
  uint32_t length = 7;
  EXPECT_EQ(expression.Search(RWCString("abb"), &length, 0), RW_NPOS);
  EXPECT_EQ(length, 0u);
  ASSERT_EQ(handler.Count(), 1u);
  EXPECT_EQ(handler.Records()[0].kind, "internal");
  EXPECT_EQ(handler.Records()[0].text, "[BADRE] Attempt to use invalid regular expression");

  // With its status taken, what was compiled before the fault is searched.
  expression.TakeStatus();
  EXPECT_EQ(expression.Search(RWCString("xabb"), &length, 0), 1u);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(handler.Count(), 1u);

  GRegex unclosed("ab[cd");
  unclosed.TakeStatus();
  EXPECT_EQ(unclosed.Search(RWCString("xabc"), &length, 0), 1u);
  EXPECT_EQ(length, 2u);
}

TEST(GRegex, CopiesKeepCellsAndStatusAndAssignmentRecompiles) {
  RecordingErrorHandler handler;
  const GRegex bad("[x");
  GRegex copy(bad);
  EXPECT_EQ(copy.TakeStatus(), GRegex::kBadPattern);

  GRegex expression("b+");
  GRegex other(expression);
  EXPECT_EQ(other.Search(RWCString("abbc"), nullptr, 0), 1u);
  other = "c";
  EXPECT_EQ(other.Search(RWCString("abbc"), nullptr, 0), 3u);
  other = expression;
  EXPECT_EQ(other.Search(RWCString("abbc"), nullptr, 0), 1u);
  other = RWCString("a*$");
  uint32_t length = 0;
  EXPECT_EQ(other.Search(RWCString("baa"), &length, 0), 1u);
  EXPECT_EQ(length, 2u);
  GRegex& self = other;
  other = self;
  EXPECT_EQ(other.Search(RWCString("baa"), &length, 0), 1u);
  other = bad;
  EXPECT_EQ(other.TakeStatus(), GRegex::kBadPattern);
  EXPECT_EQ(handler.Count(), 0u);
}

TEST(GRegex, StringIndexAndSliceMatchingSeeTheSameMatch) {
  RWCString name("Microsoft Word - Report.doc");
  const GRegex prefix("Microsoft [A-Z,a-z]+ - ");
  uint32_t length = 0;
  EXPECT_EQ(name.Index(prefix, &length, 0), 0u);
  EXPECT_EQ(length, 17u);
  EXPECT_EQ(name.Index(GRegex("o"), 5), 6u);
  EXPECT_EQ(name.Index(GRegex("o")), 4u);

  GSubString match = name.SliceMatching(prefix);
  EXPECT_FALSE(match.IsNull());
  EXPECT_EQ(match.Start(), 0u);
  EXPECT_EQ(match.Length(), 17u);
  match = "";
  EXPECT_TRUE(name == "Report.doc");

  GSubString later = name.SliceMatching(GRegex("[.][a-z]+$"), 2);
  EXPECT_EQ(later.Start(), 6u);
  EXPECT_TRUE(later == ".doc");

  GSubString none = name.SliceMatching(prefix);
  EXPECT_TRUE(none.IsNull());
  EXPECT_EQ(none.Start(), RW_NPOS);
  EXPECT_EQ(none.Length(), 0u);
}

TEST(GRegex, BacktrackingStaysPolynomial) {
  // Without remembering failed continuations, this takes time exponential
  // in the number of stars.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "a*";
  pattern += "b";
  const std::string text(400, 'a');
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(SearchIn(pattern.c_str(), text).position, RW_NPOS);
  const Match found = SearchIn(pattern.c_str(), text + "b");
  EXPECT_EQ(found.position, 0u);
  EXPECT_EQ(found.length, 401u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

}  // namespace
