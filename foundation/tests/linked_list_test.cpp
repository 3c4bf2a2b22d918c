#include "foundation/linked_list.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "foundation/testing/recording_error_handler.h"

namespace {

struct Entry {
  GLink link;
  int value;
};

class LinkedListTest : public testing::Test {
 protected:
  LinkedListTest() {
    for (int i = 0; i < 5; ++i) entries[i].value = i;
  }

  GLink* Link(int i) { return &entries[i].link; }

  // Walks the list and checks the invariants on the way: count links lead
  // to the tail, the last link is the one before it, the tail points at itself.
  std::vector<int> Values() {
    std::vector<int> values;
    GLink* walk = list.Head();
    while (walk->next != list.Tail()) {
      walk = walk->next;
      values.push_back(reinterpret_cast<Entry*>(walk)->value);
    }
    EXPECT_EQ(values.size(), list.Count());
    EXPECT_EQ(list.Last(), values.empty() ? nullptr : walk);
    EXPECT_EQ(list.Tail()->next, list.Tail());
    return values;
  }

  std::array<Entry, 5> entries{};
  GLinkedList list;
};

TEST_F(LinkedListTest, InsertAtAppendsAndInserts) {
  list.InsertAt(0, Link(2));
  EXPECT_EQ(list.First(), Link(2));
  EXPECT_EQ(list.Last(), Link(2));
  list.InsertAt(0, Link(0));
  list.InsertAt(1, Link(1));
  list.InsertAt(3, Link(3));
  EXPECT_EQ(Values(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.At(3), Link(3));
  EXPECT_TRUE(list.Contains(Link(1)));
  EXPECT_FALSE(list.Contains(Link(4)));
  EXPECT_FALSE(list.Contains(nullptr));
}

TEST_F(LinkedListTest, RemovalsKeepTheLastLinkRight) {
  for (int i = 0; i < 4; ++i) list.InsertAt(i, Link(i));
  EXPECT_EQ(list.RemoveAfter(Link(2)), Link(3));
  EXPECT_EQ(list.Last(), Link(2));
  // After the last link there is nothing to remove.
  EXPECT_EQ(list.RemoveAfter(Link(2)), nullptr);
  EXPECT_EQ(list.RemoveAfter(nullptr), nullptr);
  EXPECT_EQ(list.Remove(Link(2)), Link(2));
  EXPECT_EQ(Link(2)->next, nullptr);
  EXPECT_EQ(list.RemoveAt(0), Link(0));
  EXPECT_EQ(Values(), (std::vector<int>{1}));
}

TEST_F(LinkedListTest, RemovingAnAbsentLinkChangesNothing) {
  for (int i = 0; i < 3; ++i) list.InsertAt(i, Link(i));
  EXPECT_EQ(list.Remove(Link(4)), nullptr);
  EXPECT_EQ(list.FindPredecessor(Link(4)), nullptr);
  EXPECT_EQ(list.Remove(nullptr), nullptr);
  EXPECT_EQ(Values(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list.FindPredecessor(Link(2)), Link(1));
}

TEST_F(LinkedListTest, BadPositionsRaiseOnceAndChangeNothing) {
  RecordingErrorHandler handler;
  EXPECT_EQ(list.At(0), nullptr);
  list.InsertAt(1, Link(0));
  EXPECT_EQ(list.RemoveAt(0xFFFFFFFF), nullptr);
  EXPECT_EQ(handler.Texts(), (std::vector<std::string>{
                                 "[INDEXERR] Illegal Index (0) for collection or string with 0 elements",
                                 "[INDEXERR] Illegal Index (1) for collection or string with 0 elements",
                                 "[NPOSINDEX] The value RW_NPOS cannot be used as an index.",
                             }));
  EXPECT_EQ(Values(), std::vector<int>{});
}

TEST_F(LinkedListTest, IteratorWalksRemovesAndInserts) {
  for (int i = 0; i < 3; ++i) list.InsertAt(i, Link(i));
  GLinkedListIterator it(list);
  EXPECT_EQ(it.Current(), nullptr);
  EXPECT_EQ(it.Advance(), Link(0));
  EXPECT_TRUE(it.IsAtFirst());
  EXPECT_EQ(it.Advance(2), Link(2));
  EXPECT_TRUE(it.IsAtLast());
  EXPECT_EQ(it.Advance(3), nullptr);  // on the tail, and it stays there
  EXPECT_EQ(it.Advance(), nullptr);
  it.InsertAfterCurrent(Link(3));  // past the end: appended
  EXPECT_EQ(it.ToLast(), Link(3));
  EXPECT_EQ(it.RemoveCurrent(), Link(3));
  EXPECT_EQ(it.Current(), Link(2));
  it.ToFirst();
  EXPECT_EQ(it.RemoveCurrent(), Link(0));
  EXPECT_EQ(it.Current(), nullptr);  // back on the head
  EXPECT_EQ(it.RemoveCurrent(), nullptr);
  it.InsertAfterCurrent(Link(4));
  EXPECT_EQ(Values(), (std::vector<int>{4, 1, 2}));
}

TEST_F(LinkedListTest, EmptyListIteratorAndSingleLinkList) {
  GLinkedListIterator it(list);
  EXPECT_EQ(it.ToFirst(), nullptr);
  EXPECT_EQ(it.ToLast(), nullptr);
  EXPECT_FALSE(it.IsAtFirst());
  EXPECT_FALSE(it.IsAtLast());
  it.InsertAfterCurrent(Link(0));
  EXPECT_EQ(Values(), (std::vector<int>{0}));

  GLinkedList one(Link(1));
  EXPECT_EQ(one.First(), Link(1));
  EXPECT_EQ(one.Last(), Link(1));
  EXPECT_EQ(one.Count(), 1u);
}

}  // namespace
