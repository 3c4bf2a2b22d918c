#include "platform/code_page.h"

#include <gtest/gtest.h>

// Callers may pass no buffer when there is no room; nothing is written then,
// and only empty text fits.
TEST(CodePage, NoRoomHoldsOnlyEmptyText) {
  const char narrow[] = "a";
  const WideChar wide[] = {'a', 0};
  struct Case {
    const char* name;
    int32_t answer;
    int32_t expected;
  };
  const Case cases[] = {
      {"empty_narrow_text", platform::MultibyteToWide(narrow, 0, nullptr, 0), 0},
      {"narrow_text", platform::MultibyteToWide(narrow, 1, nullptr, 0), -1},
      {"empty_wide_text", platform::WideToMultibyte(wide, 0, nullptr, 0), 0},
      {"wide_text", platform::WideToMultibyte(wide, 1, nullptr, 0), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.answer, c.expected);
  }
}
