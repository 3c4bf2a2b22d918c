#include "foundation/hash_table.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <random>
#include <unordered_set>
#include <vector>

#include "foundation/collectable_association.h"
#include "foundation/identity_set.h"
#include "foundation/rw_btree.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/rw_set.h"
#include "foundation/slist_collectables.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

// Exposes the buckets, so that tests can check where members live.
template <typename Table>
class Inspectable : public Table {
 public:
  using Table::Table;

  // Every member sits in the bucket of its hash; answers the members counted.
  uint32_t CheckPlacement() const {
    uint32_t members = 0;
    for (uint32_t i = 0; i < this->Buckets(); ++i) {
      const RWSlistCollectables* list = this->BucketList(i);
      if (list == nullptr) continue;
      for (RWCollectable* member : Members(*list)) {
        EXPECT_EQ(member->HashValue() % this->Buckets(), i);
        ++members;
      }
    }
    return members;
  }
};

TEST(RWHashTableTest, BucketCountIsWhatConstructionGave) {
  std::vector<TestValue> values;
  for (int i = 0; i < 100; ++i) values.emplace_back(i);
  Inspectable<RWHashTable> table(0);
  EXPECT_EQ(table.Buckets(), 2u);
  for (TestValue& v : values) table.Insert(&v);
  EXPECT_EQ(table.Buckets(), 2u);
  EXPECT_EQ(table.Count(), 100u);
  EXPECT_EQ(table.CheckPlacement(), 100u);
  for (TestValue& v : values) EXPECT_EQ(table.Find(&v), &v);

  EXPECT_EQ(RWHashTable().Buckets(), 64u);
  EXPECT_EQ(RWSet().Buckets(), 64u);
  std::unique_ptr<RWCollectable> made(table.NewInstance());
  EXPECT_EQ(dynamic_cast<RWHashTable&>(*made).Buckets(), 64u);
}

