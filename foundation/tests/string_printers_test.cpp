#include "foundation/testing/string_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(StringPrinters, PrintQuotedTextWithEscapes) {
  EXPECT_EQ(::testing::PrintToString(RWCString("a\"b\n\xE9")), "\"a\\x22b\\x0A\\xE9\"");
  const WideChar wide[] = {'o', 'k', 0x20AC, '\\', 0};
  EXPECT_EQ(::testing::PrintToString(RWWString(wide)), "\"ok\\u20AC\\u005C\"");
  EXPECT_EQ(::testing::PrintToString(RWCString()), "\"\"");
}

}  // namespace
