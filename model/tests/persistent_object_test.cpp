#include "model/objects/persistent_object.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "foundation/collectable_association.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/rw_set.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"
#include "model/testing/selected.h"
#include "model/testing/test_nodes.h"

namespace {

TEST(PersistentObject, SerialNumbersCountUpAndCopiesKeepThem) {
  const BareNode first;
  const BareNode second;
  EXPECT_NE(first.SerialNumber(), 0u);
  EXPECT_EQ(second.SerialNumber(), first.SerialNumber() + 1);
  const BareNode copy(first);
  EXPECT_EQ(copy.SerialNumber(), first.SerialNumber());
  BareNode assigned(5);
  assigned = second;
  EXPECT_EQ(assigned.SerialNumber(), second.SerialNumber());
  EXPECT_EQ(assigned.Key(), 0);
}

TEST(PersistentObject, CopiesAndAssignmentLeaveOwnersBehind) {
  auto* node = new BareNode(3);
  const GObjectRef owner(node);
  BareNode copy(*node);
  EXPECT_EQ(copy.ReferenceCount(), -1);
  copy = *node;
  EXPECT_EQ(copy.ReferenceCount(), -1);
  EXPECT_EQ(node->ReferenceCount(), 0);
}

TEST(PersistentObjectThread, SerialNumbersStayUniqueAcrossThreads) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  std::vector<std::vector<uint32_t>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&taken, t] {
      for (int i = 0; i < kPerThread; ++i) taken[t].push_back(BareNode().SerialNumber());
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<uint32_t> all;
  for (const auto& numbers : taken) all.insert(numbers.begin(), numbers.end());
  EXPECT_EQ(all.size(), size_t{kThreads * kPerThread});
}

TEST(PersistentObject, StoredPartIsVersionKeyAndSerialNumber) {
  BareNode node(-2);
  node.SetSerialNumber(0x01020304);
  EXPECT_EQ(node.StoredSize(), 12u);
  EXPECT_EQ(SaveContentsToFileBytes(node), Words({1, 0xFFFFFFFE, 0x01020304}));
  EXPECT_TRUE(RoundTrips(node));
}

TEST(PersistentObject, RestoreFollowsTheVersionAndKeepsSerialNumberForZero) {
  struct Case {
    const char* name;
    std::string stored;
    int32_t key;
    uint32_t serialNumber;
    uint32_t bytesRead;
  };
  const Case cases[] = {
      {"stored_serial_number_replaces", Words({1, 7, 99}), 7, 99, 12},
      {"zero_serial_number_keeps_own", Words({1, 7, 0}), 7, 1000, 12},
      {"other_version_stops_after_it", Words({2, 7, 99}), 3, 1000, 4},
      {"truncated_leaves_object", Words({1, 7}), 3, 1000, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BareNode inFile(3);
    inFile.SetSerialNumber(1000);
    EXPECT_EQ(RestoreContentsFromFileBytes(inFile, c.stored), c.bytesRead);
    EXPECT_EQ(inFile.Key(), c.key);
    EXPECT_EQ(inFile.SerialNumber(), c.serialNumber);

    BareNode inStream(3);
    inStream.SetSerialNumber(1000);
    EXPECT_EQ(RestoreContentsFromStreamBytes(inStream, c.stored), c.bytesRead);
    EXPECT_EQ(inStream.Key(), c.key);
    EXPECT_EQ(inStream.SerialNumber(), c.serialNumber);
  }
}

TEST(PersistentObject, ClearedSerialNumbersRestoreAsFreshOnes) {
  MPersistentComposite tree(1);
  tree.AddChild(new BareNode(2));
  tree.ClearSerialNumbers();
  EXPECT_EQ(tree.SerialNumber(), 0u);
  EXPECT_EQ(tree.Children()[0]->SerialNumber(), 0u);

  const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, &tree));
  ASSERT_FALSE(restored.IsEmpty());
  EXPECT_NE(restored->SerialNumber(), 0u);
  EXPECT_NE(restored->FindByKey(2)->SerialNumber(), 0u);
}

TEST(PersistentObject, LeafSearchesAnswerTheLeafItselfWhenItFits) {
  ValueNode leaf(0, 4);
  const ValueNode same(0, 4);
  const ValueNode other(0, 5);
  EXPECT_EQ(leaf.FindByKey(0), &leaf);
  EXPECT_EQ(leaf.FindByKey(1), nullptr);
  EXPECT_EQ(leaf.FindByClassId(ValueNode::kID), &leaf);
  EXPECT_EQ(leaf.FindByClassId(OtherNode::kID), nullptr);
  EXPECT_EQ(leaf.FindKindOf(kMPersistentObjectClassID), &leaf);
  EXPECT_EQ(leaf.FindKindOf(kMPersistentCompositeClassID), nullptr);
  EXPECT_EQ(leaf.FindEqual(same), &leaf);
  EXPECT_EQ(leaf.FindEqual(other), nullptr);
}

TEST(PersistentObject, LeafSelectionHoldsExactlyTheLeaf) {
  auto* leaf = new ValueNode(8);
  const GObjectRef owner(leaf);
  EXPECT_EQ(leaf->SelectByClassId(OtherNode::kID), nullptr);
  EXPECT_EQ(leaf->SelectByKey(9), nullptr);
  EXPECT_EQ(leaf->ReferenceCount(), 0);

  const auto selection = Selected<MPersistentComposite>(leaf->SelectByClassId(ValueNode::kID));
  ASSERT_NE(selection, nullptr);
  ASSERT_EQ(selection->EntryCount(), 1u);
  EXPECT_EQ(selection->Children()[0].Get(), leaf);
  EXPECT_EQ(leaf->ReferenceCount(), 1);

  MPersistentComposite collected;
  EXPECT_EQ(&leaf->CollectByKey(8, collected), &collected);
  EXPECT_EQ(&leaf->CollectKindOf(kMPersistentCompositeClassID, collected), &collected);
  EXPECT_EQ(collected.EntryCount(), 1u);
}

