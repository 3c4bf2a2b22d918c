#include "foundation/rw_btree_dictionary.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "foundation/collectable_association.h"
#include "foundation/tests/btree_checker.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

// The key and value numbers of a dictionary of TestValue pairs in key order;
// a null value shows as -1.
std::vector<std::pair<int32_t, int32_t>> Pairs(const RWBTreeDictionary& dictionary) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  dictionary.ForEachPair(
      [](RWCollectable* key, RWCollectable* value, void* user) {
        static_cast<std::vector<std::pair<int32_t, int32_t>>*>(user)->emplace_back(
            static_cast<TestValue*>(key)->Value(), value != nullptr ? static_cast<TestValue*>(value)->Value() : -1);
      },
      &pairs);
  return pairs;
}

TEST(RWBTreeDictionaryTest, PairsAreFoundByKeyOrByAssociation) {
  TestValue k1(1), k2(2), k3(3), v1(10), v2(20), other(99);
  RWBTreeDictionary dictionary;
  EXPECT_EQ(dictionary.InsertPair(&k2, &v2), &k2);
  EXPECT_EQ(dictionary.InsertPair(&k1, &v1), &k1);
  EXPECT_EQ(dictionary.InsertPair(&k3, nullptr), &k3);
  // A present key: nothing changes and the new association is not kept.
  const TestValue equalToTwo(2);
  EXPECT_EQ(dictionary.InsertPair(const_cast<TestValue*>(&equalToTwo), &other), nullptr);
  EXPECT_EQ(Pairs(dictionary), (std::vector<std::pair<int32_t, int32_t>>{{1, 10}, {2, 20}, {3, -1}}));

  const TestValue two(2), four(4);
  const RWCollectableAssociation byAssociation(const_cast<TestValue*>(&two), nullptr);
  for (const RWCollectable* key :
       {static_cast<const RWCollectable*>(&two), static_cast<const RWCollectable*>(&byAssociation)}) {
    EXPECT_EQ(dictionary.Find(key), &k2);
    EXPECT_EQ(dictionary.FindValue(key), &v2);
    RWCollectable* value = nullptr;
    EXPECT_EQ(dictionary.FindKeyAndValue(key, value), &k2);
    EXPECT_EQ(value, &v2);
    EXPECT_TRUE(dictionary.Contains(key));
    EXPECT_EQ(dictionary.Occurrences(key), 1u);
  }
  RWCollectable* value = &other;
  EXPECT_EQ(dictionary.FindKeyAndValue(&four, value), nullptr);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(dictionary.FindValue(&four), nullptr);
  EXPECT_EQ(dictionary.Find(nullptr), nullptr);

  EXPECT_EQ(dictionary.SetValue(&two, &other), &v2);
  EXPECT_EQ(dictionary.FindValue(&two), &other);
  EXPECT_EQ(dictionary.SetValue(&four, &v1), nullptr);
  EXPECT_EQ(dictionary.Count(), 3u);

  value = &other;
  EXPECT_EQ(dictionary.RemovePair(&four, value), nullptr);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(dictionary.RemovePair(&two, value), &k2);
  EXPECT_EQ(value, &other);
  const TestValue one(1);
  EXPECT_EQ(dictionary.Remove(&one), &k1);
  EXPECT_EQ(dictionary.Remove(&one), nullptr);
  EXPECT_EQ(Pairs(dictionary), (std::vector<std::pair<int32_t, int32_t>>{{3, -1}}));
}

TEST(RWBTreeDictionaryTest, InsertTakesOnlyAssociationsWithNewKeys) {
  TestValue key(1), value(2);
  RWBTreeDictionary dictionary;
  RWCollectableAssociation keyless(nullptr, &value);
  EXPECT_EQ(dictionary.Insert(&key), nullptr);
  EXPECT_EQ(dictionary.Insert(&keyless), nullptr);
  EXPECT_EQ(dictionary.InsertPair(nullptr, &value), nullptr);
  EXPECT_TRUE(dictionary.IsEmpty());

  auto* association = new RWCollectableAssociation(&key, &value);
  EXPECT_EQ(dictionary.Insert(association), association);  // now the dictionary's
  RWCollectableAssociation second(&key, nullptr);
  EXPECT_EQ(dictionary.Insert(&second), association);  // the caller keeps its own
  EXPECT_EQ(dictionary.Count(), 1u);
}

