#include "foundation/rw_cstring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/string_printers.h"

namespace {

uint32_t RefsOf(const RWCString& s) { return GStringBlock::OfText(const_cast<char*>(s.Data()))->refs; }

std::string Text(const RWCString& s) { return std::string(s.Data(), s.Length()); }

TEST(RWCString, ConstructorsPickExactOrRoundedCapacity) {
  struct Case {
    const char* name;
    RWCString value;
    std::string text;
    uint32_t capacity;
  };
  const char ab[] = "ab\0cd";
  const Case cases[] = {
      {"default_is_empty", RWCString(), "", 0},
      {"text_fits_exactly", RWCString("hello"), "hello", 5},
      {"counted_text_keeps_zero_bytes", RWCString(ab, 5), std::string(ab, 5), 5},
      {"empty_text_is_empty", RWCString(""), "", 0},
      {"null_text_is_empty", RWCString(static_cast<const char*>(nullptr)), "", 0},
      {"repeated_character", RWCString('x', 3), "xxx", 3},
      {"one_character_gets_initial_capacity", RWCString('x'), "x", 15},
      {"capacity_without_text", RWCString(GStringCapacity{40}), "", 40},
      {"zero_capacity_is_empty", RWCString(GStringCapacity{0}), "", 0},
  };
  const RWCString empty;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Text(c.value), c.text);
    EXPECT_EQ(c.value.Capacity(), c.capacity);
    EXPECT_EQ(c.value.Data()[c.value.Length()], '\0');
    // Every empty string without a capacity shares the one empty block.
    if (c.capacity == 0) {
      EXPECT_EQ(c.value.Data(), empty.Data());
    }
  }
}

TEST(RWCString, AppendingOneCharacterAtATimeGrowsInSteps) {
  RWCString s;
  std::vector<uint32_t> grownAt;
  std::vector<uint32_t> capacities;
  const char* previous = s.Data();
  for (uint32_t n = 1; n <= 50; ++n) {
    s.Append("z", 1);
    if (s.Data() != previous) {
      grownAt.push_back(n);
      capacities.push_back(s.Capacity());
      previous = s.Data();
    }
  }
  EXPECT_EQ(grownAt, (std::vector<uint32_t>{1, 16, 32, 48}));
  EXPECT_EQ(capacities, (std::vector<uint32_t>{15, 31, 47, 63}));
  EXPECT_EQ(Text(s), std::string(50, 'z'));
}

TEST(RWCString, AppendOfCharactersReallocatesToAnExactFit) {
  RWCString s("ab");
  s.Append('c', 3);
  EXPECT_EQ(Text(s), "abccc");
  EXPECT_EQ(s.Capacity(), 5u);
  s.Prepend('-', 2);
  EXPECT_EQ(Text(s), "--abccc");
  EXPECT_EQ(s.Capacity(), 15u);
}

TEST(RWCString, TextTakenFromTheStringItselfIsCopiedBeforeTheBlockChanges) {
  RWCString s("abcdefghijklmnop");  // 16 characters, exact fit
  s.Append(s);
  EXPECT_EQ(Text(s), "abcdefghijklmnopabcdefghijklmnop");

  RWCString t(GStringCapacity{64});
  t = "0123456789";
  // Room enough to edit in place, but the inserted text moves with the tail.
  t.Replace(2, 0, t.Data() + 1, 5);
  EXPECT_EQ(Text(t), "011234523456789");

  RWCString u("hello");
  u = u.Data() + 1;
  EXPECT_EQ(Text(u), "ello");
}

TEST(RWCString, ShrinkingKeepsTheBlockUnlessTooMuchWouldBeWasted) {
  struct Case {
    const char* name;
    uint32_t newLength;
    bool sameBlock;
    uint32_t capacity;
  };
  const Case cases[] = {
      {"waste_of_14_keeps_the_block", 97, true, 111},
      {"waste_of_15_keeps_the_block", 96, true, 111},
      {"waste_of_21_reallocates_rounded", 90, false, 95},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RWCString s(GStringCapacity{111});
    s.Append('q', 100);
    ASSERT_EQ(s.Capacity(), 111u);
    const char* before = s.Data();
    s.Resize(c.newLength);
    EXPECT_EQ(s.Data() == before, c.sameBlock);
    EXPECT_EQ(s.Capacity(), c.capacity);
    EXPECT_EQ(Text(s), std::string(c.newLength, 'q'));
  }
}

