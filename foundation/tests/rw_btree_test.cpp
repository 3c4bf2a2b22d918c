#include "foundation/rw_btree.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "foundation/slist_collectables.h"
#include "foundation/tests/btree_checker.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

std::vector<int32_t> Range(int32_t first, int32_t end) {
  std::vector<int32_t> values(static_cast<size_t>(end - first));
  std::iota(values.begin(), values.end(), first);
  return values;
}

std::vector<int32_t> Concat(std::vector<int32_t> a, const std::vector<int32_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The numbers of the items a node holds.
std::vector<int32_t> NodeValues(const GBTreeNode& node) {
  std::vector<int32_t> values;
  for (uint32_t i = 0; i < node.count; ++i) values.push_back(static_cast<TestValue*>(node.items[i])->Value());
  return values;
}

TEST(RWBTreeTest, NodesSplitAndMergeWhereTheirFillRulesSay) {
  struct Case {
    const char* name;
    std::vector<int32_t> inserted;
    std::vector<int32_t> removed;
    // Levels from the root down (see BTreeChecker::Shape).
    const char* shape;
    // Checked when not empty.
    std::vector<int32_t> rootItems;
  };
  std::vector<int32_t> evens;
  for (int32_t v = 0; v < 200; v += 2) evens.push_back(v);
  const Case cases[] = {
      {"root_fills_to_capacity", Range(0, 100), {}, "100", {}},
      {"root_splits_in_the_middle", Range(0, 101), {}, "1 / 50x2", {50}},
      {"new_first_item_pushes_the_last_out", Concat(Range(0, 100), {-1}), {}, "1 / 50x2", {49}},
      {"new_middle_item_splits", Concat(evens, {101}), {}, "1 / 50x2", {100}},
      {"second_leaf_split", Range(0, 152), {}, "2 / 50x3", {50, 101}},
      {"root_splits_into_height_three", Range(0, 5201), {}, "1 / 50x2 / 50x102", {2600}},
      {"leaf_merge_empties_the_root", Range(0, 101), {0}, "100", {}},
      {"borrow_from_the_right_sibling", Range(0, 102), {0}, "1 / 50x2", {51}},
      {"last_child_borrows_from_the_left", Concat(Range(0, 101), {-1}), {100}, "1 / 50x2", {49}},
      {"last_child_merges_after_borrowing", Range(0, 101), {100}, "100", {}},
      {"separator_gives_way_to_its_predecessor", Range(0, 102), {50}, "1 / 50x2", {51}},
      {"inner_merge_lowers_the_tree", Range(0, 5201), {0}, "100 / 100 50x100", {}},
      {"removing_everything_leaves_no_nodes", Range(0, 300), Concat(Range(150, 300), Range(0, 150)), "", {}},
      {"absent_items_change_nothing", Range(0, 101), {1000, -5}, "1 / 50x2", {50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<int32_t, std::unique_ptr<TestValue>> held;
    RWBTree tree;
    for (int32_t v : c.inserted) {
      auto& item = held[v] = std::make_unique<TestValue>(v);
      ASSERT_EQ(tree.Insert(item.get()), item.get());
    }
    for (int32_t v : c.removed) {
      const TestValue probe(v);
      const auto stored = held.find(v);
      EXPECT_EQ(tree.Remove(&probe), stored != held.end() ? stored->second.get() : nullptr) << v;
      if (stored != held.end()) held.erase(stored);
    }
    BTreeChecker checker;
    ASSERT_EQ(checker.Check(tree), "");
    EXPECT_EQ(checker.Shape(), c.shape);
    if (!c.rootItems.empty()) {
      EXPECT_EQ(NodeValues(*tree.Root()), c.rootItems);
    }
    std::vector<int32_t> expected;
    for (const auto& [v, item] : held) expected.push_back(v);
    EXPECT_EQ(Values(tree), expected);
    EXPECT_EQ(tree.Count(), held.size());
  }
}

TEST(RWBTreeTest, OneItemPerKeyFoundByComparison) {
  TestValue a(5), b(5), c(9);
  RWBTree tree;
  EXPECT_TRUE(tree.IsEmpty());
  EXPECT_EQ(tree.Height(), 0u);
  EXPECT_EQ(tree.Insert(&a), &a);
  EXPECT_EQ(tree.Insert(&b), &a);  // an equal item is present: nothing added
  EXPECT_EQ(tree.Insert(&c), &c);
  EXPECT_EQ(tree.Insert(nullptr), nullptr);
  EXPECT_EQ(tree.Count(), 2u);
  EXPECT_EQ(tree.Height(), 1u);

  const TestValue five(5), six(6);
  EXPECT_EQ(tree.Find(&five), &a);
  EXPECT_EQ(tree.Find(&six), nullptr);
  EXPECT_EQ(tree.Find(nullptr), nullptr);
  EXPECT_EQ(tree.Occurrences(&five), 1u);
  EXPECT_EQ(tree.Occurrences(&six), 0u);
  EXPECT_TRUE(tree.Contains(&b));
  EXPECT_EQ(tree.Remove(&six), nullptr);
  EXPECT_EQ(tree.Remove(&five), &a);
  EXPECT_EQ(tree.Count(), 1u);
  EXPECT_EQ(Members(tree), (std::vector<RWCollectable*>{&c}));
  tree.RemoveAndDelete(&six);  // absent: nothing to delete
  tree.Clear();
  EXPECT_TRUE(tree.IsEmpty());
  EXPECT_EQ(tree.Root(), nullptr);
  EXPECT_EQ(tree.Count(), 0u);
}

TEST(RWBTreeTest, EqualsNeedsTheSameClassCountAndItems) {
  TestValue one(1), two(2), three(3), otherTwo(2);
  const auto fill = [](RWBTree& tree, std::vector<RWCollectable*> items) {
    for (RWCollectable* item : items) tree.Insert(item);
  };
  RWBTree mine;
  fill(mine, {&one, &two});
  RWBTree sameValues, moreItems, otherItems;
  fill(sameValues, {&otherTwo, &one});
  fill(moreItems, {&one, &two, &three});
  fill(otherItems, {&one, &three});
  RWSlistCollectables list;
  list.Insert(&one);
  list.Insert(&two);

  struct Case {
    const char* name;
    const RWCollectable* other;
    bool equal;
  };
  const Case cases[] = {
      {"equal_items_in_another_order", &sameValues, true},
      {"itself", &mine, true},
      {"more_items", &moreItems, false},
      {"other_items", &otherItems, false},
      {"another_class", &list, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(mine.Equals(c.other), c.equal);
  }
}

TEST(RWBTreeTest, CloneSharesItemsAndNewInstanceIsEmpty) {
  std::vector<std::unique_ptr<TestValue>> values;
  RWBTree tree;
  for (int32_t v : Range(0, 300)) {
    values.push_back(std::make_unique<TestValue>(v * 7 % 300));
    tree.Insert(values.back().get());
  }
  const std::unique_ptr<RWCollectable> clone(tree.Clone());
  ASSERT_EQ(clone->ClassID(), 0x8003);
  auto& copy = dynamic_cast<RWBTree&>(*clone);
  EXPECT_EQ(Members(copy), Members(tree));
  BTreeChecker checker;
  EXPECT_EQ(checker.Check(copy), "");
  EXPECT_TRUE(copy.Equals(&tree));

  const std::unique_ptr<RWCollectable> fresh(tree.NewInstance());
  EXPECT_EQ(fresh->ClassID(), 0x8003);
  EXPECT_TRUE(dynamic_cast<RWBTree&>(*fresh).IsEmpty());
}

TEST(RWBTreeTest, DeleteAllDeletesEachItemOnce) {
  int deletions = 0;
  RWBTree tree;
  for (int32_t v : Range(0, 250)) tree.Insert(new TestValue(v, &deletions));
  auto* spare = new TestValue(3, &deletions);
  EXPECT_NE(tree.Insert(spare), spare);
  delete spare;
  deletions = 0;
  tree.DeleteAll();
  EXPECT_EQ(deletions, 250);
  EXPECT_TRUE(tree.IsEmpty());
  EXPECT_EQ(tree.Root(), nullptr);
}

}  // namespace
