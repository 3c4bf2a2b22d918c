#include "model/objects/persistent_association.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "foundation/binary_stream.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"

namespace {

MPersistentAssociation* Pair(int32_t keyValue, int32_t value) {
  return new MPersistentAssociation(new ValueNode(0, keyValue), new ValueNode(0, value), 0);
}

int32_t ValueOf(const MPersistentObject* object) {
  return object != nullptr ? static_cast<const ValueNode*>(object)->value : -1;
}

TEST(PersistentAssociation, CopiesCloneBothObjectsUnderAFreshBasePart) {
  const MPersistentAssociation original(new ValueNode(1, 2), new OtherNode(3, 4), 9);
  const MPersistentAssociation copy(original);
  EXPECT_EQ(copy.MPersistentObject::Key(), 0);
  EXPECT_NE(copy.SerialNumber(), original.SerialNumber());
  EXPECT_NE(copy.Key(), original.Key());
  EXPECT_NE(copy.Value(), original.Value());
  EXPECT_TRUE(copy.Key()->SameContent(*original.Key()));
  EXPECT_TRUE(copy.Value()->SameContent(*original.Value()));
  EXPECT_FALSE(copy.SameContent(original));  // the keys differ

  MPersistentAssociation assigned(nullptr, nullptr, 9);
  assigned = original;
  EXPECT_EQ(assigned.MPersistentObject::Key(), 9);
  EXPECT_TRUE(assigned.SameContent(original));
  EXPECT_NE(assigned.Key(), original.Key());
}

TEST(PersistentAssociation, ContentComparesBothObjects) {
  const MPersistentAssociation pair(new ValueNode(0, 1), new ValueNode(0, 2), 0);
  EXPECT_TRUE(pair.SameContent(MPersistentAssociation(new ValueNode(0, 1), new ValueNode(0, 2), 0)));
  EXPECT_FALSE(pair.SameContent(MPersistentAssociation(new ValueNode(0, 1), new ValueNode(0, 3), 0)));
  EXPECT_FALSE(pair.SameContent(MPersistentAssociation(new OtherNode(0, 1), new ValueNode(0, 2), 0)));
  EXPECT_FALSE(pair.SameContent(MPersistentAssociation(new ValueNode(0, 1), nullptr, 0)));
  EXPECT_TRUE(MPersistentAssociation().SameContent(MPersistentAssociation()));
}

TEST(PersistentAssociation, RoundTripsWithAndWithoutObjects) {
  EXPECT_TRUE(RoundTrips(MPersistentAssociation(new ValueNode(1, 2), new OtherNode(3, 4), 5)));
  EXPECT_TRUE(RoundTrips(MPersistentAssociation(new ValueNode(1, 2), nullptr, 5)));
  EXPECT_TRUE(RoundTrips(MPersistentAssociation()));
  auto* shared = new ValueNode(1, 2);
  EXPECT_TRUE(RoundTrips(MPersistentAssociation(shared, shared->CloneObject(), 5)));
}

TEST(PersistentAssociation, AnObjectThatIsBothKeyAndValueIsOwnedOnce) {
  // Stored data may name one object twice; the pair then shares it.
  const std::string header = Words({1, 0, 0, 1});
  const std::string bytes =
      Words({0x8888}) + "\x03\x03" + header + "\x11\x7E" + Words({1, 0, 0, 1, 7}) + "\xFF\xFF" + Words({2});
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, bytes);
  ASSERT_FALSE(restored.IsEmpty());
  const auto& pair = dynamic_cast<const MPersistentAssociation&>(*restored);
  ASSERT_NE(pair.Key(), nullptr);
  EXPECT_EQ(pair.Key(), pair.Value());
  EXPECT_EQ(pair.Key()->ReferenceCount(), 1);
}

TEST(PersistentAssociation, AnAssociationCannotHoldItself) {
  const std::string header = Words({1, 0, 0, 1});
  const std::string bytes = ":\x03\x03{" + header + "@" + Words({1}) + "@" + Words({0}) + "}";
  bool good = true;
  const GObjectRef restored = RestoreGraph(StoreForm::kBinary, bytes, good);
  EXPECT_FALSE(good);
  ASSERT_FALSE(restored.IsEmpty());
  EXPECT_EQ(dynamic_cast<const MPersistentAssociation&>(*restored).Key(), nullptr);
}

