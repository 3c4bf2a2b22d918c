#include <gtest/gtest.h>

#include "foundation/error.h"

namespace {

// The real default handler, in a child process: the message reaches standard
// error and the process ends with code 1.
TEST(DefaultErrorHandlerDeathTest, EndsTheProcessWithCodeOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CheckIndex(5, 5), testing::ExitedWithCode(1),
              "Fatal Error: \\[INDEXERR\\] Illegal Index \\(5\\) for collection or string with 5 elements");
}

}  // namespace
