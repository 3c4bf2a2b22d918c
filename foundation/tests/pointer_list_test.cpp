#include "foundation/pointer_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/string_block.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

// Five values, two of them equal (1 at index 1 and 1 at index 4).
class GPointerListTest : public ::testing::Test {
 public:
  GPointerListTest() : values_{TestValue(0), TestValue(1), TestValue(2), TestValue(3), TestValue(1)} {}

  TestValue* V(int i) { return &values_[i]; }

 protected:
  // The list holding V(i) for each i in order.
  void Fill(std::initializer_list<int> indexes) {
    for (int i : indexes) list_.Append(V(i));
  }

  // Which of the five objects the list holds, by index, in order.
  std::vector<int> Order(const GPointerList& list) {
    std::vector<int> order;
    struct Walk {
      GPointerListTest* test;
      std::vector<int>* order;
    } walk{this, &order};
    list.ForEach(
        [](RWCollectable* item, void* user) {
          auto& w = *static_cast<Walk*>(user);
          w.order->push_back(static_cast<int>(static_cast<TestValue*>(item) - w.test->V(0)));
        },
        &walk);
    return order;
  }

 protected:
  TestValue values_[5];
  GPointerList list_;
};

TEST_F(GPointerListTest, PositionalInsertsPlaceTheItem) {
  Fill({0, 1});
  EXPECT_EQ(list_.Prepend(V(2)), V(2));
  EXPECT_EQ(list_.InsertAt(3, V(3)), V(3));  // position == count appends
  EXPECT_EQ(list_.InsertAt(1, V(4)), V(4));
  EXPECT_EQ(list_.InsertAfterIndex(0, V(0)), V(0));
  EXPECT_EQ(Order(list_), (std::vector<int>{2, 0, 4, 0, 1, 3}));
  EXPECT_EQ(list_.First(), V(2));
  EXPECT_EQ(list_.Last(), V(3));
  EXPECT_EQ(list_.At(2), V(4));
}