TEST(RWCString, CopiesShareUntilOneChanges) {
  RWCString original("shared text");
  {
    RWCString copy(original);
    RWCString assigned;
    assigned = original;
    EXPECT_EQ(copy.Data(), original.Data());
    EXPECT_EQ(assigned.Data(), original.Data());
    EXPECT_EQ(RefsOf(original), 2u);

    copy.CharAt(0) = 'S';
    assigned.MakeUpper();
    EXPECT_EQ(Text(original), "shared text");
    EXPECT_EQ(Text(copy), "Shared text");
    EXPECT_EQ(Text(assigned), "SHARED TEXT");
    EXPECT_NE(copy.Data(), original.Data());
    EXPECT_EQ(RefsOf(original), 0u);
  }
  EXPECT_EQ(RefsOf(original), 0u);
  original = original;
  EXPECT_EQ(Text(original), "shared text");
}

TEST(RWCString, AssigningEmptyTextKeepsAPrivateBlockButLetsGoOfASharedOne) {
  RWCString sole(GStringCapacity{40});
  sole.Append('a', 40);
  const char* block = sole.Data();
  sole = "";
  EXPECT_EQ(sole.Data(), block);
  EXPECT_EQ(sole.Length(), 0u);
  EXPECT_EQ(sole.Capacity(), 40u);
  EXPECT_EQ(sole.Data()[0], '\0');

  RWCString shared("some text");
  RWCString other(shared);
  shared = "";
  EXPECT_EQ(shared.Data(), RWCString().Data());
  EXPECT_EQ(Text(other), "some text");
  EXPECT_EQ(RefsOf(other), 0u);
}

TEST(RWCString, ReplaceInsertAndResize) {
  RWCString s("hello world");
  s.Replace(6, 5, "there", 5);
  EXPECT_EQ(Text(s), "hello there");
  s.Replace(5, 100, nullptr, 7);  // removal runs to the end; no text inserts nothing
  EXPECT_EQ(Text(s), "hello");
  s.Replace(99, 0, "!", 1);  // a position past the end is the end
  EXPECT_EQ(Text(s), "hello!");
  s.Insert(0, ">> ");
  s.Prepend("[").Append("]");
  EXPECT_EQ(Text(s), "[>> hello!]");
  s.Resize(4);
  EXPECT_EQ(Text(s), "[>> ");
  s.Resize(6);
  EXPECT_EQ(Text(s), "[>>   ");
  RWCString tail("xy");
  s.Append(tail).Prepend(tail);
  EXPECT_EQ(Text(s), "xy[>>   xy");
}

TEST(RWCString, AnEditPastTheLargestLengthIsRefusedAsOutOfMemory) {
  RecordingErrorHandler handler;
  RWCString s("abc");
  const char more[] = "d";
  s.Append(more, 0xFFFFFFFFu);  // nothing is read: the length alone is refused
  ASSERT_EQ(handler.Count(), 1u);
  EXPECT_EQ(handler.Records()[0].kind, "allocation");
  EXPECT_EQ(Text(s), "abc");
}

TEST(RWCString, CapacityAndMakeUniqueAndCopy) {
  RWCString s("abc");
  EXPECT_EQ(s.Capacity(2), 3u);  // not above the length
  EXPECT_EQ(s.Capacity(3), 3u);
  EXPECT_EQ(s.Capacity(20), 20u);
  EXPECT_EQ(Text(s), "abc");

  RWCString shared(s);
  shared.MakeUnique();
  EXPECT_NE(shared.Data(), s.Data());
  EXPECT_EQ(shared.Capacity(), 3u);
  const char* own = shared.Data();
  shared.MakeUnique();  // already alone: nothing to copy
  EXPECT_EQ(shared.Data(), own);

  RWCString copy = s.Copy();
  EXPECT_NE(copy.Data(), s.Data());
  EXPECT_EQ(Text(copy), "abc");
  EXPECT_EQ(copy.Capacity(), 3u);
}

