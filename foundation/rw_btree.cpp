#include "foundation/rw_btree.h"

#include <algorithm>
#include <utility>

#include "foundation/class_registrar.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(CreateCollectable<RWBTree>, kRWBTreeClassID, "RWBTree");

constexpr uint32_t kCapacity = GBTreeNode::kCapacity;
constexpr uint32_t kMinimum = GBTreeNode::kMinimum;

using NodePtr = std::unique_ptr<GBTreeNode>;

// Puts item at position and right as the child after it; the items from
// position and the children after it move one place right.
void InsertAt(GBTreeNode& node, uint32_t position, RWCollectable* item, NodePtr right) {
  std::copy_backward(node.items + position, node.items + node.count, node.items + node.count + 1);
  std::move_backward(node.children + position + 1, node.children + node.count + 1, node.children + node.count + 2);
  node.items[position] = item;
  node.children[position + 1] = std::move(right);
  ++node.count;
}

// Takes out item position and the child after it, closing the gap; answers
// that child.
NodePtr RemoveAt(GBTreeNode& node, uint32_t position) {
  NodePtr child = std::move(node.children[position + 1]);
  std::copy(node.items + position + 1, node.items + node.count, node.items + position);
  std::move(node.children + position + 2, node.children + node.count + 1, node.children + position + 1);
  --node.count;
  node.items[node.count] = nullptr;
  return child;
}

// A full node takes item with right after it at position: the 101 items
// split into the 50 the node keeps, a separator, and the 50 of a new node.
// item and right come back holding the separator and the new node.
void Split(GBTreeNode& node, uint32_t position, RWCollectable*& item, NodePtr& right) {
  RWCollectable* overflowItem = item;
  NodePtr overflowChild = std::move(right);
  if (position < kCapacity) {
    // The last pair overflows instead, and the new pair goes in first.
    RWCollectable* lastItem = node.items[kCapacity - 1];
    NodePtr lastChild = RemoveAt(node, kCapacity - 1);
    InsertAt(node, position, overflowItem, std::move(overflowChild));
    overflowItem = lastItem;
    overflowChild = std::move(lastChild);
  }
  auto fresh = std::make_unique<GBTreeNode>();
  std::copy(node.items + kMinimum + 1, node.items + kCapacity, fresh->items);
  fresh->items[kCapacity - kMinimum - 1] = overflowItem;
  std::move(node.children + kMinimum + 1, node.children + kCapacity + 1, fresh->children);
  fresh->children[kCapacity - kMinimum] = std::move(overflowChild);
  fresh->count = kCapacity - kMinimum;
  item = node.items[kMinimum];
  std::fill(node.items + kMinimum, node.items + kCapacity, nullptr);
  node.count = kMinimum;
  right = std::move(fresh);
}

// Moves separator i down to the front of child i+1, with child i's last
// child as its new first child, and child i's last item up in its place.
void RotateRight(GBTreeNode& parent, uint32_t i) {
  GBTreeNode& left = *parent.children[i];
  GBTreeNode& right = *parent.children[i + 1];
  RWCollectable* risen = left.items[left.count - 1];
  NodePtr moved = RemoveAt(left, left.count - 1);
  InsertAt(right, 0, parent.items[i], std::move(right.children[0]));
  right.children[0] = std::move(moved);
  parent.items[i] = risen;
}

// Moves separator i down to the end of child i, with child i+1's first child
// after it, and child i+1's first item up in its place.
void RotateLeft(GBTreeNode& parent, uint32_t i) {
  GBTreeNode& left = *parent.children[i];
  GBTreeNode& right = *parent.children[i + 1];
  InsertAt(left, left.count, parent.items[i], std::move(right.children[0]));
  parent.items[i] = right.items[0];
  right.children[0] = std::move(right.children[1]);
  RemoveAt(right, 0);
}

// Child i takes separator i and then every item and child of child i+1,
// which is freed; the separator and the pointer to child i+1 leave parent.
void Merge(GBTreeNode& parent, uint32_t i) {
  GBTreeNode& left = *parent.children[i];
  RWCollectable* separator = parent.items[i];
  const NodePtr right = RemoveAt(parent, i);
  left.items[left.count] = separator;
  std::copy(right->items, right->items + right->count, left.items + left.count + 1);
  std::move(right->children, right->children + right->count + 1, left.children + left.count + 1);
  left.count += 1 + right->count;
}

// Child p is one item short of its minimum. With no right sibling it
// borrows from the left one, and the two merge when that leaves the left
// one short; otherwise it borrows from a right sibling that can spare an
// item, or merges with it.
void Refill(GBTreeNode& parent, uint32_t p) {
  if (p == parent.count) {
    RotateRight(parent, p - 1);
    if (parent.children[p - 1]->count < kMinimum) Merge(parent, p - 1);
  } else if (parent.children[p + 1]->count > kMinimum) {
    RotateLeft(parent, p);
  } else {
    Merge(parent, p);
  }
}

void Walk(const GBTreeNode* node, GCollectableFunction function, void* user) {
  if (node == nullptr) return;
  for (uint32_t i = 0; i < node->count; ++i) {
    Walk(node->children[i].get(), function, user);
    function(node->items[i], user);
  }
  Walk(node->children[node->count].get(), function, user);
}

bool ComparesEqual(const GBTreeNode& node, uint32_t position, const RWCollectable* key) {
  return position < node.count && node.items[position]->Compare(key) == 0;
}

}  // namespace

RWBTree::~RWBTree() = default;

