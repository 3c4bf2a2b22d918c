#include "model/os/handle_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/testing/string_printers.h"
#include "model/tests/os_services_test_support.h"

namespace {

class HandleTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<GHandleTable::Entry> NewDriver(const char* printer) {
    return GHandleTable::NewEntry(std::make_unique<FakeDriver>(*Identity(printer, "D"), events_));
  }

  DriverEvents events_;
  GHandleTable table_;
};

TEST(HashHandle, FoldsTheHighHalfIntoTheLow) {
  EXPECT_EQ(HashHandle(0x12345678), 0x12345678u ^ 0x1234u);
  EXPECT_EQ(HashHandle(0), 0u);
}

// Taken candidates move the handle up; after 0xFFFFFFFF the search goes on
// at 1, and 0 is never a handle.
TEST_F(HandleTableTest, TakenCandidatesMoveToTheNextFreeHandle) {
  EXPECT_EQ(table_.Insert(NewDriver("a"), 0x40), 0x40u);
  EXPECT_EQ(table_.Insert(NewDriver("b"), 0x40), 0x41u);
  EXPECT_EQ(table_.Insert(NewDriver("c"), 0x40), 0x42u);
  EXPECT_EQ(table_.Insert(NewDriver("d"), 0), 1u);
  EXPECT_EQ(table_.Insert(NewDriver("e"), 0xFFFFFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(table_.Insert(NewDriver("f"), 0xFFFFFFFF), 2u);
  EXPECT_EQ(table_.Count(), 6u);

  std::unique_ptr<GDriverInterface> removed = table_.Remove(0x41);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->GetPrinterName(), RWWString("b"));
  EXPECT_EQ(table_.Remove(0x41), nullptr);
  EXPECT_EQ(table_.Find(0x41), nullptr);
  EXPECT_EQ(table_.Insert(NewDriver("g"), 0x40), 0x41u);
}

// Visits run bucket by bucket (handle modulo 64); TakeAll hands the entries
// over from the last bucket to the first.
TEST_F(HandleTableTest, VisitsInBucketOrderAndTakesAllFromTheLastBucket) {
  table_.Insert(NewDriver("h65"), 65);
  table_.Insert(NewDriver("h2"), 2);
  table_.Insert(NewDriver("h63"), 63);
  std::vector<std::string> visited;
  table_.VisitUntil([&](GDriverInterface& object) {
    visited.push_back(std::string(object.GetPrinterName().ToAscii().Data()));
    return 0;
  });
  EXPECT_EQ(visited, (std::vector<std::string>{"h65", "h2", "h63"}));

  uint32_t handle = 0;
  ASSERT_TRUE(table_.FindHandleOf(table_.Find(2), handle));
  EXPECT_EQ(handle, 2u);
  EXPECT_FALSE(table_.FindHandleOf(nullptr, handle));

  std::vector<uint32_t> taken;
  for (std::unique_ptr<GHandleTable::Entry> entry = table_.TakeAll(); entry; entry = std::move(entry->next)) {
    taken.push_back(entry->handle);
  }
  EXPECT_EQ(taken, (std::vector<uint32_t>{63, 2, 65}));
  EXPECT_EQ(table_.Count(), 0u);
  EXPECT_EQ(events_.deleted, 3);
}

}  // namespace