TEST(AssociationList, PutKeepsOneAssociationPerKeyObject) {
  MAssociationList list(4);
  list.Put(Pair(1, 10));
  list.AddChild(Pair(2, 20));
  list.AddChild(Pair(1, 11));
  EXPECT_EQ(list.EntryCount(), 2u);
  EXPECT_EQ(ValueOf(list.FindValue(std::make_unique<ValueNode>(0, 1).get())), 11);
  EXPECT_EQ(ValueOf(static_cast<MPersistentAssociation*>(list.Children()[1].Get())->Value()), 11);

  // An association still held elsewhere survives being replaced.
  const GObjectRef held(list.Find(std::make_unique<ValueNode>(0, 2).get()));
  list.Put(Pair(2, 21));
  EXPECT_EQ(ValueOf(static_cast<MPersistentAssociation*>(held.Get())->Value()), 20);
  EXPECT_EQ(ValueOf(list.FindValue(std::make_unique<ValueNode>(0, 2).get())), 21);
}

// A refused node stays with its caller, who may still use and delete it.
TEST(AssociationList, RefusesOtherNodesWithoutDeletingThem) {
  MAssociationList list(4);
  list.Put(Pair(1, 10));
  int deletions = 0;
  auto* node = new TrackedNode(&deletions);
  list.AddChild(node);
  list.AddChild(nullptr);
  EXPECT_EQ(list.EntryCount(), 1u);
  EXPECT_EQ(deletions, 0);
  if (deletions == 0) delete node;
}

TEST(AssociationList, FindAndRemoveByKeyObject) {
  MAssociationList list(4);
  list.Put(Pair(1, 10));
  list.Put(Pair(2, 20));
  const ValueNode one(0, 1);
  const ValueNode three(0, 3);
  EXPECT_EQ(list.Find(&three), nullptr);
  EXPECT_EQ(list.FindValue(&three), nullptr);
  EXPECT_EQ(list.FindByKeyObject(&one), list.Children()[0].Get());

  const std::unique_ptr<MPersistentAssociation> removed(list.Remove(&one));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(ValueOf(removed->Value()), 10);
  EXPECT_EQ(removed->ReferenceCount(), -1);
  EXPECT_EQ(list.Remove(&one), nullptr);

  const std::unique_ptr<MPersistentAssociation> byPair(
      list.RemoveChild(*std::unique_ptr<MPersistentAssociation>(Pair(2, 0))));
  ASSERT_NE(byPair, nullptr);
  EXPECT_EQ(ValueOf(byPair->Value()), 20);
  EXPECT_EQ(list.EntryCount(), 0u);
}

TEST(AssociationList, StoresItsOwnVersionAfterTheComposite) {
  MAssociationList list(4);
  list.Put(Pair(1, 10));
  list.Put(new MPersistentAssociation(new OtherNode(5), nullptr, 3));
  EXPECT_TRUE(RoundTrips(list));
  EXPECT_TRUE(list.IsKindOf(kMPersistentCompositeClassID));
  EXPECT_TRUE(list.IsKindOf(kMAssociationListClassID));

  MAssociationList empty(4);
  const std::string stored = SaveContentsToFileBytes(empty);
  EXPECT_EQ(stored.substr(12), Words({1, 0, 1}));
  // The list's own version word is read whatever it holds.
  MAssociationList restored;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, Words({1, 4, 0, 1, 0, 77, 99})), 24u);
  EXPECT_EQ(restored.Key(), 4);
}

TEST(AssociationList, TypedReadsAcceptOnlyTheirClass) {
  MAssociationList list(4);
  list.Put(Pair(1, 10));
  const std::string graph = SaveGraph(StoreForm::kBinary, &list);
  {
    std::stringbuf channel(graph, std::ios::in | std::ios::binary);
    GBinaryInStream stream(&channel);
    MAssociationList* read = nullptr;
    ReadObjectFromStream(stream, read);
    ASSERT_NE(read, nullptr);
    const GObjectRef owner(read);
    EXPECT_TRUE(read->SameContent(list));
  }
  std::stringbuf channel(graph, std::ios::in | std::ios::binary);
  GBinaryInStream stream(&channel);
  MPersistentAssociation* wrong = nullptr;
  ReadObjectFromStream(stream, wrong);
  EXPECT_EQ(wrong, nullptr);
}

}  // namespace