TEST(RWHashTableTest, RehashPicksOrKeepsTheBucketCount) {
  struct Case {
    const char* name;
    int members;
    uint32_t asked;
    uint32_t buckets;
  };
  const Case cases[] = {
      {"empty_automatic", 0, 0, 16},      {"eleven_automatic", 11, 0, 16}, {"twelve_automatic", 12, 0, 18},
      {"hundred_automatic", 100, 0, 150}, {"explicit", 12, 5, 5},          {"one_bucket", 30, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TestValue> values;
    for (int i = 0; i < c.members; ++i) values.emplace_back(i * 7);
    Inspectable<RWHashTable> table(3);
    for (TestValue& v : values) table.Insert(&v);
    table.Rehash(c.asked);
    EXPECT_EQ(table.Buckets(), c.buckets);
    EXPECT_EQ(table.Count(), static_cast<uint32_t>(c.members));
    EXPECT_EQ(table.CheckPlacement(), static_cast<uint32_t>(c.members));
  }
}

TEST(RWHashTableTest, BagKeepsDuplicatesAndSetAnswersTheMemberItHas) {
  TestValue a(5), a2(5);
  RWHashTable bag;
  bag.Insert(&a);
  EXPECT_EQ(bag.Insert(&a), &a);
  EXPECT_EQ(bag.Count(), 2u);
  EXPECT_EQ(bag.Occurrences(&a2), 2u);
  EXPECT_EQ(bag.Remove(&a2), &a);
  EXPECT_EQ(bag.Count(), 1u);

  RWSet set;
  EXPECT_EQ(set.Insert(&a), &a);
  EXPECT_EQ(set.Insert(&a2), &a);
  EXPECT_EQ(set.Count(), 1u);
  EXPECT_EQ(set.Occurrences(&a2), 1u);
  EXPECT_EQ(set.Remove(&a2), &a);
  EXPECT_EQ(set.Remove(&a2), nullptr);
  EXPECT_TRUE(set.IsEmpty());
}

TEST(RWHashTableTest, EqualityCountsEachDistinctMember) {
  TestValue a(1), b(2), a2(1), b2(2);
  const auto bag = [](std::initializer_list<RWCollectable*> members) {
    auto table = std::make_unique<RWHashTable>(4);
    for (RWCollectable* m : members) table->Insert(m);
    return table;
  };
  struct Case {
    const char* name;
    std::unique_ptr<RWHashTable> left, right;
    bool equal;
  };
  Case cases[] = {
      {"other_order", bag({&a, &b, &a}), bag({&a2, &a, &b2}), true},
      {"different_multiplicity", bag({&a, &a, &b}), bag({&a, &b, &b}), false},
      {"different_count", bag({&a, &b}), bag({&a, &b, &b}), false},
      {"empty", bag({}), bag({}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.left->Equals(c.right.get()), c.equal);
    EXPECT_EQ(c.right->Equals(c.left.get()), c.equal);
  }

  RWSet set;
  RWHashTable table;
  set.Insert(&a);
  table.Insert(&a);
  EXPECT_FALSE(set.Equals(&table));
  EXPECT_FALSE(table.Equals(&set));
  RWSet set2;
  set2.Insert(&a2);
  EXPECT_TRUE(set.Equals(&set2));
}

TEST(RWHashTableTest, CopiesShareMembersInTheSameBucketOrder) {
  TestValue values[] = {TestValue(1), TestValue(9), TestValue(17), TestValue(2)};
  RWSet set(8);
  for (TestValue& v : values) set.Insert(&v);
  const std::vector<RWCollectable*> order = Members(set);

  std::unique_ptr<RWCollectable> clone(set.Clone());
  auto& copy = dynamic_cast<RWSet&>(*clone);
  EXPECT_EQ(copy.Buckets(), 8u);
  EXPECT_EQ(Members(copy), order);
  copy.Clear();  // bucket lists of its own
  EXPECT_EQ(Members(set), order);
  EXPECT_EQ(copy.Buckets(), 8u);

  RWSet assigned(3);
  TestValue stale(4);
  assigned.Insert(&stale);
  assigned = set;
  EXPECT_EQ(assigned.Buckets(), 8u);
  EXPECT_EQ(Members(assigned), order);
  EXPECT_EQ(assigned.Count(), 4u);
}

TEST(RWHashTableTest, DeleteAllDeletesSharedMembersOnce) {
  int deletions = 0;
  auto* a = new TestValue(1, &deletions);
  auto* b = new TestValue(1, &deletions);
  RWHashTable bag;
  for (RWCollectable* m :
       {static_cast<RWCollectable*>(a), static_cast<RWCollectable*>(b), static_cast<RWCollectable*>(a)}) {
    bag.Insert(m);
  }
  bag.DeleteAll();
  EXPECT_EQ(deletions, 2);
  EXPECT_TRUE(bag.IsEmpty());

  RWSet set;
  set.Insert(new TestValue(1, &deletions));
  set.Insert(new TestValue(2, &deletions));
  set.DeleteAll();
  EXPECT_EQ(deletions, 4);
  EXPECT_TRUE(set.IsEmpty());
}

// Fails the test if any of its virtual operations is asked: an identity set
// must work on addresses only.
class Untouchable : public RWCollectable {
 public:
  uint32_t HashValue() const override {
    ADD_FAILURE() << "HashValue called";
    return 0;
  }
  bool Equals(const RWCollectable*) const override {
    ADD_FAILURE() << "Equals called";
    return true;
  }
};

TEST(RWIdentitySetTest, KeepsEqualObjectsApartAndNeverAsksThem) {
  TestValue a(1), a2(1);
  RWIdentitySet set;
  EXPECT_EQ(set.Insert(&a), &a);
  EXPECT_EQ(set.Insert(&a2), &a2);
  EXPECT_EQ(set.Insert(&a), &a);
  EXPECT_EQ(set.Count(), 2u);
  TestValue a3(1);
  EXPECT_EQ(set.Find(&a3), nullptr);
  EXPECT_EQ(set.Occurrences(&a2), 1u);
  EXPECT_EQ(set.Remove(&a3), nullptr);
  EXPECT_EQ(set.Remove(&a2), &a2);
  EXPECT_EQ(set.Find(&a), &a);

  Untouchable objects[40];
  RWIdentitySet untouched(0);
  for (Untouchable& o : objects) untouched.Insert(&o);
  untouched.Rehash(0);
  EXPECT_EQ(untouched.Buckets(), 60u);
  for (Untouchable& o : objects) EXPECT_TRUE(untouched.Contains(&o));
  for (Untouchable& o : objects) EXPECT_EQ(untouched.Remove(&o), &o);
  EXPECT_TRUE(untouched.IsEmpty());
}

TEST(RWIdentitySetTest, EqualWhenHoldingTheSamePointers) {
  TestValue a(1), a2(1), b(2);
  RWIdentitySet left, same, swapped;
  for (RWCollectable* m : {&a, &a2}) left.Insert(m);
  for (RWCollectable* m : {&a2, &a}) same.Insert(m);
  // Equal to a2 member by member, but other objects.
  for (RWCollectable* m : {&a, &b}) swapped.Insert(m);
  EXPECT_TRUE(left.Equals(&same));
  EXPECT_FALSE(left.Equals(&swapped));
  RWSet plain;
  for (RWCollectable* m : {&a, &b}) plain.Insert(m);
  EXPECT_FALSE(left.Equals(&plain));
}

TEST(RWSetTest, SubsetsAndIntersections) {
  TestValue v[] = {TestValue(1), TestValue(2), TestValue(3), TestValue(4)};
  const auto set = [&v](std::initializer_list<int> indexes) {
    auto s = std::make_unique<RWSet>(4);
    for (int i : indexes) s->Insert(&v[i]);
    return s;
  };
  EXPECT_TRUE(set({0, 1})->IsSubsetOf(*set({0, 1})));
  EXPECT_FALSE(set({0, 1})->IsProperSubsetOf(*set({0, 1})));
  EXPECT_TRUE(set({0, 1})->IsProperSubsetOf(*set({0, 1, 2})));
  EXPECT_FALSE(set({0, 3})->IsSubsetOf(*set({0, 1, 2})));
  EXPECT_TRUE(set({})->IsSubsetOf(*set({})));

  auto mine = set({0, 1, 2});
  mine->IntersectWith(*set({1, 2, 3}));
  EXPECT_EQ(Values(*mine), (std::vector<int32_t>{2, 3}));
  mine->IntersectWith(*set({}));
  EXPECT_TRUE(mine->IsEmpty());

  RWSlistCollectables result;
  set({0, 1, 2, 3})->IntersectInto(*set({3, 1}), result);
  EXPECT_EQ(Values(result), (std::vector<int32_t>{4, 2}));  // the smaller one's order
}

TEST(RWSetTest, CopyAsSetMergesEqualMembers) {
  TestValue a(1), a2(1), b(2);
  RWHashTable bag(16);
  for (RWCollectable* m : {&a, &a2, &b, &a}) bag.Insert(m);
  std::unique_ptr<RWSet> set = RWSet::CopyAsSet(bag);
  EXPECT_EQ(set->ClassID(), 0x802B);
  EXPECT_EQ(set->Buckets(), 2u);                                    // 4 / 2
  EXPECT_EQ(Members(*set), (std::vector<RWCollectable*>{&b, &a}));  // buckets 0 and 1
}

TEST(GHashTableIteratorTest, VisitsInForEachOrderAndRemovesAsItGoes) {
  std::vector<TestValue> values;
  for (int i = 0; i < 12; ++i) values.emplace_back(i % 5 * 3);  // collisions and empty buckets
  RWHashTable table(8);
  for (TestValue& v : values) table.Insert(&v);
  const std::vector<RWCollectable*> order = Members(table);

  GHashTableIterator it(table);
  EXPECT_EQ(it.Current(), nullptr);
  std::vector<RWCollectable*> seen;
  for (RWCollectable* m = it.Next(); m != nullptr; m = it.Next()) {
    seen.push_back(m);
    EXPECT_EQ(it.Current(), m);
  }
  EXPECT_EQ(seen, order);
  EXPECT_EQ(it.Next(), nullptr);

  // Remove every other member while walking; the walk still meets each.
  it.Reset();
  seen.clear();
  bool remove = false;
  for (RWCollectable* m = it.Next(); m != nullptr; m = it.Next()) {
    seen.push_back(m);
    remove = !remove;
    if (remove) {
      EXPECT_EQ(it.RemoveCurrent(), m);
    }
  }
  EXPECT_EQ(seen, order);
  EXPECT_EQ(table.Count(), 6u);
  EXPECT_EQ(Members(table).size(), 6u);
}

TEST(GHashTableIteratorTest, FindsRemovesAheadAndCopiesItsPlace) {
  TestValue a(1), b(2), a2(1), c(5);
  RWHashTable table(4);
  for (RWCollectable* m : {&a, &b, &a2, &c}) table.Insert(m);  // buckets 1: a a2 c; 2: b
  GHashTableIterator it(table);
  EXPECT_EQ(it.FindNext(&a2), &a);
  GHashTableIterator copy(it);
  EXPECT_EQ(it.FindNext(&a2), &a2);
  EXPECT_EQ(it.FindNext(&a2), nullptr);
  EXPECT_EQ(copy.Next(), &a2);  // the copy kept its own place

  // Removes ahead of the cursor, in its bucket and in a later one.
  const auto isTwo = [](const RWCollectable* m, const void*) { return static_cast<const TestValue*>(m)->Value() == 2; };
  const auto isFive = [](const RWCollectable* m, const void*) {
    return static_cast<const TestValue*>(m)->Value() == 5;
  };
  EXPECT_EQ(copy.RemoveNextIf(isFive, nullptr), &c);
  EXPECT_EQ(copy.RemoveNextIf(isTwo, nullptr), &b);
  EXPECT_EQ(copy.RemoveNextIf(isTwo, nullptr), nullptr);
  EXPECT_EQ(copy.Current(), &a2);
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(copy.Next(), nullptr);
}

// Drives a table against a standard multiset of the same numbers with random
// inserts, removals, look-ups and rehashes, checking after every step that
// the counts agree, that the bucket count is what the last construction or
// rehash made it, and that every member sits in the bucket of its hash.
template <typename Table>
void RunDifferential(bool unique, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::unique_ptr<TestValue>> pool;
  std::unordered_multiset<int32_t> model;
  Inspectable<Table> table(7);
  uint32_t buckets = 7;

  const auto number = [&random] { return static_cast<int32_t>(random() % 40) - 5; };
  for (int step = 0; step < 3000; ++step) {
    const int32_t n = number();
    const TestValue probe(n);
    switch (random() % 10) {
      case 0:
      case 1:
      case 2:
      case 3: {
        pool.push_back(std::make_unique<TestValue>(n));
        RWCollectable* answer = table.Insert(pool.back().get());
        if (unique && model.count(n) > 0) {
          EXPECT_NE(answer, pool.back().get());
          EXPECT_TRUE(answer->Equals(&probe));
        } else {
          EXPECT_EQ(answer, pool.back().get());
          model.insert(n);
        }
        break;
      }
      case 4:
      case 5: {
        RWCollectable* removed = table.Remove(&probe);
        const auto found = model.find(n);
        EXPECT_EQ(removed != nullptr, found != model.end());
        if (removed != nullptr) {
          EXPECT_TRUE(removed->Equals(&probe));
        }
        if (found != model.end()) model.erase(found);
        break;
      }
      case 6:
      case 7:
        EXPECT_EQ(table.Occurrences(&probe), model.count(n));
        EXPECT_EQ(table.Contains(&probe), model.count(n) > 0);
        break;
      case 8: {
        const uint32_t asked = random() % 4 == 0 ? 0 : random() % 50 + 1;
        const uint32_t count = table.Count();
        table.Rehash(asked);
        buckets = asked != 0 ? asked : (count < 12 ? 16 : count * 3 / 2);
        break;
      }
      default: {
        // A set holds no two equal members; a bag may.
        std::unique_ptr<RWCollectable> clone(table.Clone());
        EXPECT_TRUE(clone->Equals(&table));
        break;
      }
    }
    ASSERT_EQ(table.Count(), model.size()) << "step " << step;
    ASSERT_EQ(table.Buckets(), buckets) << "step " << step;
    ASSERT_EQ(table.CheckPlacement(), model.size()) << "step " << step;
  }
  std::unordered_multiset<int32_t> held;
  for (int32_t value : Values(table)) held.insert(value);
  EXPECT_EQ(held, model);
}

TEST(RWHashTableTest, AgreesWithAStandardMultiset) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    RunDifferential<RWHashTable>(false, seed);
  }
}

