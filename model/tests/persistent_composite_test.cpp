#include "model/objects/persistent_composite.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/testing/round_trip.h"
#include "model/testing/selected.h"
#include "model/testing/test_nodes.h"

namespace {

std::vector<int32_t> ChildKeys(const MPersistentObject& composite) {
  std::vector<int32_t> keys;
  const std::unique_ptr<GIterator> children = const_cast<MPersistentObject&>(composite).NewChildIterator();
  while (children->Advance()) keys.push_back(children->Current() != nullptr ? children->Current()->Key() : -1);
  return keys;
}

// A composite whose slots a test can fill directly, empty ones included.
class OpenComposite : public MPersistentComposite {
 public:
  using MPersistentComposite::MPersistentComposite;
  GCountedPtrVector& Slots() { return MutableChildren(); }
};

// root (key 100)
//   a: composite (key 1)
//     x: value node (key 5)
//     b: composite (key 2)
//       z: other node (key 6)
//   y: value node (key 5)
//   w: other node (key 7)
struct Tree {
  Tree() : root(new MPersistentComposite(100)), owner(root) {
    a = new MPersistentComposite(1);
    b = new MPersistentComposite(2);
    x = new TrackedNode(&deletions, 5);
    y = new TrackedNode(&deletions, 5);
    z = new OtherNode(6);
    w = new OtherNode(7);
    b->AddChild(z);
    a->AddChild(x);
    a->AddChild(b);
    root->AddChild(a);
    root->AddChild(y);
    root->AddChild(w);
  }

