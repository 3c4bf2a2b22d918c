#include "model/objects/counted_ptr.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "model/objects/counted_ptr_vector.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"

namespace {

TEST(CountedPtr, OwnersShareAndTheLastOneDeletes) {
  int deletions = 0;
  auto* node = new TrackedNode(&deletions);
  {
    GCountedPtr first(node);
    EXPECT_EQ(node->ReferenceCount(), 0);
    {
      const GCountedPtr second(first);
      GObjectRef third(second.Ref());
      EXPECT_EQ(node->ReferenceCount(), 2);
    }
    EXPECT_EQ(node->ReferenceCount(), 0);
    EXPECT_EQ(deletions, 0);
  }
  EXPECT_EQ(deletions, 1);
  const GCountedPtr empty;
  const GCountedPtr copyOfEmpty(empty);
  EXPECT_TRUE(copyOfEmpty.IsEmpty());
}

TEST(CountedPtr, AssigningTheSamePointeeChangesNoCount) {
  int deletions = 0;
  GCountedPtr first(new TrackedNode(&deletions));
  GCountedPtr second(first);
  const GCountedPtr& alias = first;
  first = alias;
  first = second;
  first = second.Get();
  EXPECT_EQ(first->ReferenceCount(), 1);
  GObjectRef moved(second.Ref());
  moved = std::move(second.Ref());
  EXPECT_EQ(first->ReferenceCount(), 1);
  EXPECT_EQ(deletions, 0);
}

TEST(CountedPtr, AssignmentReleasesTheOldPointeeEvenWhenItOwnsTheNewOne) {
  int deletions = 0;
  auto* parent = new MPersistentComposite;
  auto* child = new TrackedNode(&deletions);
  parent->AddChild(child);
  GObjectRef ref(parent);
  // The parent goes, and with it its child, unless the new pointee is taken
  // first.
  ref = child;
  EXPECT_EQ(deletions, 0);
  EXPECT_EQ(ref->ReferenceCount(), 0);
  ref = nullptr;
  EXPECT_EQ(deletions, 1);
}

TEST(CountedPtr, HandOverGivesTheObjectToASoleOwnerAndACloneOtherwise) {
  int deletions = 0;
  auto* node = new TrackedNode(&deletions, 4);
  GObjectRef sole(node);
  MPersistentObject* handed = sole.HandOver();
  EXPECT_EQ(handed, node);
  EXPECT_EQ(node->ReferenceCount(), -1);
  EXPECT_TRUE(sole.IsEmpty());

  GObjectRef mine(handed);
  const GObjectRef theirs(node);
  const std::unique_ptr<MPersistentObject> copy(mine.HandOver());
  ASSERT_NE(copy.get(), node);
  EXPECT_EQ(copy->Key(), 4);
  EXPECT_EQ(copy->ReferenceCount(), -1);
  EXPECT_EQ(node->ReferenceCount(), 0);
}

TEST(CountedPtr, CopyPointeeIsAnUnownedDeepCopy) {
  auto* tree = new MPersistentComposite(1);
  tree->AddChild(new ValueNode(2, 3));
  const GCountedPtr ptr(tree);
  const std::unique_ptr<MPersistentObject> copy(ptr.CopyPointee());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy.get(), tree);
  EXPECT_EQ(copy->ReferenceCount(), -1);
  EXPECT_TRUE(copy->SameContent(*tree));
  EXPECT_NE(copy->FindByKey(2), tree->FindByKey(2));
  EXPECT_EQ(GCountedPtr().CopyPointee(), nullptr);
}

TEST(CountedPtr, ClassAndKinds) {
  const GCountedPtr ptr;
  EXPECT_EQ(ptr.ClassID(), kGCountedPtrClassID);
  EXPECT_TRUE(ptr.IsKindOf(kGCountedPtrClassID));
  EXPECT_TRUE(ptr.IsKindOf(kMPersistentObjectClassID));
  EXPECT_FALSE(ptr.IsKindOf(kMPersistentCompositeClassID));
  EXPECT_EQ(ptr.Clone(), nullptr);
  EXPECT_EQ(ptr.NewInstance(), nullptr);
}