RWCollectable* RWBTree::NewInstance() const { return new RWBTree; }

RWCollectable* RWBTree::Clone() const {
  auto* copy = new RWBTree;
  copy->InsertAll(*this);
  return copy;
}

bool RWBTree::Equals(const RWCollectable* other) const {
  const RWBTree* tree = PeerOfSameSize<RWBTree>(other, kRWBTreeClassID);
  return tree != nullptr && EveryItem([tree](RWCollectable* item) { return tree->Contains(item); });
}

void RWBTree::ForEach(GCollectableFunction function, void* user) const { Walk(root_.get(), function, user); }

void RWBTree::Clear() {
  root_.reset();
  count_ = 0;
}

RWCollectable* RWBTree::Find(const RWCollectable* key) const {
  if (key == nullptr) return nullptr;
  for (const GBTreeNode* node = root_.get(); node != nullptr;) {
    const uint32_t p = LowerBound(*node, key);
    if (ComparesEqual(*node, p, key)) return node->items[p];
    node = node->children[p].get();
  }
  return nullptr;
}

RWCollectable* RWBTree::Insert(RWCollectable* item) {
  // Nothing compares against null, and the tree holds no null.
  if (item == nullptr) return nullptr;
  RWCollectable* carried = item;
  NodePtr right;
  switch (InsertInto(root_.get(), carried, right)) {
    case InsertResult::kPresent:
      return carried;
    case InsertResult::kHandedUp: {
      auto top = std::make_unique<GBTreeNode>();
      top->count = 1;
      top->items[0] = carried;
      top->children[0] = std::move(root_);
      top->children[1] = std::move(right);
      root_ = std::move(top);
      break;
    }
    case InsertResult::kDone:
      break;
  }
  ++count_;
  return item;
}

uint32_t RWBTree::Occurrences(const RWCollectable* key) const { return RWBTree::Find(key) != nullptr ? 1 : 0; }

RWCollectable* RWBTree::Remove(const RWCollectable* key) {
  if (key == nullptr) return nullptr;
  RWCollectable* removed = nullptr;
  if (RemoveFrom(root_.get(), key, true, removed) == RemoveResult::kShort) {
    // The root gave away its last item: its only child, if any, takes over.
    const NodePtr emptied = std::move(root_);
    root_ = std::move(emptied->children[0]);
  }
  if (removed != nullptr) --count_;
  return removed;
}

uint32_t RWBTree::Height() const {
  uint32_t height = 0;
  for (const GBTreeNode* node = root_.get(); node != nullptr; node = node->children[0].get()) ++height;
  return height;
}

uint32_t RWBTree::LowerBound(const GBTreeNode& node, const RWCollectable* key) {
  if (node.count == 0 || node.items[0]->Compare(key) >= 0) return 0;
  if (node.items[node.count - 1]->Compare(key) < 0) return node.count;
  // items[low] compares below the key, items[high] does not.
  uint32_t low = 0;
  uint32_t high = node.count - 1;
  while (high - low > 1) {
    const uint32_t mid = (low + high) / 2;
    if (node.items[mid]->Compare(key) < 0) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return high;
}

RWBTree::InsertResult RWBTree::InsertInto(GBTreeNode* node, RWCollectable*& item, NodePtr& right) {
  if (node == nullptr) return InsertResult::kHandedUp;
  const uint32_t p = LowerBound(*node, item);
  if (ComparesEqual(*node, p, item)) {
    item = node->items[p];
    return InsertResult::kPresent;
  }
  const InsertResult below = InsertInto(node->children[p].get(), item, right);
  if (below != InsertResult::kHandedUp) return below;
  // What child p handed up lies between items p-1 and p, so it goes in at p.
  if (node->count < kCapacity) {
    InsertAt(*node, p, item, std::move(right));
    return InsertResult::kDone;
  }
  Split(*node, p, item, right);
  return InsertResult::kHandedUp;
}

RWBTree::RemoveResult RWBTree::Fill(const GBTreeNode& node, bool isRoot) {
  return node.count >= (isRoot ? 1 : kMinimum) ? RemoveResult::kDone : RemoveResult::kShort;
}

RWBTree::RemoveResult RWBTree::RemoveFromLeaf(GBTreeNode& node, const RWCollectable* key, bool isRoot,
                                              RWCollectable*& removed) {
  const uint32_t p = key != nullptr ? LowerBound(node, key) : node.count - 1;
  if (key != nullptr && !ComparesEqual(node, p, key)) return RemoveResult::kNotFound;
  removed = node.items[p];
  RemoveAt(node, p);
  return Fill(node, isRoot);
}

RWBTree::RemoveResult RWBTree::RemoveFrom(GBTreeNode* node, const RWCollectable* key, bool isRoot,
                                          RWCollectable*& removed) {
  if (node == nullptr) return RemoveResult::kNotFound;
  if (node->IsLeaf()) return RemoveFromLeaf(*node, key, isRoot, removed);
  const uint32_t p = key != nullptr ? LowerBound(*node, key) : node->count;
  RemoveResult below;
  if (key != nullptr && ComparesEqual(*node, p, key)) {
    // The in-order predecessor, the last item under child p, takes the
    // removed item's place.
    removed = node->items[p];
    below = RemoveFrom(node->children[p].get(), nullptr, false, node->items[p]);
  } else {
    below = RemoveFrom(node->children[p].get(), key, false, removed);
  }
  if (below != RemoveResult::kShort) return below;
  Refill(*node, p);
  return Fill(*node, isRoot);
}