TEST(RWCString, TuningValuesShapeTheCapacityRule) {
  EXPECT_EQ(RWCString::AdjustCapacity(0), 15u);
  EXPECT_EQ(RWCString::AdjustCapacity(15), 15u);
  EXPECT_EQ(RWCString::AdjustCapacity(16), 31u);
  EXPECT_EQ(RWCString::AdjustCapacity(47), 47u);
  EXPECT_EQ(RWCString::AdjustCapacity(48), 63u);
  EXPECT_EQ(RWCString::AdjustCapacity(0xFFFFFFF0u), 0xFFFFFFFFu);

  EXPECT_EQ(RWCString::SetInitialCapacity(7), 15u);
  EXPECT_EQ(RWCString::SetResizeIncrement(4), 16u);
  EXPECT_EQ(RWCString::AdjustCapacity(8), 11u);
  EXPECT_EQ(RWCString('a').Capacity(), 7u);
  EXPECT_EQ(RWCString::SetResizeIncrement(1000), 4u);
  // Rounding never wraps below the length asked for.
  EXPECT_EQ(RWCString::AdjustCapacity(0xFFFFFFFEu), 0xFFFFFFFEu);
  EXPECT_EQ(RWCString::SetResizeIncrement(0), 1000u);
  EXPECT_EQ(RWCString::AdjustCapacity(9), 9u);  // a zero step counts as one
  EXPECT_EQ(RWCString::SetMaxWaste(0), 15u);
  RWCString s(GStringCapacity{10});
  s.Append('a', 5);
  const char* block = s.Data();
  s.Resize(4);
  EXPECT_NE(s.Data(), block);

  RWCString::SetInitialCapacity(15);
  RWCString::SetResizeIncrement(16);
  EXPECT_EQ(RWCString::SetMaxWaste(15), 0u);
  // The wide kind keeps its own values.
  EXPECT_EQ(RWCString::AdjustCapacity(16), 31u);
}

TEST(RWCString, CompareFollowsTheNarrowOrderingRules) {
  struct Case {
    const char* name;
    RWCString left;
    const char* right;
    int caseFlag;
    int expected;
  };
  const Case cases[] = {
      {"prefix_is_smaller", "abc", "abcd", 0, -1},
      {"longer_is_greater", "abcd", "abc", 0, 1},
      {"equal", "abc", "abc", 0, 0},
      {"folded_equal", "ABC", "abc", 1, 0},
      {"unfolded_upper_is_smaller", "ABC", "abc", 0, -1},
      {"first_difference_decides", "abd", "abcz", 0, 1},
      {"high_bytes_are_negative", "\x80", "a", 0, -1},
      {"empty_against_text", "", "a", 0, -1},
      {"null_text_is_empty", "a", nullptr, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.left.Compare(c.right, c.caseFlag), c.expected);
  }
}

TEST(RWCString, CompareWithAStringUsesUnsignedBytesThenLength) {
  // Against another string the unfolded order is a byte comparison, so a
  // high byte is greater where text comparison calls it negative.
  EXPECT_GT(RWCString("\x80").Compare(RWCString("a")), 0);
  EXPECT_EQ(RWCString("\x80").Compare(RWCString("a"), 1), -1);
  EXPECT_EQ(RWCString("abc").Compare(RWCString("abcd")), -1);
  EXPECT_EQ(RWCString("abcd").Compare(RWCString("abc")), 1);
  EXPECT_EQ(RWCString("HeLLo").Compare(RWCString("hello"), 1), 0);
  EXPECT_LT(RWCString("HeLLo").Compare(RWCString("hello")), 0);
  const char a[] = "a\0b";
  const char b[] = "a\0c";
  EXPECT_LT(RWCString(a, 3).Compare(RWCString(b, 3)), 0);
}

