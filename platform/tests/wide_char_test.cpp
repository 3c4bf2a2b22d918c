#include "platform/wide_char.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// Both compilers must store wide literals as UTF-16, outside the BMP too.
TEST(WideChar, LiteralsAreUtf16OnEveryBuild) {
  std::basic_string_view<WideChar> text = QV_WIDE("A\u00e9\u20ac\U0001F600");
  ASSERT_EQ(text.size(), 5u);
  EXPECT_EQ(text[0], 0x0041);
  EXPECT_EQ(text[1], 0x00E9);
  EXPECT_EQ(text[2], 0x20AC);
  EXPECT_EQ(text[3], 0xD83D);
  EXPECT_EQ(text[4], 0xDE00);
}

}  // namespace