TEST(CountedPtr, StoresThePointeeAsAnObjectReference) {
  const GCountedPtr empty;
  const std::string nil = SaveContentsToFileBytes(empty);
  EXPECT_EQ(nil, Words({0x8888}) + std::string("\xFF\xFF\0\0\0\0", 6));
  EXPECT_EQ(empty.StoredSize(), nil.size());

  const GCountedPtr full(new ValueNode(5, 6));
  const std::string stored = SaveContentsToFileBytes(full);
  EXPECT_EQ(full.StoredSize(), stored.size());

  int deletions = 0;
  GCountedPtr restored(new TrackedNode(&deletions));
  RestoreContentsFromFileBytes(restored, stored);
  EXPECT_EQ(deletions, 1);
  ASSERT_FALSE(restored.IsEmpty());
  EXPECT_TRUE(restored->Equals(full.Get()));
  EXPECT_EQ(restored->ReferenceCount(), 0);
}

TEST(CountedPtr, RestoreThatFailsKeepsThePointee) {
  int deletions = 0;
  GCountedPtr ptr(new TrackedNode(&deletions));
  RestoreContentsFromFileBytes(ptr, Words({0x8888}));
  EXPECT_FALSE(ptr.IsEmpty());
  EXPECT_EQ(deletions, 0);
}

