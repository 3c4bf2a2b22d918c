#include "foundation/double_linked_list.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "foundation/testing/recording_error_handler.h"

namespace {

// A caller's record with the link at its start, as the list expects.
struct Entry {
  GDoubleLink link;
  int value;
};

int ValueOf(const GDoubleLink* link) { return reinterpret_cast<const Entry*>(link)->value; }

class DoubleLinkedListTest : public testing::Test {
 protected:
  DoubleLinkedListTest() {
    for (int i = 0; i < 5; ++i) entries[i].value = i;
  }

  std::vector<int> Values() {
    std::vector<int> values;
    GDoubleLinkedListIterator it(list);
    while (GDoubleLink* link = it.Advance()) values.push_back(ValueOf(link));
    return values;
  }

  // The same walk backwards, so a broken previous link shows up too.
  std::vector<int> ValuesBackwards() {
    std::vector<int> values;
    GDoubleLinkedListIterator it(list);
    for (GDoubleLink* link = it.ToLast(); link != nullptr; link = it.Retreat())
      values.insert(values.begin(), ValueOf(link));
    return values;
  }

  GDoubleLink* Link(int i) { return &entries[i].link; }

  std::array<Entry, 5> entries{};
  GDoubleLinkedList list;
};

TEST_F(DoubleLinkedListTest, InsertAtPlacesLinksByPosition) {
  list.InsertAt(0, Link(1));
  list.InsertAt(0, Link(0));
  list.InsertAt(2, Link(3));
  list.InsertAt(2, Link(2));
  EXPECT_EQ(Values(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ValuesBackwards(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.At(2), Link(2));
  EXPECT_TRUE(list.Contains(Link(3)));
  EXPECT_FALSE(list.Contains(Link(4)));
  EXPECT_FALSE(list.Contains(nullptr));
}

TEST_F(DoubleLinkedListTest, RemoveUnlinksAndKeepsNeighboursJoined) {
  for (int i = 0; i < 4; ++i) list.InsertAt(i, Link(i));
  EXPECT_EQ(list.Remove(Link(2)), Link(2));
  EXPECT_EQ(list.RemoveAt(0), Link(0));
  EXPECT_EQ(Values(), (std::vector<int>{1, 3}));
  EXPECT_EQ(ValuesBackwards(), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.Remove(nullptr), nullptr);
  EXPECT_EQ(list.Count(), 2u);
}

TEST_F(DoubleLinkedListTest, BadPositionsRaiseOnceAndChangeNothing) {
  list.InsertAt(0, Link(0));
  RecordingErrorHandler handler;
  EXPECT_EQ(list.At(1), nullptr);
  EXPECT_EQ(list.RemoveAt(0xFFFFFFFF), nullptr);
  list.InsertAt(2, Link(1));
  EXPECT_EQ(handler.Texts(), (std::vector<std::string>{
                                 "[INDEXERR] Illegal Index (1) for collection or string with 1 elements",
                                 "[NPOSINDEX] The value RW_NPOS cannot be used as an index.",
                                 "[INDEXERR] Illegal Index (2) for collection or string with 1 elements",
                             }));
  EXPECT_EQ(Values(), (std::vector<int>{0}));
}

TEST_F(DoubleLinkedListTest, SingleLinkListAndClear) {
  GDoubleLinkedList one(Link(4));
  GDoubleLinkedListIterator it(one);
  EXPECT_EQ(it.ToFirst(), Link(4));
  EXPECT_TRUE(it.IsAtFirst());
  EXPECT_TRUE(it.IsAtLast());
  one.Clear();
  EXPECT_EQ(one.Count(), 0u);
  EXPECT_EQ(it.ToFirst(), nullptr);
}

TEST_F(DoubleLinkedListTest, IteratorStopsAtTheSentinels) {
  for (int i = 0; i < 3; ++i) list.InsertAt(i, Link(i));
  GDoubleLinkedListIterator it(list);
  EXPECT_FALSE(it.IsAtFirst());
  EXPECT_EQ(it.Advance(2), Link(1));
  EXPECT_EQ(it.Advance(5), nullptr);
  EXPECT_FALSE(it.IsAtLast());
  EXPECT_EQ(it.Retreat(), Link(2));
  EXPECT_TRUE(it.IsAtLast());
  EXPECT_EQ(it.Retreat(10), nullptr);
  EXPECT_EQ(it.Advance(), Link(0));
  EXPECT_TRUE(it.IsAtFirst());
  EXPECT_EQ(it.ToLast(), Link(2));
}

TEST_F(DoubleLinkedListTest, EmptyListHasNoFirstOrLast) {
  GDoubleLinkedListIterator it(list);
  EXPECT_EQ(it.ToFirst(), nullptr);
  EXPECT_EQ(it.ToLast(), nullptr);
  EXPECT_FALSE(it.IsAtFirst());
  EXPECT_FALSE(it.IsAtLast());
  EXPECT_EQ(it.RemoveCurrent(), nullptr);
}

TEST_F(DoubleLinkedListTest, RemoveCurrentStepsBackToThePredecessor) {
  list.InsertAt(0, Link(0));
  GDoubleLinkedListIterator it(list);
  it.ToFirst();
  EXPECT_EQ(it.RemoveCurrent(), Link(0));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(it.Current(), nullptr);
  EXPECT_EQ(it.RemoveCurrent(), nullptr);
  EXPECT_EQ(list.Count(), 0u);

  for (int i = 0; i < 3; ++i) list.InsertAt(i, Link(i));
  it.ToLast();
  EXPECT_EQ(it.RemoveCurrent(), Link(2));
  EXPECT_EQ(it.Current(), Link(1));
  EXPECT_EQ(Values(), (std::vector<int>{0, 1}));
}

TEST_F(DoubleLinkedListTest, InsertAfterCurrentAtEitherEnd) {
  GDoubleLinkedListIterator it(list);
  it.InsertAfterCurrent(Link(1));  // on the head sentinel: becomes first
  it.InsertAfterCurrent(Link(0));
  it.ToLast();
  it.InsertAfterCurrent(Link(2));
  it.Advance(5);  // on the tail sentinel: appends before it
  it.InsertAfterCurrent(Link(3));
  EXPECT_EQ(Values(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ValuesBackwards(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.Count(), 4u);
}

}  // namespace