TEST(RWCString, FindLooksForThePatternFromTheStart) {
  struct Case {
    const char* name;
    const char* pattern;
    uint32_t m;
    uint32_t start;
    int caseFlag;
    uint32_t expected;
  };
  const RWCString s("Hello hello");
  const Case cases[] = {
      {"first_match", "llo", 3, 0, 0, 2},
      {"after_start", "llo", 3, 3, 0, 8},
      {"case_matters", "hello", 5, 0, 0, 6},
      {"case_folded", "HELLO", 5, 1, 1, 6},
      {"at_the_very_end", "o", 1, 10, 0, 10},
      {"empty_pattern_answers_start", "", 0, 4, 0, 4},
      {"empty_pattern_at_the_end", "", 0, 11, 0, 11},
      {"beyond_the_end", "lo", 2, 10, 0, RW_NPOS},
      {"absent", "xyz", 3, 0, 0, RW_NPOS},
      {"huge_start_does_not_wrap", "lo", 2, 0xFFFFFFFFu, 0, RW_NPOS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(s.Find(c.pattern, c.m, c.start, c.caseFlag), c.expected);
  }
}

TEST(RWCString, CharacterSearchesStopAtTheFirstZeroByteUnlessToldToSearchTheLength) {
  const char raw[] = "a/b\0c/d";
  const RWCString s(raw, 7);
  EXPECT_EQ(s.FindChar('/'), 1u);
  EXPECT_EQ(s.FindLastChar('/'), 1u);
  EXPECT_EQ(s.FindChar('c'), RW_NPOS);
  EXPECT_EQ(s.FindCharInLength('c'), 4u);
  EXPECT_EQ(s.FindLastCharInLength('/'), 5u);
  EXPECT_EQ(s.FindLastCharInLength('z'), RW_NPOS);
  EXPECT_EQ(s.FindAnyOf("dc"), 4u);
  EXPECT_EQ(s.FindAnyOf("xyz"), RW_NPOS);
  EXPECT_EQ(s.FindAnyOf("\0c", 2), 3u);
}

TEST(RWCString, HashFoldsGroupsOfFourAndTheBytesLeftOver) {
  struct Case {
    const char* name;
    RWCString text;
    int caseFlag;
    uint32_t expected;
  };
  const Case cases[] = {
      {"empty", "", 0, 0},
      {"one_byte", "a", 0, 0x41},
      {"one_group", "abcd", 0, 0x646362E1},
      {"group_and_one_byte", "abcde", 0, 0x8C6C5849},
      {"high_byte_is_sign_extended", "\x80", 0, 0xFFFFFFA0},
      {"sign_extension_swamps_the_earlier_bytes", "ab\x80", 0, 0xFFFFFFE0},
      {"folded_goes_byte_by_byte_in_upper_case", "aB", 1, 0x62},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.text.Hash(c.caseFlag), c.expected);
  }
  EXPECT_EQ(RWCString("Mixed Case").Hash(1), RWCString("MIXED case").Hash(1));
  EXPECT_EQ(StringHash(RWCString("abcde")), 0x8C6C5849u);
}

TEST(RWCString, CharAtChecksTheIndexAndUnshares) {
  RecordingErrorHandler handler;
  RWCString s("abcde");
  RWCString copy(s);
  s.CharAt(4) = 'E';
  EXPECT_EQ(Text(s), "abcdE");
  EXPECT_EQ(Text(copy), "abcde");
  EXPECT_EQ(handler.Count(), 0u);

  s.CharAt(5) = 'X';
  s.CharAt(RW_NPOS) = 'Y';
  EXPECT_TRUE(s.CheckIndex(4));
  EXPECT_FALSE(s.CheckIndex(5));
  EXPECT_EQ(handler.Texts(),
            (std::vector<std::string>{"[INDEXERR] Illegal Index (5) for collection or string with 5 elements",
                                      "[NPOSINDEX] The value RW_NPOS cannot be used as an index.",
                                      "[INDEXERR] Illegal Index (5) for collection or string with 5 elements"}));
  EXPECT_EQ(handler.Records()[0].kind, "bounds");
  // The write after a returning handler lands nowhere.
  EXPECT_EQ(Text(s), "abcdE");
  EXPECT_EQ(s.Data()[5], '\0');
}