  int deletions = 0;
  MPersistentComposite* root;
  GObjectRef owner;
  MPersistentComposite* a;
  MPersistentComposite* b;
  MPersistentObject* x;
  MPersistentObject* y;
  MPersistentObject* z;
  MPersistentObject* w;
};

TEST(PersistentComposite, CapacityGrowsBySixtyFourAndClearingLeavesSixtyFour) {
  MPersistentComposite composite;
  EXPECT_EQ(composite.Children().Capacity(), 10u);
  for (int i = 0; i < 11; ++i) composite.AddChild(new BareNode(i));
  EXPECT_EQ(composite.Children().Capacity(), 74u);
  EXPECT_EQ(composite.EntryCount(), 11u);
  composite.RemoveAllChildren();
  EXPECT_EQ(composite.Children().Capacity(), 64u);
  EXPECT_EQ(composite.EntryCount(), 0u);
}

TEST(PersistentComposite, AddingAndInsertingFirst) {
  MPersistentComposite composite;
  composite.AddChild(nullptr);
  composite.InsertFirstChild(nullptr);
  EXPECT_EQ(composite.EntryCount(), 0u);
  composite.AddChild(new BareNode(1));
  composite.InsertFirstChild(new BareNode(2));
  composite.AddChild(new BareNode(3));
  EXPECT_EQ(ChildKeys(composite), (std::vector<int32_t>{2, 1, 3}));
  EXPECT_EQ(composite.Children()[0]->ReferenceCount(), 0);
  EXPECT_EQ(composite.NodeCount(), 4u);
  EXPECT_EQ(composite.AsComposite(), &composite);
}

TEST(PersistentComposite, SearchesGoDepthFirstBelowTheComposite) {
  Tree tree;
  EXPECT_EQ(tree.root->FindByKey(100), nullptr);
  EXPECT_EQ(tree.root->FindByKey(5), tree.x);
  EXPECT_EQ(tree.root->FindByKey(6), tree.z);
  EXPECT_EQ(tree.root->FindByKey(2), tree.b);
  EXPECT_EQ(tree.root->FindByClassId(OtherNode::kID), tree.z);
  EXPECT_EQ(tree.root->FindByClassId(kMPersistentCompositeClassID), tree.a);
  EXPECT_EQ(tree.root->FindKindOf(ValueNode::kID), tree.x);
  EXPECT_EQ(tree.root->FindEqual(OtherNode(7)), tree.w);
  EXPECT_EQ(tree.root->FindEqual(OtherNode(8)), nullptr);
  EXPECT_EQ(tree.root->NodeCount(), 7u);
  EXPECT_EQ(tree.root->EntryCount(), 3u);
}

TEST(PersistentComposite, SelectionsCollectLeavesOnly) {
  Tree tree;
  const auto byKey = Selected<MPersistentComposite>(tree.root->SelectByKey(5));
  ASSERT_NE(byKey, nullptr);
  ASSERT_EQ(byKey->EntryCount(), 2u);
  EXPECT_EQ(byKey->Children()[0].Get(), tree.x);
  EXPECT_EQ(byKey->Children()[1].Get(), tree.y);
  EXPECT_EQ(tree.x->ReferenceCount(), 1);

  const auto byClass = Selected<MPersistentComposite>(tree.root->SelectByClassId(OtherNode::kID));
  ASSERT_NE(byClass, nullptr);
  EXPECT_EQ(ChildKeys(*byClass), (std::vector<int32_t>{6, 7}));
  const auto byKind = Selected<MPersistentComposite>(tree.root->SelectKindOf(kMPersistentObjectClassID));
  ASSERT_NE(byKind, nullptr);
  EXPECT_EQ(ChildKeys(*byKind), (std::vector<int32_t>{5, 6, 5, 7}));
  // Composites pass the call on and never collect themselves.
  EXPECT_EQ(tree.root->SelectByClassId(kMPersistentCompositeClassID), nullptr);
  EXPECT_EQ(tree.root->SelectByKey(2), nullptr);
}

// A stored graph that shares one node at every level: each composite holds
// the next one twice, so there are 2^60 paths to the leaf at the bottom.
// Searches go through each node once and find what a tree walk would.
TEST(PersistentComposite, SearchesThroughASharedNodeAtEveryLevelMeetEachNodeOnce) {
  constexpr int kLevels = 60;
  GObjectRef built(new MPersistentComposite(1000));
  MPersistentComposite* level = static_cast<MPersistentComposite*>(built.Get());
  for (int i = 1; i < kLevels; ++i) {
    auto* next = new MPersistentComposite(1000 + i);
    level->AddChild(next);
    level->AddChild(next);
    level = next;
  }
  level->AddChild(new OtherNode(5));
  bool good = false;
  const GObjectRef root = RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, built.Get()), good);
  ASSERT_TRUE(good);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->FindByKey(7), nullptr);
  EXPECT_EQ(root->FindByClassId(ValueNode::kID), nullptr);
  EXPECT_EQ(root->FindEqual(OtherNode(6)), nullptr);
  EXPECT_EQ(root->FindKindOf(kMPersistentObjectClassID)->Key(), 1001);
  const MPersistentObject* leaf = root->FindByKey(5);
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(root->FindByClassId(OtherNode::kID), leaf);
  EXPECT_EQ(root->FindEqual(OtherNode(5)), leaf);
  EXPECT_EQ(root->FindByKey(1000 + kLevels - 1)->Key(), 1000 + kLevels - 1);
  for (const auto& select : {&MPersistentObject::SelectByClassId, &MPersistentObject::SelectKindOf}) {
    const auto selection = Selected<MPersistentComposite>((root.Get()->*select)(OtherNode::kID));
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(ChildKeys(*selection), std::vector<int32_t>{5});
  }
  const auto byKey = Selected<MPersistentComposite>(root->SelectByKey(5));
  ASSERT_NE(byKey, nullptr);
  EXPECT_EQ(byKey->Children()[0].Get(), leaf);
  EXPECT_EQ(byKey->EntryCount(), 1u);
}

TEST(PersistentComposite, RemovingAGrandchildHandsItOverFromItsParent) {
  Tree tree;
  MPersistentObject* removed = tree.root->RemoveChildByKey(6);
  EXPECT_EQ(removed, tree.z);
  EXPECT_EQ(removed->ReferenceCount(), -1);
  EXPECT_EQ(tree.b->EntryCount(), 0u);
  delete removed;

  // A node that another owner still holds comes back as a clone.
  const GObjectRef other(tree.x);
  const std::unique_ptr<MPersistentObject> copy(tree.root->RemoveChild(tree.x));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy.get(), tree.x);
  EXPECT_EQ(copy->Key(), 5);
  EXPECT_EQ(tree.x->ReferenceCount(), 0);
  EXPECT_EQ(ChildKeys(*tree.a), (std::vector<int32_t>{2}));

  const std::unique_ptr<MPersistentObject> byClass(tree.root->RemoveChildByClassId(OtherNode::kID));
  EXPECT_EQ(byClass.get(), tree.w);
  EXPECT_EQ(tree.root->RemoveChildByKey(42), nullptr);
  EXPECT_EQ(tree.root->RemoveChild(tree.root), nullptr);
}