TEST(RWSetTest, AgreesWithAStandardMultisetOfDistinctValues) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    RunDifferential<RWSet>(true, seed);
  }
}

}  // namespace

namespace {

// Null is held by no collection: asked for, it is not found; offered, it is
// not taken; compared with, it is unequal. Nothing is dereferenced.
TEST(CollectionsTest, NullArgumentsAnswerNotFoundOrFalse) {
  TestValue one(1);
  RWHashTable table;
  RWSet set;
  RWIdentitySet identities;
  RWSlistCollectables list;
  RWSlistCollectablesStack stack;
  RWBTree tree;
  RWBTreeDictionary dictionary;
  for (GCollection* collection :
       std::initializer_list<GCollection*>{&table, &set, &identities, &list, &stack, &tree, &dictionary}) {
    SCOPED_TRACE(collection->ClassID());
    collection->Insert(&one);
    EXPECT_FALSE(collection->Equals(nullptr));
    EXPECT_EQ(collection->Find(nullptr), nullptr);
    EXPECT_FALSE(collection->Contains(nullptr));
    EXPECT_EQ(collection->Occurrences(nullptr), 0u);
  }
  for (RWHashTable* hashed : {&table, static_cast<RWHashTable*>(&set)}) {
    EXPECT_EQ(hashed->Insert(nullptr), nullptr);
    EXPECT_EQ(hashed->Remove(nullptr), nullptr);
    EXPECT_EQ(hashed->Count(), 1u);
  }
  const RWCollectableAssociation association(&one, nullptr);
  EXPECT_NE(association.Compare(nullptr), 0);
  EXPECT_FALSE(association.Equals(nullptr));
}

}  // namespace