TEST(RWCString, ViewsOfTrimSubStringAndSlice) {
  RWCString s("  padded  ");
  EXPECT_TRUE(s.Trim(3, ' ') == "padded");
  EXPECT_TRUE(s.Trim(1, ' ') == "padded  ");
  EXPECT_TRUE(s.Trim(2, ' ') == "  padded");
  EXPECT_TRUE(s.Trim(0, ' ') == "  padded  ");
  const RWCString blanks("    ");
  EXPECT_TRUE(blanks.Trim(1, ' ').IsNull());
  EXPECT_TRUE(blanks.Trim(2, ' ').IsNull());
  EXPECT_TRUE(RWCString().Trim(3, ' ').IsNull());

  EXPECT_EQ(s.SubString("dd").Start(), 4u);
  EXPECT_TRUE(s.SubString("DD", 0, 1) == "dd");
  EXPECT_TRUE(s.SubString("dd", 5).IsNull());
  EXPECT_EQ(s.SubString("zz").Length(), 0u);

  EXPECT_TRUE(s.Slice(2, 3) == "pad");
  // A slice never reaches past the string.
  EXPECT_TRUE(s.Slice(8, 10) == "  ");
  EXPECT_TRUE(s.Slice(50, 2) == "");

  const RWCString trimmed = s.Trim(3, ' ');
  EXPECT_EQ(Text(trimmed), "padded");
  EXPECT_EQ(trimmed.Capacity(), 15u);
  EXPECT_EQ(RWCString(blanks.Trim(3, ' ')).Length(), 0u);
}

TEST(RWCString, ConcatenationAndEquality) {
  const RWCString ab("ab");
  EXPECT_EQ(Text(ab + "cd"), "abcd");
  EXPECT_EQ(Text("cd" + ab), "cdab");
  EXPECT_EQ(Text(ab + ab), "abab");
  EXPECT_EQ((ab + "cd").Capacity(), 15u);
  EXPECT_EQ((ab + std::string(20, 'x').c_str()).Capacity(), 31u);

  EXPECT_TRUE(ab == "ab");
  EXPECT_TRUE("ab" == ab);
  EXPECT_FALSE(ab == "abc");
  EXPECT_FALSE(ab == "a");
  EXPECT_TRUE(ab != "AB");
  EXPECT_EQ(ab, RWCString("ab"));
  const char zero[] = "ab\0";
  // Equality counts the whole length, zero bytes included.
  EXPECT_FALSE(RWCString(zero, 3) == ab);
  EXPECT_FALSE(RWCString(zero, 3) == "ab");
}

TEST(RWCString, CaseMappingAndAscii) {
  const RWCString s("MiXed 123");
  EXPECT_EQ(Text(ToUpper(s)), "MIXED 123");
  EXPECT_EQ(Text(ToLower(s)), "mixed 123");
  EXPECT_EQ(Text(s), "MiXed 123");
  EXPECT_TRUE(s.IsAscii());
  EXPECT_FALSE(RWCString("caf\xE9").IsAscii());
  EXPECT_TRUE(RWCString().IsAscii());
}

TEST(RWCString, MultibyteLengthCountsUpToTheFirstZeroByte) {
  EXPECT_EQ(RWCString("plain").MultibyteLength(), 5u);
  EXPECT_EQ(RWCString().MultibyteLength(), 0u);
  const char zero[] = "ab\0cd";
  EXPECT_EQ(RWCString(zero, 5).MultibyteLength(), 2u);
}

TEST(RWCString, CollationKeysOrderAsCollateDoes) {
  const RWCString apple("apple");
  const RWCString banana("banana");
  EXPECT_LT(apple.Collate("banana"), 0);
  EXPECT_GT(banana.Collate("apple"), 0);
  EXPECT_EQ(apple.Collate("apple"), 0);
  EXPECT_LT(apple.CollationKey().Compare(banana.CollationKey()), 0);
  EXPECT_EQ(apple.CollationKey().Compare(RWCString("apple").CollationKey()), 0);
}

TEST(RWStringID, IsTheNarrowTextItWasBuiltFrom) {
  const RWStringID id("GPrinter");
  EXPECT_TRUE(id == "GPrinter");
  EXPECT_EQ(id.Length(), 8u);
}

}  // namespace
