#include "foundation/held_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "foundation/collectable_association.h"
#include "foundation/identity_set.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/tests/collectable_test_support.h"

namespace {

bool Holds(const std::vector<RWCollectable*>& graph, const RWCollectable* object) {
  return std::count(graph.begin(), graph.end(), object) == 1;
}

// Shared members are listed once, nested containers are entered, and a
// dictionary's associations (which it deletes itself) are passed through
// but left out.
TEST(HeldGraph, ListsEveryHeldObjectOnceAndLeavesOutWhatAContainerOwns) {
  TestValue shared(1);
  TestValue key(2);
  TestValue value(3);
  RWBTreeDictionary dictionary;
  dictionary.Insert(new RWCollectableAssociation(&key, &value));
  RWIdentitySet inner;
  inner.Insert(&shared);
  inner.Insert(&dictionary);
  RWIdentitySet outer;
  outer.Insert(&shared);
  outer.Insert(&inner);
  outer.Insert(&outer);

  const std::vector<RWCollectable*> graph = HeldGraph(&outer);

  EXPECT_EQ(graph.size(), 6U);
  EXPECT_EQ(graph.front(), &outer);
  for (const RWCollectable* object :
       {static_cast<const RWCollectable*>(&inner), static_cast<const RWCollectable*>(&shared),
        static_cast<const RWCollectable*>(&dictionary), static_cast<const RWCollectable*>(&key),
        static_cast<const RWCollectable*>(&value)}) {
    EXPECT_TRUE(Holds(graph, object));
  }
  outer.Clear();
  inner.Clear();
}

TEST(HeldGraph, AnAssociationTakesItsKeyAndValue) {
  TestValue key(2);
  RWCollectableAssociation pair(&key, nullptr);
  const std::vector<RWCollectable*> graph = HeldGraph(&pair);
  EXPECT_EQ(graph, (std::vector<RWCollectable*>{&pair, &key}));
  EXPECT_EQ(HeldGraph(nullptr), std::vector<RWCollectable*>{});
}

}  // namespace
