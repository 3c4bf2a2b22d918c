#include "foundation/stream_state_adapter.h"

#include <gtest/gtest.h>

namespace {

TEST(GStreamStateAdapter, StateBitsAnswerTheirQueries) {
  struct Case {
    const char* name;
    uint32_t state;
    bool eof, fail, bad, good;
  };
  const Case cases[] = {
      {"good", 0, false, false, false, true},
      {"end_of_input", 1, true, false, false, false},
      {"end_of_input_and_failure", 3, true, true, false, false},
      {"bad", 4, false, false, true, false},
      {"every_bit", 7, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GStreamStateAdapter stream;
    EXPECT_EQ(stream.SetState(c.state), c.state);
    EXPECT_EQ(stream.State(), c.state);
    EXPECT_EQ(stream.IsEof(), c.eof);
    EXPECT_EQ(stream.IsFail(), c.fail);
    EXPECT_EQ(stream.IsBad(), c.bad);
    EXPECT_EQ(stream.IsGood(), c.good);
  }
}

}  // namespace