TEST(RWBTreeDictionaryTest, DeletionsTakeEachObjectOnce) {
  struct Case {
    const char* name;
    bool valueIsKey;
    int deletions;
  };
  const Case cases[] = {{"distinct_key_and_value", false, 2}, {"key_is_its_own_value", true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int deletions = 0;
    RWBTreeDictionary dictionary;
    auto* key = new TestValue(5, &deletions);
    dictionary.InsertPair(key, c.valueIsKey ? key : new TestValue(50, &deletions));
    const TestValue absent(6), five(5);
    dictionary.RemoveAndDelete(&absent);
    EXPECT_EQ(deletions, 0);
    dictionary.RemoveAndDelete(&five);
    EXPECT_EQ(deletions, c.deletions);
    EXPECT_TRUE(dictionary.IsEmpty());
  }

  // Keys that are other pairs' values, a value shared by two pairs and null
  // values: each object goes once.
  int deletions = 0;
  std::vector<TestValue*> objects;
  for (int32_t v : {0, 1, 2, 3, 4}) objects.push_back(new TestValue(v, &deletions));
  RWBTreeDictionary dictionary;
  dictionary.InsertPair(objects[0], objects[1]);
  dictionary.InsertPair(objects[1], objects[4]);
  dictionary.InsertPair(objects[2], objects[4]);
  dictionary.InsertPair(objects[3], nullptr);
  for (int32_t v = 5; v < 300; ++v) dictionary.InsertPair(new TestValue(v, &deletions), nullptr);
  dictionary.DeleteAll();
  EXPECT_EQ(deletions, 300);
  EXPECT_TRUE(dictionary.IsEmpty());
  EXPECT_EQ(dictionary.Root(), nullptr);

  // Clearing deletes the associations only.
  deletions = 0;
  TestValue kept(1, &deletions);
  dictionary.InsertPair(&kept, &kept);
  dictionary.Clear();
  EXPECT_EQ(deletions, 0);
  EXPECT_TRUE(dictionary.IsEmpty());
}

TEST(RWBTreeDictionaryTest, CopiesHoldAssociationsOfTheirOwn) {
  std::vector<std::unique_ptr<TestValue>> objects;
  RWBTreeDictionary dictionary;
  for (int32_t k = 0; k < 250; ++k) {
    objects.push_back(std::make_unique<TestValue>(k));
    objects.push_back(std::make_unique<TestValue>(k * 10));
    dictionary.InsertPair(objects[objects.size() - 2].get(), objects.back().get());
  }
  const std::unique_ptr<RWCollectable> made(dictionary.Clone());
  ASSERT_EQ(made->ClassID(), 0x8004);
  auto& clone = dynamic_cast<RWBTreeDictionary&>(*made);
  RWBTreeDictionary assigned;
  TestValue stale(-1);
  assigned.InsertPair(&stale, nullptr);
  assigned = dictionary;
  const RWBTreeDictionary& itself = assigned;
  assigned = itself;  // keeps its pairs
  const auto evenKeys = [](const RWCollectable* key, const void*) {
    return static_cast<const TestValue*>(key)->Value() % 2 == 0;
  };
  const auto valueBelow = [](const RWCollectable*, const RWCollectable* value, const void* limit) {
    return static_cast<const TestValue*>(value)->Value() < *static_cast<const int32_t*>(limit);
  };
  const int32_t limit = 100;
  const std::unique_ptr<RWBTreeDictionary> evens = dictionary.SelectByKey(evenKeys, nullptr);
  const std::unique_ptr<RWBTreeDictionary> small = dictionary.SelectByPair(valueBelow, &limit);

  BTreeChecker checker;
  for (RWBTreeDictionary* copy : {&clone, &assigned}) {
    EXPECT_EQ(Pairs(*copy), Pairs(dictionary));
    EXPECT_EQ(checker.Check(*copy), "");
    EXPECT_TRUE(copy->Equals(&dictionary));
    // Same keys and values, associations of its own.
    EXPECT_EQ(copy->Find(objects[0].get()), objects[0].get());
    EXPECT_NE(Members(*copy)[0], Members(dictionary)[0]);
  }
  EXPECT_EQ(evens->Count(), 125u);
  EXPECT_EQ(Pairs(*small),
            (std::vector<std::pair<int32_t, int32_t>>{
                {0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}, {6, 60}, {7, 70}, {8, 80}, {9, 90}}));
  EXPECT_NE(Members(*small)[0], Members(dictionary)[0]);

  // Emptying the original leaves the copies whole.
  dictionary.Clear();
  EXPECT_EQ(clone.Count(), 250u);
  EXPECT_EQ(checker.Check(*evens), "");
  const std::unique_ptr<RWCollectable> fresh(clone.NewInstance());
  EXPECT_EQ(fresh->ClassID(), 0x8004);
  EXPECT_TRUE(dynamic_cast<GCollection&>(*fresh).IsEmpty());
}

TEST(RWBTreeDictionaryTest, EqualsComparesValuesOfEqualKeys) {
  TestValue k1(1), k2(2), v1(10), v2(20), v2Again(20), v3(30), equalK1(1);
  RWBTreeDictionary mine;
  mine.InsertPair(&k1, &v1);
  mine.InsertPair(&k2, nullptr);

  struct Case {
    const char* name;
    std::vector<std::pair<RWCollectable*, RWCollectable*>> pairs;
    bool equal;
  };
  const Case cases[] = {
      {"equal_keys_and_values", {{&equalK1, &v1}, {&k2, nullptr}}, true},
      {"value_where_this_has_none", {{&k1, &v1}, {&k2, &v2}}, false},
      {"other_value", {{&k1, &v3}, {&k2, nullptr}}, false},
      {"other_key", {{&k1, &v1}, {&v2, nullptr}}, false},
      {"fewer_pairs", {{&k1, &v1}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RWBTreeDictionary other;
    for (const auto& [key, value] : c.pairs) other.InsertPair(key, value);
    EXPECT_EQ(mine.Equals(&other), c.equal);
    EXPECT_EQ(other.Equals(&mine), c.equal);
  }
  RWBTreeDictionary withValues, withEqualValues;
  withValues.InsertPair(&k2, &v2);
  withEqualValues.InsertPair(&k2, &v2Again);
  EXPECT_TRUE(withValues.Equals(&withEqualValues));

  // A tree of the same associations is another class.
  RWBTree tree;
  RWCollectableAssociation a1(&k1, &v1), a2(&k2, nullptr);
  tree.Insert(&a1);
  tree.Insert(&a2);
  EXPECT_FALSE(mine.Equals(&tree));
  EXPECT_FALSE(tree.Equals(&mine));
}

}  // namespace
