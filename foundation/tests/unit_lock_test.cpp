#include "foundation/unit_lock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(UnitLock, ReleaseAnswersTheCountFromBeforeTheDecrement) {
  GUnitLock lock;
  int32_t count = -1;  // no owner
  AddReference(count, lock);
  AddReference(count, lock);
  EXPECT_EQ(ReadReference(count, lock), 1);
  EXPECT_EQ(ReleaseReference(count, lock), 1);
  EXPECT_EQ(ReleaseReference(count, lock), 0);  // the last owner
  EXPECT_EQ(count, -1);

  uint32_t shared = 0;
  AddReference(shared, lock);
  EXPECT_EQ(ReleaseReference(shared, lock), 1u);
  EXPECT_EQ(ReleaseReference(shared, lock), 0u);
  EXPECT_EQ(ReadReference(shared, lock), 0xFFFFFFFFu);
}

TEST(UnitLockThread, CountsStayExactUnderConcurrentChanges) {
  static GUnitLock lock;  // as the units keep theirs
  uint32_t count = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        AddReference(count, lock);
        AddReference(count, lock);
        ReleaseReference(count, lock);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(ReadReference(count, lock), 80000u);
}

}  // namespace