TEST(PersistentComposite, ReplacementsPutADeepCopyInTheTree) {
  struct Case {
    const char* name;
    bool (*replace)(Tree& tree, const MPersistentObject& object);
    int32_t replacedKey;
  };
  const Case cases[] = {
      {"by_key", [](Tree& t, const MPersistentObject& o) { return t.root->ReplaceChildByKey(6, o); }, 6},
      {"by_class", [](Tree& t, const MPersistentObject& o) { return t.root->ReplaceChildByClassId(OtherNode::kID, o); },
       6},
      {"by_node", [](Tree& t, const MPersistentObject& o) { return t.root->ReplaceChild(t.y, o); }, 5},
      {"by_kind", [](Tree& t, const MPersistentObject& o) { return t.root->ReplaceChildByKind(ValueNode::kID, o); }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree tree;
    const ValueNode replacement(c.replacedKey, 99);
    EXPECT_TRUE(c.replace(tree, replacement));
    EXPECT_EQ(replacement.ReferenceCount(), -1);
    MPersistentObject* placed = tree.root->FindEqual(replacement);
    ASSERT_NE(placed, nullptr);
    EXPECT_NE(placed, &replacement);
    EXPECT_EQ(tree.root->NodeCount(), 7u);
  }
  Tree tree;
  EXPECT_FALSE(tree.root->ReplaceChildByKey(42, ValueNode()));
  // Replacing with equal content still counts as a replacement.
  const ValueNode same(7);
  EXPECT_TRUE(tree.root->ReplaceChildByKey(7, OtherNode(7)));
  EXPECT_EQ(tree.deletions, 0);
  EXPECT_TRUE(tree.root->ReplaceChild(tree.y, same));
  EXPECT_EQ(tree.deletions, 1);
}

TEST(PersistentComposite, ContentComparesChildrenInOrder) {
  MPersistentComposite first(3);
  first.AddChild(new ValueNode(1, 10));
  first.AddChild(new ValueNode(2, 20));
  MPersistentComposite same(3);
  same.AddChild(new ValueNode(1, 10));
  same.AddChild(new ValueNode(2, 20));
  MPersistentComposite reordered(3);
  reordered.AddChild(new ValueNode(2, 20));
  reordered.AddChild(new ValueNode(1, 10));
  MPersistentComposite shorter(3);
  shorter.AddChild(new ValueNode(1, 10));
  EXPECT_TRUE(first.SameContent(same));
  EXPECT_FALSE(first.SameContent(reordered));
  EXPECT_FALSE(first.SameContent(shorter));
  EXPECT_FALSE(first.SameContent(MPersistentComposite(4)));
  EXPECT_FALSE(first.SameContent(ValueNode(3)));
}

TEST(PersistentComposite, CopiesShareChildrenAndEqualAssignmentChangesNothing) {
  Tree tree;
  MPersistentComposite copy(*tree.root);
  EXPECT_EQ(copy.SerialNumber(), tree.root->SerialNumber());
  EXPECT_EQ(copy.Children()[1].Get(), tree.y);
  EXPECT_EQ(tree.y->ReferenceCount(), 1);

  MPersistentComposite equal(100);
  equal.AddChild(tree.a);
  equal.AddChild(tree.y);
  equal.AddChild(tree.w);
  const uint32_t serial = equal.SerialNumber();
  equal = *tree.root;
  EXPECT_EQ(equal.SerialNumber(), serial);

  MPersistentComposite other(5);
  other.AddChild(new BareNode);
  other = *tree.root;
  EXPECT_EQ(other.SerialNumber(), tree.root->SerialNumber());
  EXPECT_EQ(other.Key(), 100);
  EXPECT_EQ(other.Children()[0].Get(), tree.a);
}

TEST(PersistentComposite, DeepCopyCopiesEveryNode) {
  Tree tree;
  const std::unique_ptr<MPersistentObject> copy(tree.root->DeepCopy());
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->SameContent(*tree.root));
  EXPECT_NE(copy->SerialNumber(), tree.root->SerialNumber());
  EXPECT_NE(copy->FindByKey(6), tree.z);
  EXPECT_EQ(copy->NodeCount(), 7u);
  EXPECT_EQ(tree.x->ReferenceCount(), 0);
}