TEST(CountedPtrThread, ReferencesTakenOnManyThreadsDeleteOnce) {
  int deletions = 0;
  auto* node = new TrackedNode(&deletions);
  {
    const GCountedPtr shared(node);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&shared] {
        for (int i = 0; i < 5000; ++i) {
          GCountedPtr copy(shared);
          GObjectRef ref(copy.Get());
          ref = nullptr;
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(node->ReferenceCount(), 0);
  }
  EXPECT_EQ(deletions, 1);
}

TEST(CountedPtrThread, LastOwnerOnAnyThreadDeletes) {
  for (int round = 0; round < 50; ++round) {
    int deletions = 0;
    std::vector<GObjectRef> owners(4, GObjectRef(new TrackedNode(&deletions)));
    std::vector<std::thread> threads;
    for (GObjectRef& owner : owners) {
      threads.emplace_back([&owner] { owner = nullptr; });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(deletions, 1);
  }
}

// A vector of count nodes keyed 0 .. count-1, with capacity slots.
struct VectorFixture {
  VectorFixture(uint32_t capacity, int count) : vector(capacity) {
    for (int i = 0; i < count; ++i) {
      nodes.push_back(new TrackedNode(&deletions, i));
      vector.Append(GCountedPtr(nodes.back()));
    }
  }
  std::vector<int32_t> Keys() const {
    std::vector<int32_t> keys;
    for (const GCountedPtr& element : vector) keys.push_back(element->Key());
    return keys;
  }

  int deletions = 0;
  std::vector<MPersistentObject*> nodes;
  GCountedPtrVector vector;
};

TEST(CountedPtrVector, GrowsBySixtyFourSlotsWhenFull) {
  VectorFixture fixture(10, 10);
  EXPECT_EQ(fixture.vector.Capacity(), 10u);
  fixture.vector.Append(GCountedPtr(new ValueNode));
  EXPECT_EQ(fixture.vector.Capacity(), 74u);
  EXPECT_EQ(fixture.vector.Count(), 11u);
  fixture.vector.Resize(74);
  EXPECT_EQ(fixture.vector.Capacity(), 74u);
  fixture.vector.Resize(5);
  EXPECT_EQ(fixture.vector.Count(), 5u);
  EXPECT_EQ(fixture.deletions, 5);
}

TEST(CountedPtrVector, MatchesByPointee) {
  VectorFixture fixture(64, 3);
  const GCountedPtr twice(fixture.nodes[1]);
  fixture.vector.Append(twice);
  EXPECT_EQ(fixture.vector.IndexOf(twice), 1);
  EXPECT_EQ(fixture.vector.CountOf(twice), 2u);
  EXPECT_EQ(fixture.vector.IndexOf(GCountedPtr(new ValueNode(1))), -1);

  const GCountedPtr absent(new ValueNode);
  EXPECT_FALSE(fixture.vector.Remove(absent));
  EXPECT_EQ(fixture.vector.Count(), 4u);

  fixture.vector.Append(GCountedPtr(fixture.nodes[2]));
  EXPECT_EQ(fixture.vector.RemoveAll(twice), 2u);
  EXPECT_EQ(fixture.Keys(), (std::vector<int32_t>{0, 2, 2}));
  EXPECT_TRUE(fixture.vector.Remove(GCountedPtr(fixture.nodes[2])));
  EXPECT_EQ(fixture.Keys(), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(fixture.deletions, 0);
}

TEST(CountedPtrVector, RemoveAtHandsBackACountedCopy) {
  VectorFixture fixture(64, 3);
  const GCountedPtr removed = fixture.vector.RemoveAt(1);
  EXPECT_EQ(removed.Get(), fixture.nodes[1]);
  EXPECT_EQ(removed->ReferenceCount(), 0);
  EXPECT_EQ(fixture.Keys(), (std::vector<int32_t>{0, 2}));
}

TEST(CountedPtrVector, IndexesOutsideTheCountRaiseTheBoundsError) {
  const RecordingErrorHandler errors;
  VectorFixture fixture(64, 2);
  EXPECT_TRUE(fixture.vector.At(2).IsEmpty());
  EXPECT_TRUE(fixture.vector.RemoveAt(0xFFFFFFFF).IsEmpty());
  fixture.vector.Set(5, GCountedPtr());
  EXPECT_EQ(fixture.vector.Count(), 2u);
  GObjectPtrVector& checked = fixture.vector;
  EXPECT_FALSE(checked.CheckIndex(2));
  EXPECT_TRUE(checked.CheckIndex(1));
  ASSERT_EQ(errors.Count(), 4u);
  EXPECT_EQ(errors.Records()[0].kind, "bounds");
  EXPECT_EQ(errors.Texts()[0], "[INDEXERR] Illegal Index (2) for collection or string with 2 elements");
  EXPECT_EQ(errors.Texts()[1], "[INDEXERR] Illegal Index (4294967295) for collection or string with 2 elements");
}

TEST(CountedPtrVectorIterator, WalksTheChildrenOnce) {
  const RecordingErrorHandler errors;
  VectorFixture fixture(64, 1);
  GCountedPtrVectorIterator iterator(nullptr, fixture.vector);
  EXPECT_EQ(iterator.Current(), nullptr);
  EXPECT_EQ(errors.Count(), 1u);
  EXPECT_TRUE(iterator.Advance());
  EXPECT_EQ(iterator.Current(), fixture.nodes[0]);
  EXPECT_FALSE(iterator.Advance());
  EXPECT_EQ(iterator.Index(), -1);
  EXPECT_TRUE(iterator.Advance());
  iterator.Reset();
  EXPECT_EQ(iterator.Index(), -1);
}

TEST(CountedPtrVectorIterator, InsertReplacesTheCurrentChild) {
  VectorFixture fixture(64, 4);
  GCountedPtrVectorIterator iterator(nullptr, fixture.vector);
  for (int i = 0; i < 3; ++i) iterator.Advance();
  fixture.nodes.clear();
  iterator.Insert(new ValueNode(9));
  EXPECT_EQ(fixture.Keys(), (std::vector<int32_t>{0, 1, 9, 3}));
  EXPECT_EQ(fixture.deletions, 1);
  iterator.Insert(iterator.Current());
  EXPECT_EQ(fixture.Keys(), (std::vector<int32_t>{0, 1, 9, 3}));
}

TEST(CountedPtrVectorIterator, InsertIntoAnEmptyVectorAppendsAndBeforeTheFirstChildRaises) {
  const RecordingErrorHandler errors;
  GCountedPtrVector vector;
  GCountedPtrVectorIterator iterator(nullptr, vector);
  iterator.Insert(new ValueNode(1));
  EXPECT_EQ(vector.Count(), 1u);
  EXPECT_EQ(errors.Count(), 0u);
  int deletions = 0;
  auto* refused = new TrackedNode(&deletions);
  iterator.Insert(refused);
  EXPECT_EQ(vector.Count(), 1u);
  EXPECT_EQ(errors.Count(), 1u);
  EXPECT_EQ(deletions, 1);
}

}  // namespace