TEST(PersistentObject, SharedLookupsAddAReferenceOnlyWhenTheyMatch) {
  auto* leaf = new ValueNode(8);
  const GObjectRef owner(leaf);
  EXPECT_TRUE(leaf->SharedIfKey(9).IsEmpty());
  EXPECT_TRUE(leaf->SharedIfClassId(OtherNode::kID).IsEmpty());
  {
    const GObjectRef byKey = leaf->SharedIfKey(8);
    const GObjectRef byEqual = leaf->SharedIfEqual(ValueNode(8));
    EXPECT_EQ(byKey.Get(), leaf);
    EXPECT_EQ(byEqual.Get(), leaf);
    EXPECT_EQ(leaf->ReferenceCount(), 2);
  }
  EXPECT_EQ(leaf->ReferenceCount(), 0);
  EXPECT_TRUE(leaf->FindSharedByKey(8).IsEmpty());
  EXPECT_TRUE(leaf->FindSharedByNode(leaf).IsEmpty());
}

TEST(PersistentObject, LeafHasNoChildrenToChange) {
  ValueNode leaf(1);
  const ValueNode replacement(1);
  auto* child = new BareNode;
  leaf.AddChild(child);
  leaf.InsertFirstChild(child);
  EXPECT_EQ(child->ReferenceCount(), -1);
  delete child;
  EXPECT_EQ(leaf.RemoveChild(&leaf), nullptr);
  EXPECT_EQ(leaf.RemoveChildByKey(1), nullptr);
  EXPECT_EQ(leaf.RemoveChildByClassId(ValueNode::kID), nullptr);
  EXPECT_FALSE(leaf.ReplaceChildByKey(1, replacement));
  EXPECT_FALSE(leaf.ReplaceChild(&leaf, replacement));
  EXPECT_FALSE(leaf.ReplaceSharedByKey(1, replacement));
  EXPECT_EQ(leaf.AsComposite(), nullptr);
  EXPECT_EQ(leaf.EntryCount(), 1u);
  EXPECT_EQ(leaf.NodeCount(), 1u);
  const std::unique_ptr<GIterator> children = leaf.NewChildIterator();
  EXPECT_FALSE(children->Advance());
  EXPECT_EQ(children->Current(), nullptr);
}

TEST(PersistentObject, CompareOrdersByAddressAndEqualsNeedsTheSameClass) {
  const ValueNode nodes[2] = {ValueNode(1, 2), ValueNode(1, 2)};
  EXPECT_EQ(nodes[0].Compare(&nodes[0]), 0);
  EXPECT_EQ(nodes[0].Compare(&nodes[1]), -1);
  EXPECT_EQ(nodes[1].Compare(&nodes[0]), 1);
  EXPECT_TRUE(nodes[0].Equals(&nodes[1]));
  const OtherNode other(1, 2);
  EXPECT_FALSE(nodes[0].Equals(&other));
  EXPECT_FALSE(other.Equals(&nodes[0]));
  EXPECT_TRUE(nodes[0].DiffersFrom(ValueNode(2, 2)));
}

TEST(PersistentObject, KindsFollowTheClassTable) {
  const ValueNode leaf;
  EXPECT_TRUE(leaf.IsKindOf(kMPersistentObjectClassID));
  EXPECT_TRUE(leaf.IsKindOf(ValueNode::kID));
  EXPECT_FALSE(leaf.IsKindOf(OtherNode::kID));
  EXPECT_FALSE(leaf.IsKindOf(kRWCollectableClassID));
  EXPECT_EQ(leaf.BaseTypeId(), ValueNode::kID);
}

TEST(PersistentObject, DeepCopyOfALeafIsAClone) {
  const ValueNode leaf(4, 9);
  const std::unique_ptr<MPersistentObject> copy(leaf.DeepCopy());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy.get(), &leaf);
  EXPECT_TRUE(copy->Equals(&leaf));
  EXPECT_EQ(copy->SerialNumber(), leaf.SerialNumber());
  EXPECT_EQ(copy->ReferenceCount(), -1);
}

TEST(PersistentObject, TypedReadRefusesObjectsThatAreNotModelObjects) {
  const PlainCollectable plain;
  const std::string bytes = SaveGraph(StoreForm::kBinary, &plain);
  EXPECT_TRUE(RestoreGraph(StoreForm::kBinary, bytes).IsEmpty());
}

// A refused container goes with what it holds (the sanitizer build sees a
// leak otherwise): members of a set, and the keys and values of a
// dictionary, model objects or not.
TEST(PersistentObject, ARefusedContainerTakesWhatItHoldsWithIt) {
  ValueNode node(3);
  PlainCollectable plain;
  RWSet set;
  set.Insert(&node);
  set.Insert(&plain);
  RWBTreeDictionary dictionary;
  auto* pair = new RWCollectableAssociation(new PlainCollectable, new ValueNode(4));
  dictionary.Insert(pair);
  for (const RWCollectable* container :
       {static_cast<const RWCollectable*>(&set), static_cast<const RWCollectable*>(&dictionary)}) {
    for (StoreForm form : kAllStoreForms) {
      SCOPED_TRACE(FormName(form));
      EXPECT_TRUE(RestoreGraph(form, SaveGraph(form, container)).IsEmpty());
    }
  }
  delete pair->Key();
  delete pair->Value();
  set.Clear();
}

}  // namespace
