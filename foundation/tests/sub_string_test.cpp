#include "foundation/sub_string.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/testing/string_printers.h"

namespace {

std::string Text(const RWCString& s) { return std::string(s.Data(), s.Length()); }

TEST(GSubString, AssignmentReplacesTheViewedCharactersAndTakesTheNewLength) {
  RWCString s("key=value;");
  GSubString value = s.Slice(4, 5);
  value = "other text";
  EXPECT_EQ(Text(s), "key=other text;");
  EXPECT_EQ(value.Length(), 10u);
  value = RWCString("v");
  EXPECT_EQ(Text(s), "key=v;");
  GSubString key = s.Slice(0, 3);
  key = s.Slice(4, 1);  // from the same string
  EXPECT_EQ(Text(s), "v=v;");
  EXPECT_EQ(key.Length(), 1u);
}

TEST(GSubString, AssignmentLeavesSharersAloneAndANullViewDoesNothing) {
  RWCString s("abcdef");
  const RWCString copy(s);
  s.Slice(1, 2) = "XY";
  EXPECT_EQ(Text(s), "aXYdef");
  EXPECT_EQ(Text(copy), "abcdef");

  GSubString none = s.SubString("zzz");
  ASSERT_TRUE(none.IsNull());
  none = "ignored";
  EXPECT_EQ(Text(s), "aXYdef");
  EXPECT_EQ(none.Length(), 0u);
}

TEST(GSubString, EqualityCountsANullViewAsEmpty) {
  RWCString s("abc");
  const GSubString null = s.SubString("x");
  const GSubString emptySlice = s.Slice(1, 0);
  const GSubString bc = s.Slice(1, 2);
  struct Case {
    const char* name;
    bool equal;
    bool expected;
  };
  const Case cases[] = {
      {"null_equals_empty_text", null == "", true},
      {"null_equals_empty_string", null == RWCString(), true},
      {"null_equals_null", null == s.SubString("y"), true},
      {"null_equals_empty_slice", null == emptySlice, true},
      {"null_differs_from_text", null == "a", false},
      {"slice_equals_its_text", bc == "bc", true},
      {"slice_equals_a_string", bc == RWCString("bc"), true},
      {"slice_equals_a_slice", bc == RWCString("xbc").Slice(1, 2), true},
      {"prefix_is_not_equal", bc == "b", false},
      {"longer_is_not_equal", bc == "bcd", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.equal, c.expected);
  }
}

TEST(GSubString, CaseMappingTouchesOnlyTheViewAndUnshares) {
  RWCString s("hello world");
  const RWCString copy(s);
  s.Slice(6, 5).MakeUpper();
  EXPECT_EQ(Text(s), "hello WORLD");
  s.Slice(0, 1).MakeUpper();
  s.Slice(6, 3).MakeLower();
  EXPECT_EQ(Text(s), "Hello worLD");
  EXPECT_EQ(Text(copy), "hello world");
}

TEST(GSubString, CharAtChecksAgainstTheViewLength) {
  RecordingErrorHandler handler;
  RWCString s("abcdef");
  const RWCString copy(s);
  GSubString view = s.Slice(2, 3);
  view.CharAt(0) = 'C';
  view.CharAtUnchecked(2) = 'E';
  EXPECT_EQ(Text(s), "abCdEf");
  EXPECT_EQ(Text(copy), "abcdef");
  view.CharAt(3) = '!';
  view.CharAt(RW_NPOS) = '!';
  EXPECT_EQ(handler.Texts(),
            (std::vector<std::string>{"[INDEXERR] Illegal Index (3) for collection or string with 3 elements",
                                      "[NPOSINDEX] The value RW_NPOS cannot be used as an index."}));
  EXPECT_EQ(Text(s), "abCdEf");
}

TEST(GWSubString, CharAtReportsItsOwnRangeMessage) {
  RecordingErrorHandler handler;
  RWWString s(QV_WIDE("wide text"));
  GWSubString view = s.Slice(5, 4);
  view.CharAt(0) = WideChar('T');
  EXPECT_TRUE(s == QV_WIDE("wide Text"));
  view.CharAt(4) = WideChar('!');
  view.CharAt(RW_NPOS) = WideChar('!');
  ASSERT_EQ(handler.Count(), 2u);
  EXPECT_EQ(handler.Records()[0].kind, "bounds");
  EXPECT_EQ(handler.Records()[0].text, "[INDEX] Index (4) out of range [0->3]");
  EXPECT_EQ(handler.Records()[1].text, "[INDEX] Index (4294967295) out of range [0->3]");
  EXPECT_TRUE(s == QV_WIDE("wide Text"));

  view = QV_WIDE("words");
  EXPECT_TRUE(s == QV_WIDE("wide words"));
  EXPECT_EQ(view, RWWString(QV_WIDE("words")));
  EXPECT_TRUE(RWWString(s.Trim(1, WideChar('w'))) == QV_WIDE("ide words"));
}

}  // namespace