TEST(PersistentComposite, ForEachChildAndFindFirstChildSeeTheElements) {
  Tree tree;
  std::vector<int32_t> keys;
  tree.root->ForEachChild(
      [](GCountedPtr& element, void* user) { static_cast<std::vector<int32_t>*>(user)->push_back(element->Key()); },
      &keys);
  EXPECT_EQ(keys, (std::vector<int32_t>{1, 5, 7}));
  int32_t wanted = 5;
  auto keyIs = [](const GCountedPtr& element, void* user) { return element->Key() == *static_cast<int32_t*>(user); };
  EXPECT_EQ(tree.root->FindFirstChild(keyIs, &wanted), tree.y);
  wanted = 6;
  EXPECT_EQ(tree.root->FindFirstChild(keyIs, &wanted), nullptr);
}

TEST(PersistentComposite, SharedAndMissingChildrenSurviveSaveAndRestore) {
  OpenComposite root(100);
  auto* shared = new ValueNode(5, 50);
  auto* inner = new MPersistentComposite(1);
  inner->AddChild(shared);
  root.AddChild(inner);
  root.AddChild(shared);
  root.AddChild(new OtherNode(7));
  root.Slots().Append(GCountedPtr());
  EXPECT_TRUE(RoundTrips(root));
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &root));
    ASSERT_FALSE(restored.IsEmpty());
    EXPECT_EQ(ChildKeys(*restored), (std::vector<int32_t>{1, 5, 7, -1}));
    MPersistentObject* restoredShared = restored->FindByKey(5);
    ASSERT_NE(restoredShared, nullptr);
    EXPECT_EQ(restored->FindByKey(1)->FindByKey(5), restoredShared);
    EXPECT_EQ(restoredShared->ReferenceCount(), 1);
  }
}

TEST(PersistentComposite, StoredContentsAreVersionCountAndReferences) {
  OpenComposite composite(1);
  composite.SetSerialNumber(2);
  composite.AddChild(nullptr);
  composite.Slots().Append(GCountedPtr());
  EXPECT_EQ(SaveContentsToFileBytes(composite), Words({1, 1, 2, 1, 1}) + Words({0x8888}) + "\xFF\xFF" + Words({0}));
}

TEST(PersistentComposite, RestoreRefusesWhatStoredDataCannotHoldAndFailsTheInput) {
  struct Case {
    const char* name;
    std::string file;
    std::string stream;
  };
  const std::string header = Words({1, 0, 5, 1});
  const Case cases[] = {
      {"count_beyond_the_input", Words({0x8888}) + "\xF0\x02" + header + Words({0x7FFFFFFF}) + "\xFF\xFF",
       ":\xF0\x02{" + header + Words({0x7FFFFFFF}) + "@" + Words({0}) + "}"},
      {"child_is_the_composite", Words({0x8888}) + "\xF0\x02" + header + Words({1}) + "\xFF\xFF" + Words({1}),
       ":\xF0\x02{" + header + Words({1}) + "@" + Words({1}) + "}"},
      {"grandchild_is_the_root",
       Words({0x8888}) + "\xF0\x02" + header + Words({1}) + "\xF0\x02" + header + Words({1}) + "\xFF\xFF" + Words({1}),
       ":\xF0\x02{" + header + Words({1}) + ":\xF0\x02{" + header + Words({1}) + "@" + Words({1}) + "}}"},
      {"child_is_not_a_model_object", Words({0x8888}) + "\xF0\x02" + header + Words({1}) + std::string("\x1F\x7E", 2),
       ":\xF0\x02{" + header + Words({1}) + ":\x1F\x7E{}}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool good = true;
    const GObjectRef fromFile = RestoreGraph(StoreForm::kFile, c.file, good);
    EXPECT_FALSE(good);
    ASSERT_FALSE(fromFile.IsEmpty());
    EXPECT_LE(fromFile->NodeCount(), 2u);
    good = true;
    const GObjectRef fromStream = RestoreGraph(StoreForm::kBinary, c.stream, good);
    EXPECT_FALSE(good);
    ASSERT_FALSE(fromStream.IsEmpty());
    EXPECT_LE(fromStream->NodeCount(), 2u);
  }
}

TEST(PersistentComposite, AnotherVersionKeepsTheChildren) {
  MPersistentComposite composite(1);
  composite.AddChild(new BareNode(4));
  EXPECT_EQ(RestoreContentsFromFileBytes(composite, Words({1, 9, 0, 2, 0})), 16u);
  EXPECT_EQ(composite.Key(), 9);
  EXPECT_EQ(ChildKeys(composite), (std::vector<int32_t>{4}));
}

}  // namespace
