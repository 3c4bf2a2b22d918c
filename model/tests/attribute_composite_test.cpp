// Tests of the attribute composite: structure, searches, merging, sending
// and its stored form.
#include "model/attributes/attribute_composite.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/testing/recording_error_handler.h"
#include "model/testing/round_trip.h"
#include "model/testing/selected.h"
#include "model/testing/test_nodes.h"
#include "model/tests/attribute_test_support.h"

namespace {

TEST(AttributeCompositeTest, TakesAttributesAndLetsGoOfAnythingElse) {
  GAttributeComposite composite(1);
  composite.AddChild(nullptr);
  composite.AddChild(new BareNode(2));  // deleted: the sanitizer build sees a leak otherwise
  composite.AddChild(Value(3, 1));
  EXPECT_EQ(DescribeChildren(composite), "v3=1");

  // A refused node that somebody else holds stays theirs.
  const GObjectRef shared(new BareNode(4));
  composite.AddChild(shared.Get());
  EXPECT_EQ(shared->ReferenceCount(), 0);
  EXPECT_EQ(composite.EntryCount(), 1u);
}

// The walk over the children sees each direct child once, in order, and
// hands each its counted pointer and the caller's value; it does not go
// into their subtrees.
TEST(AttributeCompositeTest, ForEachChildVisitsTheDirectChildrenInOrder) {
  GAttributeComposite composite(1);
  composite.AddChild(Composite(2, {Value(3, 1)}));
  composite.AddChild(Value(4, 2));
  composite.AddChild(Text(5, "x"));
  std::string seen;
  composite.ForEachChild(
      [](GCountedPtr& element, void* user) { *static_cast<std::string*>(user) += Describe(*element.Get()) + ";"; },
      &seen);
  EXPECT_EQ(seen, Describe(*composite.FindByKey(2)) + ";v4=2;s5='x';");
}

TEST(AttributeCompositeTest, SearchesTestEachChildThenItsSubtree) {
  // The key 7 sits deep under the first child and directly as the second.
  GAttributeComposite tree(7);
  tree.AddChild(Composite(1, {Composite(2, {Value(7, 1)})}));
  tree.AddChild(Value(7, 2));
  tree.AddChild(Text(8, "x"));

  EXPECT_EQ(Describe(*tree.FindByKey(7)), "v7=1");
  EXPECT_EQ(Describe(*tree.FindByClassId(kGStringAttributeClassID)), "s8='x'");
  EXPECT_EQ(Describe(*tree.FindKindOf(kGAttributeCompositeClassID)), "C1{C2{v7=1}}");
  EXPECT_EQ(tree.FindByKey(99), nullptr);
  EXPECT_EQ(tree.EntryCount(), 3u);
  EXPECT_EQ(tree.NodeCount(), 6u);

  // A leaf matches by content; a composite only as itself.
  const GValueAttribute equal(2, 7);
  EXPECT_EQ(tree.FindEqual(equal), tree.Children()[1].Get());
  const std::unique_ptr<GAttributeComposite> lookalike(Composite(2, {Value(7, 1)}));
  EXPECT_EQ(tree.FindEqual(*lookalike), nullptr);
  MPersistentObject* inner = tree.FindByKey(2);
  EXPECT_EQ(tree.FindEqual(*inner), inner);
}

TEST(AttributeCompositeTest, SelectionsHoldTheMatchingLeavesOnly) {
  GAttributeComposite tree(0);
  tree.AddChild(Composite(5, {Value(5, 1)}));
  tree.AddChild(Value(5, 2));
  const auto selection = Selected<GAttributeComposite>(tree.SelectByKey(5));
  ASSERT_NE(selection, nullptr);
  ASSERT_EQ(selection->EntryCount(), 2u);
  EXPECT_EQ(Describe(*selection->Children()[0].Get()), "v5=1");
  EXPECT_EQ(Describe(*selection->Children()[1].Get()), "v5=2");
  EXPECT_EQ(tree.SelectByKey(6), nullptr);
  EXPECT_EQ(tree.SelectKindOf(kGStateClassID), nullptr);
}

TEST(AttributeCompositeTest, RemovedNodesBelongToTheCaller) {
  GAttributeComposite tree(0);
  tree.AddChild(Composite(1, {Value(2, 1), Value(3, 1)}));
  tree.AddChild(Value(4, 1));

  const std::unique_ptr<MPersistentObject> grandchild(tree.RemoveChildByKey(3));
  ASSERT_NE(grandchild, nullptr);
  EXPECT_EQ(grandchild->ReferenceCount(), -1);
  EXPECT_EQ(DescribeChildren(tree), "C1{v2=1} v4=1");

  // A node still held elsewhere stays there; the caller gets a clone.
  const GObjectRef shared(tree.Children()[1].Get());
  const std::unique_ptr<MPersistentObject> copy(tree.RemoveChild(shared.Get()));
  EXPECT_NE(copy.get(), shared.Get());
  EXPECT_TRUE(copy->Equals(shared.Get()));
  EXPECT_EQ(tree.RemoveChildByClassId(kGRangeAttributeClassID), nullptr);
  EXPECT_EQ(DescribeChildren(tree), "C1{v2=1}");
}

TEST(AttributeCompositeTest, ReplacementsPutADeepCopyInTheTree) {
  GAttributeComposite tree(0);
  tree.AddChild(Composite(1, {Value(2, 1)}));
  const GValueAttribute replacement(9, 2);
  EXPECT_TRUE(tree.ReplaceChildByKey(2, replacement));
  EXPECT_NE(tree.FindByKey(2), &replacement);
  EXPECT_EQ(DescribeChildren(tree), "C1{v2=9*}");
  EXPECT_FALSE(tree.ReplaceChildByKey(3, replacement));

  tree.RemoveAllChildren();
  EXPECT_EQ(tree.EntryCount(), 0u);
  EXPECT_EQ(tree.Children().Capacity(), 64u);
}

TEST(AttributeCompositeTest, SendingReachesChangedChildrenAndClearsOnlyTheComposite) {
  struct Case {
    const char* name;
    std::vector<uint16_t> statuses;
    uint16_t answer;
  };
  const Case cases[] = {
      {"all_succeed", {0, 0}, 0},
      {"last_nonzero_status_wins", {5, 6}, 6},
      {"a_later_zero_keeps_the_earlier_status", {5, 0}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GAttributeComposite> composite(
        Composite(0, {Value(1, 1, 1), Text(2, "a", 0), Range(3, 4, 1)}, 1));
    RecordingPeripheral stage;
    stage.statuses = c.statuses;
    EXPECT_EQ(composite->SendTo(stage), c.answer);
    ASSERT_EQ(stage.calls.size(), 2u);
    EXPECT_EQ(stage.calls[0].handler, "value");
    EXPECT_EQ(stage.calls[1].handler, "range");
    EXPECT_EQ(composite->ChangedFlag(), 0);
    EXPECT_EQ(DescribeChildren(*composite), "v1=1* s2='a' r3=4*");
  }

  const std::unique_ptr<GAttributeComposite> unchanged(Composite(0, {Value(1, 1)}, 1));
  RecordingPeripheral stage;
  EXPECT_EQ(unchanged->SendTo(stage), 0);
  EXPECT_TRUE(stage.calls.empty());
  EXPECT_EQ(unchanged->ChangedFlag(), 0);
}

TEST(AttributeCompositeTest, MarkingReachesTheDirectChildrenOnly) {
  const std::unique_ptr<GAttributeComposite> tree(Composite(0, {Value(1, 1), Composite(2, {Value(3, 1)})}));
  tree->MarkAllChanged();
  EXPECT_EQ(Describe(*tree), "C0{v1=1* C2{v3=1}*}*");
  static_cast<GAttribute*>(tree->FindByKey(3))->SetChangedFlag(1);
  tree->ClearAllChanged();
  EXPECT_EQ(Describe(*tree), "C0{v1=1 C2{v3=1*}}");
}

TEST(AttributeCompositeTest, MergingAppendsClonesOfTheOthersChildren) {
  struct Case {
    const char* name;
    GAttributeComposite* other;
    const char* merged;
    int32_t answer;
  };
  const Case cases[] = {
      // Same type and key: the other's children are appended, equal keys too.
      {"same_key", Composite(0, {Value(1, 5, 1), Value(2, 6, 1)}, 3), "v1=1 v1=5* v2=6*", 3},
      {"same_key_nothing_to_add", Composite(0, {}, 3), "v1=1", 0},
      // Otherwise the other is added as one child.
      {"other_key", Composite(9, {Value(1, 5)}, 1), "v1=1 C9{v1=5}*", 1},
      {"other_type", State(0, {Value(1, 5)}, 1), "v1=1 S0{v1=5}*", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GObjectRef other(c.other);
    const std::unique_ptr<GAttributeComposite> held(Composite(0, {Value(1, 1)}));
    EXPECT_EQ(held->UpdateFrom(c.other), c.answer);
    EXPECT_EQ(DescribeChildren(*held), c.merged);
    // Clones: the other's children are not shared.
    for (const GCountedPtr& child : held->Children()) EXPECT_EQ(child->ReferenceCount(), 0);
  }
}

TEST(AttributeCompositeTest, CopiesShareTheChildren) {
  const std::unique_ptr<GAttributeComposite> tree(Composite(4, {Value(1, 1)}, 0));
  const std::unique_ptr<GAttributeComposite> copy(static_cast<GAttributeComposite*>(tree->Clone()));
  EXPECT_EQ(copy->Children()[0].Get(), tree->Children()[0].Get());
  EXPECT_EQ(copy->SerialNumber(), tree->SerialNumber());
  EXPECT_TRUE(copy->SameContent(*tree));
  const std::unique_ptr<MPersistentObject> deep(tree->DeepCopy());
  EXPECT_NE(static_cast<GAttributeComposite&>(*deep).Children()[0].Get(), tree->Children()[0].Get());
  EXPECT_TRUE(deep->SameContent(*tree));

  const std::unique_ptr<GAttributeComposite> reordered(Composite(4, {Value(2, 2), Value(1, 1)}));
  const std::unique_ptr<GAttributeComposite> ordered(Composite(4, {Value(1, 1), Value(2, 2)}));
  EXPECT_FALSE(reordered->SameContent(*ordered));
}

TEST(AttributeCompositeTest, RoundTripsWithNestedAndSharedChildren) {
  const std::unique_ptr<GAttributeComposite> tree(Composite(3, {Value(1, -1, 1), Text(2, "Letter")}));
  GValueAttribute* shared = Value(5, 5);
  tree->AddChild(Composite(4, {shared, Range(6, 50, 1)}));
  tree->AddChild(shared);
  EXPECT_TRUE(RoundTrips(*tree));

  const GObjectRef restored = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, tree.get()));
  ASSERT_FALSE(restored.IsEmpty());
  auto& copy = static_cast<GAttributeComposite&>(*restored);
  EXPECT_EQ(copy.FindByKey(5), copy.Children()[3].Get());
}

TEST(AttributeCompositeTest, AStoredVersionOtherThanOneKeepsThePresentChildren) {
  const std::unique_ptr<GAttributeComposite> stored(Composite(3, {Value(1, 1)}, 0));
  std::string bytes = SaveGraph(StoreForm::kFile, stored.get());
  // Graph header (4), class ID (2), root part (12), attribute part (8).
  bytes[4 + 2 + 12 + 8] = 2;
  const std::unique_ptr<GAttributeComposite> present(Composite(0, {Text(7, "kept")}));
  EXPECT_EQ(RestoreContentsFromFileBytes(*present, bytes.substr(6)), 12u + 8u + 4u);
  EXPECT_EQ(DescribeChildren(*present), "s7='kept'");
}

TEST(AttributeCompositeTest, HostileChildReferencesAreRefused) {
  RecordingErrorHandler errors;
  // A child count that the input cannot hold, and a child that refers back
  // to the composite being restored (which would own itself).
  const std::unique_ptr<GAttributeComposite> stored(Composite(3, {Value(1, 1)}, 0));
  std::string huge = SaveGraph(StoreForm::kFile, stored.get());
  const size_t countAt = 4 + 2 + 12 + 8 + 4;
  huge.replace(countAt, 4, Words({0x7FFFFFFF}));
  bool good = true;
  const GObjectRef fromHuge = RestoreGraph(StoreForm::kFile, huge, good);
  ASSERT_FALSE(fromHuge.IsEmpty());
  EXPECT_EQ(fromHuge->EntryCount(), 0u);

  // On a binary stream: ':', class ID, '{', the parts up to the count.
  const std::string streamed = SaveGraph(StoreForm::kBinary, stored.get());
  const std::string cycle = streamed.substr(0, 1 + 2 + 1 + 12 + 8 + 4) + Words({1}) + "@" + Words({1}) + "}";
  const GObjectRef fromCycle = RestoreGraph(StoreForm::kBinary, cycle, good);
  ASSERT_FALSE(fromCycle.IsEmpty());
  EXPECT_EQ(fromCycle->EntryCount(), 0u);
  EXPECT_FALSE(good);
}

}  // namespace
