#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "foundation/persistence.h"
#include "foundation/testing/persistence_test_support.h"
#include "foundation/testing/test_collectables.h"

namespace {

// Each thread saves and restores graphs of its own at the same time as the
// others. Tables are per thread, so every save numbers its objects from 1
// and gives the same bytes as a save made alone.
TEST(ObjectPersistenceThread, SavesAndRestoresOnThreadsKeepTheirOwnNumbering) {
  TestLeaf shared(5);
  const TestPair original(&shared, new TestPair(&shared, nullptr));
  const std::string expected = SaveGraph(StoreForm::kBinary, &original);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        if (SaveGraph(StoreForm::kBinary, &original) != expected) ++failures;
        bool good = false;
        RWCollectable* restored = RestoreCollectable(StoreForm::kBinary, expected, good);
        if (!good || SaveGraph(StoreForm::kBinary, restored) != expected) ++failures;
        DeleteGraph(restored);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  delete original.second;
}

}  // namespace
