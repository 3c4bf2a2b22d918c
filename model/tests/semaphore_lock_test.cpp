#include "model/os/semaphore_lock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Releasing a semaphore beyond its maximum fails; only that answer (-2)
// counts as a failed unlock.
TEST(SemaphoreLock, UnlockWhileFreeFails) {
  GSemaphoreLock lock;
  EXPECT_EQ(lock.Unlock(), GLock::kUnlockFailed);
  EXPECT_EQ(lock.Lock(), 0);
  EXPECT_EQ(lock.Unlock(), 0);
  EXPECT_EQ(lock.Unlock(), GLock::kUnlockFailed);
}

// Owned by no thread: taken on one thread, released on another.
TEST(SemaphoreLockThread, ReleasedByAnotherThreadAndSerialisesCounting) {
  GSemaphoreLock lock;
  ASSERT_EQ(lock.Lock(), 0);
  std::thread releaser([&] { EXPECT_EQ(lock.Unlock(), 0); });
  releaser.join();

  int counter = 0;
  auto work = [&] {
    for (int i = 0; i < 2000; ++i) {
      ASSERT_EQ(lock.Lock(), 0);
      ++counter;
      ASSERT_EQ(lock.Unlock(), 0);
    }
  };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 4000);
}

}  // namespace