TEST_F(GPointerListTest, BadPositionsRaiseAndChangeNothing) {
  Fill({0, 1});
  struct Case {
    const char* name;
    std::string expected;
    void (*act)(GPointerList&, RWCollectable*);
  };
  const Case cases[] = {
      {"insert_past_append_point", "[INDEXERR] Illegal Index (3) for collection or string with 2 elements",
       [](GPointerList& l, RWCollectable* item) { EXPECT_EQ(l.InsertAt(3, item), nullptr); }},
      {"insert_after_end", "[INDEXERR] Illegal Index (2) for collection or string with 2 elements",
       [](GPointerList& l, RWCollectable* item) { EXPECT_EQ(l.InsertAfterIndex(2, item), nullptr); }},
      {"at_npos", "[NPOSINDEX] The value RW_NPOS cannot be used as an index.",
       [](GPointerList& l, RWCollectable*) { EXPECT_EQ(l.At(RW_NPOS), nullptr); }},
      {"remove_at_end", "[INDEXERR] Illegal Index (2) for collection or string with 2 elements",
       [](GPointerList& l, RWCollectable*) { EXPECT_EQ(l.RemoveAt(2), nullptr); }},
      {"at_ref_end", "[INDEXERR] Illegal Index (2) for collection or string with 2 elements",
       [](GPointerList& l, RWCollectable* item) {
         RWCollectable*& slot = l.AtRef(2);
         EXPECT_EQ(slot, nullptr);
         slot = item;  // lands in no list
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingErrorHandler errors;
    c.act(list_, V(3));
    EXPECT_EQ(errors.Texts(), std::vector<std::string>{c.expected});
    EXPECT_EQ(Order(list_), (std::vector<int>{0, 1}));
  }
}

TEST_F(GPointerListTest, EmptyListAnswersNullWithoutError) {
  RecordingErrorHandler errors;
  EXPECT_EQ(list_.First(), nullptr);
  EXPECT_EQ(list_.Last(), nullptr);
  EXPECT_EQ(list_.FindSame(V(0)), nullptr);
  EXPECT_EQ(list_.RemoveSame(V(0)), nullptr);
  EXPECT_EQ(list_.IndexIf(ItemEqualsObject, V(0)), RW_NPOS);
  EXPECT_EQ(errors.Count(), 0u);
}

TEST_F(GPointerListTest, SearchesByEqualityAndByIdentity) {
  Fill({0, 1, 2, 1, 4});
  const TestValue one(1);
  EXPECT_EQ(list_.FindIf(ItemEqualsObject, &one), V(1));
  EXPECT_EQ(list_.IndexIf(ItemEqualsObject, &one), 1u);
  EXPECT_EQ(list_.CountIf(ItemEqualsObject, &one), 3u);  // V(1) twice and the equal V(4)
  EXPECT_EQ(list_.FindSame(&one), nullptr);
  EXPECT_EQ(list_.FindSame(V(4)), V(4));
  EXPECT_EQ(list_.CountSame(V(1)), 2u);

  // Identity removal takes V(4) and leaves the equal V(1) links alone.
  EXPECT_EQ(list_.RemoveSame(V(4)), V(4));
  EXPECT_EQ(list_.RemoveIf(ItemEqualsObject, &one), V(1));
  EXPECT_EQ(Order(list_), (std::vector<int>{0, 2, 1}));
  EXPECT_EQ(list_.Last(), V(1));
  EXPECT_EQ(list_.RemoveAt(2), V(1));
  EXPECT_EQ(list_.Last(), V(2));
  EXPECT_EQ(list_.Count(), 2u);
}

TEST_F(GPointerListTest, AtRefWritesThroughAndForEachRefReachesEverySlot) {
  Fill({0, 1, 2});
  list_.AtRef(1) = V(3);
  list_.ForEachRef(
      [](RWCollectable** slot, void* user) {
        if (*slot == static_cast<GPointerListTest*>(user)->V(0)) *slot = static_cast<GPointerListTest*>(user)->V(4);
      },
      this);
  EXPECT_EQ(Order(list_), (std::vector<int>{4, 3, 2}));
}

TEST_F(GPointerListTest, CopiesAreIndependentListsOfTheSameItems) {
  Fill({0, 1, 2});
  GPointerList copy(list_);
  copy.RemoveAt(0);
  EXPECT_EQ(Order(list_), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Order(copy), (std::vector<int>{1, 2}));

  copy = list_;
  EXPECT_EQ(Order(copy), (std::vector<int>{0, 1, 2}));
  copy.Append(V(3));  // the last link moved with the copy
  EXPECT_EQ(copy.Last(), V(3));

  GPointerList& self = list_;
  list_ = self;
  EXPECT_EQ(Order(list_), (std::vector<int>{0, 1, 2}));
  list_.ClearAndFree();
  EXPECT_TRUE(list_.IsEmpty());
  EXPECT_EQ(list_.First(), nullptr);
}

TEST_F(GPointerListTest, IteratorWalksAndStaysAtTheEnd) {
  Fill({0, 1, 2});
  GPointerListIterator it(list_);
  EXPECT_EQ(it.Current(), nullptr);
  EXPECT_EQ(it.Next(), V(0));
  EXPECT_EQ(it.Current(), V(0));
  EXPECT_EQ(it.Skip(2), V(2));
  EXPECT_EQ(it.Next(), nullptr);
  EXPECT_EQ(it.Next(), nullptr);
  EXPECT_EQ(it.Current(), nullptr);
  it.Reset();
  EXPECT_EQ(it.Next(), V(0));
}

TEST_F(GPointerListTest, IteratorFindsFromTheCurrentItemOn) {
  Fill({1, 0, 4, 1});
  GPointerListIterator it(list_);
  const TestValue one(1);
  EXPECT_EQ(it.FindNext(&one), V(1));
  EXPECT_EQ(it.FindNext(&one), V(4));  // equal, not the same
  EXPECT_EQ(it.FindNext(&one), V(1));
  EXPECT_EQ(it.FindNext(&one), nullptr);
  EXPECT_EQ(it.Current(), nullptr);
  it.Reset();
  EXPECT_EQ(it.FindNextSame(V(1)), V(1));
  EXPECT_EQ(it.FindNextSame(V(1)), V(1));
  EXPECT_EQ(it.Next(), nullptr);
  it.Reset();
  EXPECT_EQ(it.FindNext([](const RWCollectable* item,
                           const void*) { return static_cast<const TestValue*>(item)->Value() == 0; },
                        nullptr),
            V(0));
}

TEST_F(GPointerListTest, IteratorEditsAroundTheCursor) {
  Fill({0, 1, 2});
  GPointerListIterator it(list_);
  it.InsertAfterCurrent(V(3));  // before the first item: prepends
  EXPECT_EQ(it.Next(), V(3));
  // Removes the next V(1) after the cursor and stays on V(3).
  EXPECT_EQ(it.RemoveNextSame(V(1)), V(1));
  EXPECT_EQ(it.Current(), V(3));
  const TestValue two(2);
  EXPECT_EQ(it.RemoveNextIf(ItemEqualsObject, &two), V(2));
  EXPECT_EQ(it.RemoveNextSame(V(3)), nullptr);  // only after the cursor
  EXPECT_EQ(Order(list_), (std::vector<int>{3, 0}));

  // Removing the current item steps back, so Next goes on with its follower.
  EXPECT_EQ(it.RemoveCurrent(), V(3));
  EXPECT_EQ(it.Current(), nullptr);
  EXPECT_EQ(it.Next(), V(0));
  EXPECT_EQ(it.RemoveCurrent(), V(0));
  EXPECT_TRUE(list_.IsEmpty());
  EXPECT_EQ(it.RemoveCurrent(), nullptr);

  // At the end, an insert appends and the last link follows.
  EXPECT_EQ(it.Next(), nullptr);
  it.InsertAfterCurrent(V(4));
  list_.Append(V(2));
  EXPECT_EQ(Order(list_), (std::vector<int>{4, 2}));
}

}  // namespace
