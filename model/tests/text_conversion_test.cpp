#include "model/objects/text_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/testing/string_printers.h"
#include "model/objects/framework_version.h"

namespace {

using WideText = std::basic_string<WideChar>;

WideText Text(const RWWString& s) { return WideText(s.Data(), s.Length()); }
std::string Text(const RWCString& s) { return std::string(s.Data(), s.Length()); }

// Rows that hold in every code page the module runs with.
TEST(TextConversion, AsciiAndEmptyTextConvertUnchanged) {
  struct Case {
    const char* name;
    std::string narrow;
    WideText wide;
  };
  const Case cases[] = {
      {"empty", "", QV_WIDE("")},
      {"letters", "Letter", QV_WIDE("Letter")},
      {"path", "C:\\Temp\\a.prn", QV_WIDE("C:\\Temp\\a.prn")},
      {"control_and_del", std::string("\x01\t\x7F", 3), WideText{0x01, 0x09, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RWWString wide(QV_WIDE("previous"));
    EXPECT_EQ(NarrowToWide(RWCString(c.narrow.data(), static_cast<uint32_t>(c.narrow.size())), wide), 1);
    EXPECT_EQ(Text(wide), c.wide);
    RWCString narrow("previous");
    EXPECT_EQ(WideToNarrow(RWWString(c.wide.data(), static_cast<uint32_t>(c.wide.size())), narrow), 1);
    EXPECT_EQ(Text(narrow), c.narrow);
  }
}

TEST(TextConversion, TextThatDoesNotConvertBecomesEmpty) {
  // No code page the module runs with has a character for a lone
  // surrogate.
  const WideChar lone[] = {0x41, 0xD800, 0x42};
  RWCString narrow("previous");
  EXPECT_EQ(WideToNarrow(RWWString(lone, 3), narrow), 1);
  EXPECT_EQ(narrow.Length(), 0u);
}

TEST(TextConversion, WideToWideCopies) {
  RWWString to;
  EXPECT_EQ(WideToWide(RWWString(QV_WIDE("Tray 2")), to), 1);
  EXPECT_EQ(Text(to), QV_WIDE("Tray 2"));
}

TEST(FrameworkVersion, AnswersFourTwoOneEight) {
  uint32_t high = 0;
  uint32_t low = 0;
  GetFrameworkVersion(high, low);
  EXPECT_EQ(high >> 16, 4u);
  EXPECT_EQ(high & 0xFFFF, 2u);
  EXPECT_EQ(low >> 16, 1u);
  EXPECT_EQ(low & 0xFFFF, 8u);
  EXPECT_STREQ(GetBuildDate(), "Jun 29 2001");
  EXPECT_STREQ(GetBuildTime(), "21:42:28");
}

}  // namespace
