#include "foundation/rw_wstring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/string_printers.h"

namespace {

using WideText = std::basic_string<WideChar>;

WideText Text(const RWWString& s) { return WideText(s.Data(), s.Length()); }
std::string Narrow(const RWCString& s) { return std::string(s.Data(), s.Length()); }

TEST(RWWString, ConstructorsFromWideText) {
  struct Case {
    const char* name;
    RWWString value;
    WideText text;
    uint32_t capacity;
  };
  const Case cases[] = {
      {"default_is_empty", RWWString(), QV_WIDE(""), 0},
      {"text_fits_exactly", RWWString(QV_WIDE("name")), QV_WIDE("name"), 4},
      {"counted_text", RWWString(QV_WIDE("name"), 2), QV_WIDE("na"), 2},
      {"repeated_unit", RWWString(WideChar(0x263A), 2), WideText(2, WideChar(0x263A)), 2},
      {"one_unit_gets_initial_capacity", RWWString(WideChar('k')), QV_WIDE("k"), 15},
      {"capacity_without_text", RWWString(GStringCapacity{9}), QV_WIDE(""), 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Text(c.value), c.text);
    EXPECT_EQ(c.value.Capacity(), c.capacity);
    EXPECT_EQ(c.value.Data()[c.value.Length()], 0);
  }
}

TEST(RWWString, NarrowConstructorsWidenEachByteWithoutACodePage) {
  const char bytes[] = "a\x80\xE9\xFF";
  const WideText widened = {WideChar('a'), WideChar(0x80), WideChar(0xE9), WideChar(0xFF)};
  EXPECT_EQ(Text(RWWString(bytes)), widened);
  EXPECT_EQ(Text(RWWString(bytes, 2)), widened.substr(0, 2));
  EXPECT_EQ(Text(RWWString(RWCString(bytes))), widened);
  const RWWString one('\xE9');
  EXPECT_EQ(Text(one), WideText(1, WideChar(0xE9)));
  EXPECT_EQ(one.Capacity(), 15u);
  EXPECT_EQ(RWWString("").Length(), 0u);
  EXPECT_EQ(RWWString(static_cast<const char*>(nullptr), 3).Length(), 0u);
}

TEST(RWWString, MultibyteConversionOfAsciiIsByteForByte) {
  const RWWString wide = RWWString::FromMultibyte("Printer 42");
  EXPECT_EQ(Text(wide), QV_WIDE("Printer 42"));
  EXPECT_EQ(wide.Capacity(), wide.Length());
  EXPECT_EQ(Narrow(wide.ToMultibyte()), "Printer 42");
  EXPECT_EQ(Text(RWWString::FromMultibyte(RWCString("abc"))), QV_WIDE("abc"));
  EXPECT_EQ(Text(RWWString::FromMultibyte("abcdef", 3)), QV_WIDE("abc"));
  EXPECT_EQ(RWWString::FromMultibyte("").Length(), 0u);
  EXPECT_EQ(RWWString::FromMultibyte(nullptr).Length(), 0u);
  // Past the stack buffer the conversion goes through the heap.
  const std::string longText(300, 'x');
  EXPECT_EQ(Text(RWWString::FromMultibyte(longText.c_str())), WideText(300, WideChar('x')));
}

TEST(RWWString, TextWithoutACharacterInTheCodePageNarrowsToEmpty) {
  const RWWString cjk(QV_WIDE("a\u4E00b"));
  EXPECT_EQ(cjk.ToMultibyte().Length(), 0u);
  EXPECT_FALSE(cjk.IsAscii());
  EXPECT_EQ(Narrow(cjk.ToAscii()), std::string("a\0b", 3));
}

TEST(RWWString, AsciiTestAndLowBytes) {
  EXPECT_TRUE(RWWString(QV_WIDE("plain")).IsAscii());
  EXPECT_FALSE(RWWString(WideChar(0x80)).IsAscii());
  EXPECT_EQ(Narrow(RWWString(QV_WIDE("plain")).ToAscii()), "plain");
  EXPECT_EQ(Narrow(RWWString(WideChar(0x1E9)).ToAscii()), "\xE9");
}

TEST(RWWString, CompareUsesUnsignedUnitsAgainstTextAndStorageBytesAgainstAString) {
  const RWWString high(WideChar(0x0100));
  const WideChar lower[] = {0x00FF, 0};
  EXPECT_EQ(high.Compare(lower), 1);
  // Little-endian storage puts the low byte first: 00 01 against FF 00.
  EXPECT_LT(high.Compare(RWWString(lower)), 0);

  struct Case {
    const char* name;
    RWWString left;
    const WideChar* right;
    int caseFlag;
    int expected;
  };
  const Case cases[] = {
      {"prefix_is_smaller", QV_WIDE("abc"), QV_WIDE("abcd"), 0, -1},
      {"longer_is_greater", QV_WIDE("abcd"), QV_WIDE("abc"), 0, 1},
      {"folded_equal", QV_WIDE("ABC"), QV_WIDE("abc"), 1, 0},
      {"unfolded_differs", QV_WIDE("ABC"), QV_WIDE("abc"), 0, -1},
      {"high_units_are_not_negative", RWWString(WideChar(0x8000)), QV_WIDE("a"), 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.left.Compare(c.right, c.caseFlag), c.expected);
  }
  EXPECT_EQ(RWWString(QV_WIDE("abc")).Compare(RWWString(QV_WIDE("abcd"))), -1);
  EXPECT_EQ(RWWString(QV_WIDE("ABC")).Compare(RWWString(QV_WIDE("abc")), 1), 0);
  EXPECT_EQ(RWWString(QV_WIDE("b")).Compare(RWWString(QV_WIDE("A")), 1), 1);
}

TEST(RWWString, EditsThatOtherPartsUse) {
  RWWString s(QV_WIDE("middle"));
  s.Append(QV_WIDE(" end")).Prepend(QV_WIDE("start "));
  EXPECT_EQ(Text(s), QV_WIDE("start middle end"));
  s.Replace(6, 6, QV_WIDE("centre"));
  EXPECT_EQ(Text(s), QV_WIDE("start centre end"));
  s.Replace(500, 0, QV_WIDE("!"));  // the position is clamped to the length
  EXPECT_EQ(Text(s), QV_WIDE("start centre end!"));
  s.Replace(0, 6, nullptr, 0);
  EXPECT_EQ(Text(s), QV_WIDE("centre end!"));
  s.Append(WideChar('?'), 2).Append(RWWString(QV_WIDE("x")));
  s.Prepend(RWWString(QV_WIDE("<"))).Prepend(WideChar('-'), 1).Append(QV_WIDE("yz"), 1);
  EXPECT_EQ(Text(s), QV_WIDE("-<centre end!??xy"));

  EXPECT_TRUE(s.Contains(QV_WIDE("END"), 1));
  EXPECT_FALSE(s.Contains(QV_WIDE("END")));
  EXPECT_EQ(s.Find(QV_WIDE("e"), 1, 5), 7u);
  EXPECT_EQ(s.FindChar(WideChar('e')), 3u);
  EXPECT_EQ(s.FindLastChar(WideChar('e')), 9u);
  EXPECT_EQ(s.FindAnyOf(QV_WIDE("?!")), 12u);
  EXPECT_EQ(s.FindAnyOf(QV_WIDE("xy"), 1), 15u);
  EXPECT_TRUE(s.Trim(3, WideChar('-')) == QV_WIDE("<centre end!??xy"));

  RWWString copy(s);
  s.MakeUpper();
  EXPECT_EQ(Text(s), QV_WIDE("-<CENTRE END!??XY"));
  s.MakeLower();
  EXPECT_EQ(Text(s), QV_WIDE("-<centre end!??xy"));
  EXPECT_EQ(Text(ToUpper(copy)), QV_WIDE("-<CENTRE END!??XY"));
  EXPECT_EQ(Text(ToLower(RWWString(QV_WIDE("ABC")))), QV_WIDE("abc"));
  EXPECT_TRUE(copy == QV_WIDE("-<centre end!??xy"));
  EXPECT_TRUE(QV_WIDE("-<centre end!??xy") == copy);
  EXPECT_FALSE(copy == QV_WIDE("-<centre end!??x"));
  EXPECT_TRUE(copy + QV_WIDE("1") == QV_WIDE("-<centre end!??xy1"));
}

TEST(RWWString, HashFoldsTwoUnitsAtATime) {
  EXPECT_EQ(RWWString(QV_WIDE("ab")).Hash(), 0x00620021u);
  EXPECT_EQ(RWWString(QV_WIDE("abc")).Hash(), 0x0C400043u);
  EXPECT_EQ(RWWString(QV_WIDE("aB")).Hash(1), 0x62u);
  EXPECT_EQ(RWWString(QV_WIDE("Key")).Hash(1), RWWString(QV_WIDE("kEY")).Hash(1));
  EXPECT_EQ(StringHash(RWWString(QV_WIDE("abc"))), 0x0C400043u);
  // Units are taken whole, not sign-extended.
  EXPECT_EQ(RWWString(WideChar(0x8001)).Hash(), 0x20u ^ 0x8001u);
}

TEST(RWWString, KeepsItsOwnEmptyBlockLockAndTuning) {
  EXPECT_EQ(RWWString::SetInitialCapacity(3), 15u);
  EXPECT_EQ(RWWString(WideChar('a')).Capacity(), 3u);
  EXPECT_EQ(RWCString('a').Capacity(), 15u);
  RWWString::SetInitialCapacity(15);
  EXPECT_EQ(RWWString().Data(), RWWString(QV_WIDE("")).Data());
}

TEST(CompareWideNoCase, FoldsThroughUpperCaseAndOrdersTheShorterFirst) {
  struct Case {
    const char* name;
    const WideChar* a;
    const WideChar* b;
    uint32_t n;
    int expected;
  };
  const Case cases[] = {
      {"same_letters_other_case", QV_WIDE("Tray"), QV_WIDE("tRAY"), RW_NPOS, 0},
      {"first_difference", QV_WIDE("abc"), QV_WIDE("ABD"), RW_NPOS, -1},
      {"shorter_is_smaller", QV_WIDE("ab"), QV_WIDE("abc"), RW_NPOS, -1},
      {"longer_is_greater", QV_WIDE("abc"), QV_WIDE("AB"), RW_NPOS, 1},
      {"limited_to_n", QV_WIDE("abcX"), QV_WIDE("ABCy"), 3, 0},
      {"difference_inside_n", QV_WIDE("abcX"), QV_WIDE("ABDy"), 3, -1},
      {"zero_units", QV_WIDE("a"), QV_WIDE("b"), 0, 0},
      {"both_empty", QV_WIDE(""), QV_WIDE(""), RW_NPOS, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.n == RW_NPOS ? CompareWideNoCase(c.a, c.b) : CompareWideNoCase(c.a, c.b, c.n), c.expected);
  }
}

}  // namespace
