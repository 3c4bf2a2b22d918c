#pragma once

#include <cstdint>
#include <memory>

#include "foundation/collection.h"

// One node of an in-memory B-tree, allocated whole: the first count items in
// ascending order, and one child more than items (all null in a leaf). Child
// i holds the items between item i-1 and item i.
struct GBTreeNode {
  static constexpr uint32_t kCapacity = 100;
  // Every node but the root holds at least this many items once an
  // operation is complete; the root holds at least one.
  static constexpr uint32_t kMinimum = 50;

  bool IsLeaf() const { return children[0] == nullptr; }

  uint32_t count = 0;
  RWCollectable* items[kCapacity] = {};
  std::unique_ptr<GBTreeNode> children[kCapacity + 1];
};

// Collectables kept sorted by their three-way Compare, one item per key, in
// a B-tree of fixed-size nodes. The tree owns its nodes, never its items.
//
// Saved as every collection is: the count, then the items in ascending order
// as object references.
class RWBTree : public GCollection {
 public:
  RWBTree() = default;
  RWBTree(const RWBTree&) = delete;
  RWBTree& operator=(const RWBTree&) = delete;
  ~RWBTree() override;

  RWCollectable* NewInstance() const override;
  // A tree holding the same items.
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWBTreeClassID; }
  static RWClassID StaticClassID() { return kRWBTreeClassID; }
  // Another tree of as many items, every one of which it contains.
  bool Equals(const RWCollectable* other) const override;

  // In ascending order.
  void ForEach(GCollectableFunction function, void* user) const override;
  // Frees every node; the items stay as they are.
  void Clear() override;
  uint32_t Count() const override { return count_; }
  // The stored item that compares equal to the key, or null.
  RWCollectable* Find(const RWCollectable* key) const override;
  // Answers the item, or the stored item that compares equal to it (then
  // nothing is inserted); null items are refused.
  RWCollectable* Insert(RWCollectable* item) override;
  bool IsEmpty() const override { return root_ == nullptr; }
  // 1 or 0.
  uint32_t Occurrences(const RWCollectable* key) const override;
  // Unlinks the stored item that compares equal to the key and answers it.
  RWCollectable* Remove(const RWCollectable* key) override;

  // 0 when empty, else the number of levels.
  uint32_t Height() const;
  // The top node, null when empty; for walking the nodes.
  const GBTreeNode* Root() const { return root_.get(); }

 protected:
  // The other object as a tree of class id holding as many items, or null.
  template <typename Tree>
  const Tree* PeerOfSameSize(const RWCollectable* other, RWClassID id) const {
    if (other == nullptr || other->ClassID() != id) return nullptr;
    const auto* tree = dynamic_cast<const Tree*>(other);
    return tree != nullptr && tree->Count() == Count() ? tree : nullptr;
  }
  // True when every item passes the test; stops at the first that fails.
  template <typename Test>
  bool EveryItem(Test test) const {
    bool all = true;
    ForEachMember([&](RWCollectable* item) {
      if (all) all = test(item);
    });
    return all;
  }

 private:
  enum class InsertResult { kHandedUp, kDone, kPresent };
  enum class RemoveResult { kShort, kDone, kNotFound };

  // The position of the first item that does not compare below the key.
  static uint32_t LowerBound(const GBTreeNode& node, const RWCollectable* key);
  // Inserts item under node. kHandedUp: item and right now hold a separator
  // and a new node for the level above (at a missing node, the item itself
  // with no node); kPresent: item now holds the stored equal item.
  static InsertResult InsertInto(GBTreeNode* node, RWCollectable*& item, std::unique_ptr<GBTreeNode>& right);
  // Removes the item equal to key under node into removed; a null key asks
  // for the last item under node. kShort: node fell below its minimum.
  static RemoveResult RemoveFrom(GBTreeNode* node, const RWCollectable* key, bool isRoot, RWCollectable*& removed);
  static RemoveResult RemoveFromLeaf(GBTreeNode& node, const RWCollectable* key, bool isRoot, RWCollectable*& removed);
  // kDone while node holds its minimum (1 for the root), else kShort.
  static RemoveResult Fill(const GBTreeNode& node, bool isRoot);

  std::unique_ptr<GBTreeNode> root_;
  uint32_t count_ = 0;
};
