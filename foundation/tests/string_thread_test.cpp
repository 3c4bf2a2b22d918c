#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

namespace {

uint32_t RefsOf(const RWCString& s) { return GStringBlock::OfText(const_cast<char*>(s.Data()))->refs; }

// Each thread copies strings that the other thread copies too, edits its
// copies (which must unshare first) and lets them go; the blocks they share
// must come out with exact counts and unchanged text.
TEST(StringThread, CopiesOfSharedStringsEditedOnTwoThreads) {
  const RWCString narrow("shared narrow text");
  const RWWString wide(QV_WIDE("shared wide text"));
  auto work = [&](char mark) {
    for (int i = 0; i < 5000; ++i) {
      RWCString copy(narrow);
      RWCString second;
      second = copy;
      copy.Append(&mark, 1);
      second.CharAt(0) = mark;
      RWWString wideCopy(wide);
      wideCopy.MakeUpper();
      RWCString empty;  // every empty string shares one block too
      empty = "";
      if (copy.Length() != narrow.Length() + 1 || second.Data()[0] != mark || wideCopy.Data()[0] != 'S') {
        ADD_FAILURE() << "edit lost on thread " << mark;
        return;
      }
    }
  };
  std::thread first(work, 'x');
  std::thread second(work, 'y');
  first.join();
  second.join();
  EXPECT_TRUE(narrow == "shared narrow text");
  EXPECT_TRUE(wide == QV_WIDE("shared wide text"));
  EXPECT_EQ(RefsOf(narrow), 0u);
}

TEST(StringThread, LastOwnerOnEitherThreadFreesTheBlock) {
  // Under the address sanitizer a double free or a leak of the block shows.
  for (int round = 0; round < 200; ++round) {
    RWCString* original = new RWCString(std::string(40, 'a' + round % 26).c_str());
    RWCString left(*original);
    RWCString right(*original);
    delete original;
    std::thread a([&] { left = RWCString(); });
    std::thread b([&] { right.Append("!"); });
    a.join();
    b.join();
    EXPECT_EQ(right.Length(), 41u);
    EXPECT_EQ(RefsOf(right), 0u);
  }
}

}  // namespace
