#include "foundation/disk_btree.h"

#include <algorithm>
#include <cstring>

#include "foundation/block_cache.h"
#include "foundation/disk_io.h"
#include "foundation/file_space_manager.h"
#include "foundation/little_endian.h"
#include "foundation/rw_cstring.h"

namespace {

// No sound tree is this deep: every inner node has at least two children,
// so 64 levels would need far more than 2^32 entries. Walking deeper means
// the file links nodes into a cycle.
constexpr uint32_t kMaxHeight = 64;
// Largest node taken from a header in the file.
constexpr uint32_t kMaxNodeSize = 1u << 20;
constexpr uint32_t kRootOnlySize = 4;

int CompareBinary(const char* nodeKey, const char* searchKey, size_t length) {
  return std::memcmp(nodeKey, searchKey, length);
}

bool IsWritableMode(const char* mode) { return mode[0] != 'r' || std::strchr(mode, '+') != nullptr; }

void CountEntry(const char*, int32_t, void* user) { ++*static_cast<uint32_t*>(user); }

}  // namespace

GDiskBTree::GDiskBTree(GFileSpaceManager& manager, uint32_t cacheBlocks, int32_t createMode, uint32_t keyLength,
                       bool binaryKeys, int32_t headerOffset, int32_t style, uint32_t order, uint32_t minimumFill)
    : manager_(manager), callerBinaryKeys_(binaryKeys), cacheBlocks_(cacheBlocks) {
  header_.keyLength = keyLength;
  header_.order = order;
  header_.minimumFill = std::min(minimumFill, order);
  header_.flags = binaryKeys ? GDiskBTreeHeader::kBinaryKeys : 0;
  usable_ = Open(createMode, headerOffset, style);
}

GDiskBTree::~GDiskBTree() {
  // Written for every writable mode, so that the entry count of a file
  // reopened for update is kept up to date as well.
  if (CanWrite() && IsWritableMode(manager_.File().Mode())) WriteHeader();
}

bool GDiskBTree::Open(int32_t createMode, int32_t headerOffset, int32_t style) {
  if (style == kRootOnlyStyle) return UseRootOnlyStyle();
  if (headerOffset == -1 && createMode != kCreateNewHeader) headerOffset = manager_.StartOffset();
  if (headerOffset == -1) {
    // A new header block; in a new file it becomes the start block.
    if (!WriteFreshHeader(manager_.Allocate(GDiskBTreeHeader::kSize))) return false;
    headerOffset = headerOffset_;
  }
  headerOffset_ = headerOffset;
  const GDiskBTreeHeader requested = header_;
  if (!manager_.HoldsBlock(headerOffset_, GDiskBTreeHeader::kSize)) return Corrupt();
  if (!ReadHeader()) return false;
  if (header_.version != GDiskBTreeHeader::kVersion) {
    header_ = requested;
    return UseRootOnlyStyle();
  }
  binaryKeys_ = header_.flags == GDiskBTreeHeader::kBinaryKeys;
  if (header_.keyLength != requested.keyLength || !IsUsableShape()) return Corrupt();
  return StartCache();
}

// The shape comes from the constructor and the root from the file's start
// block, created with an empty root when the file has none.
bool GDiskBTree::UseRootOnlyStyle() {
  style_ = kRootOnlyStyle;
  headerOffset_ = -1;
  binaryKeys_ = false;
  counted_ = false;
  header_.version = -1;
  if (manager_.StartOffset() == -1) {
    if (manager_.Allocate(kRootOnlySize) == -1) return false;
    header_.root = -1;
    if (!WriteHeader()) return false;
  }
  if (!manager_.HoldsBlock(manager_.StartOffset(), kRootOnlySize)) return Corrupt();
  if (!ReadHeader() || !IsUsableShape()) return false;
  return StartCache();
}

bool GDiskBTree::StartCache() {
  nodeSize_ = Shape().NodeSize();
  compare_ = (style_ != kRootOnlyStyle && binaryKeys_) ? CompareBinary : std::strncmp;
  cache_ = std::make_unique<GBlockCache>(manager_.File(), cacheBlocks_, nodeSize_);
  if (header_.root == -1) return true;
  GDiskBTreeNode root(Shape());
  return ReadNode(header_.root, root);
}

bool GDiskBTree::IsUsableShape() const {
  const uint32_t size = Shape().NodeSize();
  return header_.keyLength > 0 && header_.order > 0 && header_.minimumFill <= header_.order && size > 0 &&
         size <= kMaxNodeSize;
}

bool GDiskBTree::ReadHeader() {
  if (style_ == kRootOnlyStyle) {
    uint8_t bytes[kRootOnlySize];
    if (!manager_.ReadAt(manager_.StartOffset(), bytes, sizeof bytes)) return false;
    header_.root = LoadLittle32Signed(bytes);
    return true;
  }
  uint8_t bytes[GDiskBTreeHeader::kSize];
  if (!manager_.ReadAt(headerOffset_, bytes, sizeof bytes)) return false;
  header_ = GDiskBTreeHeader::Decode(bytes);
  return true;
}

bool GDiskBTree::WriteHeader() {
  if (style_ == kRootOnlyStyle) {
    uint8_t bytes[kRootOnlySize];
    StoreLittle32(bytes, header_.root);
    return manager_.WriteAt(manager_.StartOffset(), bytes, sizeof bytes);
  }
  uint8_t bytes[GDiskBTreeHeader::kSize];
  header_.Encode(bytes);
  return manager_.WriteAt(headerOffset_, bytes, sizeof bytes);
}

bool GDiskBTree::WriteFreshHeader(int32_t offset) {
  if (offset == -1) return false;
  headerOffset_ = offset;
  header_.root = -1;
  header_.version = GDiskBTreeHeader::kVersion;
  header_.entryCount = 0;
  return WriteHeader();
}

GDiskBTree::KeyCompare GDiskBTree::SetKeyCompare(KeyCompare compare) {
  const KeyCompare previous = compare_;
  if (compare) compare_ = compare;
  return previous;
}

uint32_t GDiskBTree::SetCacheBlocks(uint32_t n) {
  const uint32_t previous = cacheBlocks_;
  if (n == previous) return previous;
  cacheBlocks_ = n;
  if (cache_) {
    cache_.reset();
    cache_ = std::make_unique<GBlockCache>(manager_.File(), n, nodeSize_);
  }
  return previous;
}

GDiskBTree::Key GDiskBTree::MakeKey(const char* key) const {
  Key made(header_.keyLength, 0);
  if (!key) return made;
  // Whole K bytes only when the caller hands keys of K bytes and the tree
  // keeps binary keys; text otherwise, never read past its NUL.
  if (callerBinaryKeys_ && binaryKeys_) {
    std::memcpy(made.data(), key, made.size());
  } else {
    for (size_t i = 0; i < made.size() && key[i] != '\0'; ++i) made[i] = key[i];
  }
  return made;
}

RWCString GDiskBTree::KeyString(const char* stored) const {
  const uint32_t k = header_.keyLength;
  const uint32_t length = binaryKeys_ ? k : static_cast<uint32_t>(std::find(stored, stored + k, '\0') - stored);
  return RWCString(stored, length);
}

bool GDiskBTree::Equal(const char* nodeKey, const Key& key) const {
  return compare_(nodeKey, key.data(), header_.keyLength) == 0;
}

bool GDiskBTree::CanWrite() const { return usable_ && !manager_.IsDamaged(); }

bool GDiskBTree::Corrupt() {
  manager_.ReportDamage();
  return false;
}

GDiskBTree::Result GDiskBTree::Damaged() {
  Corrupt();
  return Result::kFailed;
}

bool GDiskBTree::ReadNode(int32_t offset, GDiskBTreeNode& node) {
  if (!manager_.HoldsBlock(offset, nodeSize_)) return Corrupt();
  if (!cache_->Read(offset, node.Data())) return Corrupt();
  if (node.Count() > Shape().MaxKeys()) return Corrupt();
  return true;
}

bool GDiskBTree::WriteNode(int32_t offset, const GDiskBTreeNode& node) {
  if (manager_.IsDamaged()) return false;
  if (cache_->Write(offset, node.Data())) return true;
  RaiseWriteError(manager_.File());
  return false;
}

int32_t GDiskBTree::NewNode(const GDiskBTreeNode& node) {
  const int32_t offset = manager_.Allocate(nodeSize_);
  if (offset == -1 || !WriteNode(offset, node)) return -1;
  return offset;
}

bool GDiskBTree::Locate(const Key& key, int32_t* offset, GDiskBTreeNode& node, uint32_t* position) {
  int32_t at = header_.root;
  for (uint32_t depth = 0; at != -1; ++depth) {
    if (depth >= kMaxHeight) return Corrupt();
    if (!ReadNode(at, node)) return false;
    const uint32_t p = node.LowerBound(key.data(), compare_);
    if (p < node.Count() && Equal(node.Key(p), key)) {
      *offset = at;
      *position = p;
      return true;
    }
    at = node.Child(p);
  }
  return false;
}

bool GDiskBTree::Find(const char* key, RWCString& foundKey, int32_t& value) {
  value = -1;
  if (!usable_) return false;
  GDiskBTreeNode node(Shape());
  int32_t offset = -1;
  uint32_t p = 0;
  if (!Locate(MakeKey(key), &offset, node, &p)) return false;
  foundKey = KeyString(node.Key(p));
  value = node.Value(p);
  return true;
}

bool GDiskBTree::UpdateValue(const char* key, int32_t newValue, int32_t& oldValue) {
  oldValue = -1;
  if (!CanWrite()) return false;
  GDiskBTreeNode node(Shape());
  int32_t offset = -1;
  uint32_t p = 0;
  if (!Locate(MakeKey(key), &offset, node, &p)) return false;
  oldValue = node.Value(p);
  node.SetValue(p, newValue);
  return WriteNode(offset, node);
}

bool GDiskBTree::Insert(const char* key, int32_t value) {
  if (!CanWrite()) return false;
  Separator up;
  const Result result = InsertInto(header_.root, MakeKey(key), value, up, 0);
  if (result == Result::kHandedUp) {
    // The root split (or the tree was empty): a new root above it.
    GDiskBTreeNode root(Shape(), up.key.data(), up.value);
    root.SetChild(0, header_.root);
    root.SetChild(1, up.right);
    const int32_t offset = NewNode(root);
    if (offset == -1) return false;
    header_.root = offset;
    WriteHeader();
  } else if (result != Result::kDone) {
    return false;
  }
  ++header_.entryCount;
  return true;
}

GDiskBTree::Result GDiskBTree::InsertInto(int32_t offset, const Key& key, int32_t value, Separator& up,
                                          uint32_t depth) {
  if (offset == -1) {
    up = {key, value, -1};
    return Result::kHandedUp;
  }
  if (depth >= kMaxHeight) return Damaged();
  GDiskBTreeNode node(Shape());
  if (!ReadNode(offset, node)) return Result::kFailed;
  const uint32_t p = node.LowerBound(key.data(), compare_);
  if (p < node.Count() && Equal(node.Key(p), key)) return Result::kPresent;
  const Result result = InsertInto(node.Child(p), key, value, up, depth + 1);
  if (result != Result::kHandedUp) return result;
  if (node.IsFull()) return SplitNode(offset, node, p, up);
  node.Insert(p, up.key.data(), up.value, p + 1, up.right);
  return WriteNode(offset, node) ? Result::kDone : Result::kFailed;
}

// A full node (2N keys) receiving the entry up at p keeps N keys; the right
// half goes to a new node and the middle key is handed up with it.
GDiskBTree::Result GDiskBTree::SplitNode(int32_t offset, GDiskBTreeNode& node, uint32_t p, Separator& up) {
  const uint32_t n = header_.order;
  GDiskBTreeNode right(Shape());
  Key separator(header_.keyLength);
  int32_t separatorValue = 0;
  const auto takeSeparator = [&](const GDiskBTreeNode& from, uint32_t i) {
    std::memcpy(separator.data(), from.Key(i), separator.size());
    separatorValue = from.Value(i);
  };
  if (p > n) {
    takeSeparator(node, n);
    right.CopyEntries(0, node, n + 1, n - 1);
    right.CopyChildren(0, node, n + 1, n);
    right.SetCount(n - 1);
    right.Insert(p - n - 1, up.key.data(), up.value, p - n, up.right);
    node.SetCount(n);
  } else if (p == n) {
    separator = up.key;
    separatorValue = up.value;
    right.CopyEntries(0, node, n, n);
    right.SetChild(0, up.right);
    right.CopyChildren(1, node, n + 1, n);
    right.SetCount(n);
    node.SetCount(n);
  } else {
    right.CopyEntries(0, node, n, n);
    right.CopyChildren(0, node, n, n + 1);
    right.SetCount(n);
    node.SetCount(n);
    node.Insert(p, up.key.data(), up.value, p + 1, up.right);
    takeSeparator(node, n);
    node.SetCount(n);
  }
  const int32_t rightOffset = NewNode(right);
  if (rightOffset == -1 || !WriteNode(offset, node)) return Result::kFailed;
  up = {std::move(separator), separatorValue, rightOffset};
  return Result::kHandedUp;
}

bool GDiskBTree::Remove(const char* key, RWCString& removedKey, int32_t& value) {
  value = -1;
  if (!CanWrite()) return false;
  const Result result = RemoveFrom(header_.root, MakeKey(key), removedKey, value, 0);
  if (result != Result::kDone && result != Result::kBelowMinimum) return false;
  if (result == Result::kBelowMinimum) {
    // The root lost its last key: its first child (none for a leaf) takes
    // its place.
    GDiskBTreeNode root(Shape());
    if (ReadNode(header_.root, root)) {
      manager_.Deallocate(header_.root);
      header_.root = root.Child(0);
      WriteHeader();
    }
  }
  if (header_.entryCount > 0) --header_.entryCount;
  return true;
}

GDiskBTree::Result GDiskBTree::RemoveFrom(int32_t offset, const Key& key, RWCString& removedKey, int32_t& value,
                                          uint32_t depth) {
  if (offset == -1) return Result::kNotFound;
  if (depth >= kMaxHeight) return Damaged();
  GDiskBTreeNode node(Shape());
  if (!ReadNode(offset, node)) return Result::kFailed;
  const uint32_t p = node.LowerBound(key.data(), compare_);
  uint32_t child = p;
  if (p < node.Count() && Equal(node.Key(p), key)) {
    if (node.IsLeaf()) {
      removedKey = KeyString(node.Key(p));
      value = node.Value(p);
      node.Remove(p, p + 1);
      if (!WriteNode(offset, node)) return Result::kFailed;
      return node.Count() >= MinimumKeys(depth) ? Result::kDone : Result::kBelowMinimum;
    }
    // The key moves down into the leaf of its successor and is removed there.
    if (!SwapWithSuccessor(offset, node, p, depth)) return Result::kFailed;
    child = p + 1;
  } else if (node.IsLeaf()) {
    return Result::kNotFound;
  }
  const Result result = RemoveFrom(node.Child(child), key, removedKey, value, depth + 1);
  if (result != Result::kBelowMinimum) return result;
  return Rebalance(offset, child, depth);
}

bool GDiskBTree::SwapWithSuccessor(int32_t offset, GDiskBTreeNode& node, uint32_t p, uint32_t depth) {
  GDiskBTreeNode leaf(Shape());
  int32_t at = node.Child(p + 1);
  for (uint32_t level = depth + 1;; ++level) {
    if (at == -1 || at == offset || level >= kMaxHeight) return Corrupt();
    if (!ReadNode(at, leaf)) return false;
    if (leaf.IsLeaf()) break;
    at = leaf.Child(0);
  }
  if (leaf.Count() == 0) return Corrupt();
  const Key key(node.Key(p), node.Key(p) + header_.keyLength);
  const int32_t value = node.Value(p);
  node.SetEntry(p, leaf, 0);
  leaf.SetKey(0, key.data());
  leaf.SetValue(0, value);
  return WriteNode(at, leaf) && WriteNode(offset, node);
}

// Child i of the node at offset fell below its minimum: it borrows an entry
// from a sibling that can spare one (left first), or merges with a sibling.
GDiskBTree::Result GDiskBTree::Rebalance(int32_t offset, uint32_t i, uint32_t depth) {
  GDiskBTreeNode parent(Shape());
  if (!ReadNode(offset, parent)) return Result::kFailed;
  const uint32_t count = parent.Count();
  if (count == 0 || i > count) return Damaged();
  const uint32_t spare = MinimumKeys(depth + 1);
  GDiskBTreeNode sibling(Shape());
  bool done = false;
  if (i > 0) {
    if (!ReadNode(parent.Child(i - 1), sibling)) return Result::kFailed;
    if (sibling.Count() > spare) done = BorrowFromLeft(offset, parent, i);
  }
  if (!done && i < count) {
    if (!ReadNode(parent.Child(i + 1), sibling)) return Result::kFailed;
    if (sibling.Count() > spare) done = BorrowFromRight(offset, parent, i);
  }
  if (done) return Result::kDone;
  if (!MergeNodes(offset, parent, i < count ? i : i - 1)) return Result::kFailed;
  return parent.Count() >= MinimumKeys(depth) ? Result::kDone : Result::kBelowMinimum;
}

bool GDiskBTree::ReadSiblings(const GDiskBTreeNode& parent, uint32_t i, Siblings& pair) {
  pair.leftOffset = parent.Child(i);
  pair.rightOffset = parent.Child(i + 1);
  if (pair.leftOffset == pair.rightOffset) return Corrupt();
  return ReadNode(pair.leftOffset, pair.left) && ReadNode(pair.rightOffset, pair.right);
}

bool GDiskBTree::WriteSiblings(const Siblings& pair, int32_t offset, const GDiskBTreeNode& parent) {
  return WriteNode(pair.leftOffset, pair.left) && WriteNode(pair.rightOffset, pair.right) && WriteNode(offset, parent);
}

// The last entry of the left sibling goes up into the parent and the
// parent's separator down to the front of child i, with the adjacent child.
bool GDiskBTree::BorrowFromLeft(int32_t offset, GDiskBTreeNode& parent, uint32_t i) {
  Siblings pair{Shape()};
  if (!ReadSiblings(parent, i - 1, pair)) return false;
  GDiskBTreeNode& left = pair.left;
  GDiskBTreeNode& node = pair.right;
  if (node.IsFull() || left.Count() == 0) return Corrupt();
  const uint32_t last = left.Count() - 1;
  node.Insert(0, parent.Key(i - 1), parent.Value(i - 1), 0, left.Child(last + 1));
  parent.SetEntry(i - 1, left, last);
  left.Remove(last, last + 1);
  return WriteSiblings(pair, offset, parent);
}

bool GDiskBTree::BorrowFromRight(int32_t offset, GDiskBTreeNode& parent, uint32_t i) {
  Siblings pair{Shape()};
  if (!ReadSiblings(parent, i, pair)) return false;
  GDiskBTreeNode& node = pair.left;
  GDiskBTreeNode& right = pair.right;
  if (node.IsFull() || right.Count() == 0) return Corrupt();
  const uint32_t end = node.Count();
  node.Insert(end, parent.Key(i), parent.Value(i), end + 1, right.Child(0));
  parent.SetEntry(i, right, 0);
  right.Remove(0, 0);
  return WriteSiblings(pair, offset, parent);
}

// Child i takes separator i and all of child i + 1, whose block is freed.
bool GDiskBTree::MergeNodes(int32_t offset, GDiskBTreeNode& parent, uint32_t i) {
  Siblings pair{Shape()};
  if (!ReadSiblings(parent, i, pair)) return false;
  GDiskBTreeNode& left = pair.left;
  const uint32_t leftCount = left.Count();
  const uint32_t rightCount = pair.right.Count();
  if (leftCount + 1 + rightCount > Shape().MaxKeys()) return Corrupt();
  left.SetEntry(leftCount, parent, i);
  left.CopyEntries(leftCount + 1, pair.right, 0, rightCount);
  left.CopyChildren(leftCount + 1, pair.right, 0, rightCount + 1);
  left.SetCount(leftCount + 1 + rightCount);
  parent.Remove(i, i + 1);
  if (!WriteNode(pair.leftOffset, left) || !WriteNode(offset, parent)) return false;
  manager_.Deallocate(pair.rightOffset);
  return true;
}

// The root keeps at least one key, every other node its minimum fill. A
// minimum of 0 is taken as 1: an emptied leaf would leave its parent's key
// without a successor to swap with.
uint32_t GDiskBTree::MinimumKeys(uint32_t depth) const {
  return depth == 0 ? 1 : std::max<uint32_t>(1, header_.minimumFill);
}

void GDiskBTree::Clear() {
  if (!CanWrite()) return;
  uint32_t budget = NodeBudget();
  WalkNodes(header_.root, 0, budget, [this](int32_t offset) { manager_.Deallocate(offset); });
  header_.root = -1;
  header_.entryCount = 0;
  counted_ = true;
  WriteHeader();
}

template <typename Visit>
bool GDiskBTree::WalkNodes(int32_t offset, uint32_t depth, uint32_t& budget, Visit visit) {
  if (offset == -1) return true;
  if (depth >= kMaxHeight || budget == 0) return Corrupt();
  --budget;
  GDiskBTreeNode node(Shape());
  if (!ReadNode(offset, node)) return false;
  for (uint32_t i = 0; i <= node.Count(); ++i) {
    if (!WalkNodes(node.Child(i), depth + 1, budget, visit)) return false;
  }
  visit(offset);
  return true;
}

bool GDiskBTree::BlockOffsets(std::vector<int32_t>& offsets) {
  if (!usable_) return false;
  offsets.push_back(style_ == kRootOnlyStyle ? manager_.StartOffset() : headerOffset_);
  uint32_t budget = NodeBudget();
  return WalkNodes(header_.root, 0, budget, [&offsets](int32_t offset) { offsets.push_back(offset); });
}

uint32_t GDiskBTree::Count() {
  if (!usable_) return 0;
  if (!counted_) {
    uint32_t count = 0;
    uint32_t budget = NodeBudget();
    if (!VisitSubtree(header_.root, 0, budget, CountEntry, &count)) return count;
    header_.entryCount = count;
    counted_ = true;
  }
  return header_.entryCount;
}

uint32_t GDiskBTree::Height() {
  if (!usable_) return 0;
  GDiskBTreeNode node(Shape());
  uint32_t height = 0;
  for (int32_t at = header_.root; at != -1; at = node.Child(0)) {
    if (height >= kMaxHeight) {
      Corrupt();
      break;
    }
    if (!ReadNode(at, node)) break;
    ++height;
  }
  return height;
}

void GDiskBTree::ForEach(Visitor visit, void* user) {
  if (!usable_) return;
  uint32_t budget = NodeBudget();
  VisitSubtree(header_.root, 0, budget, visit, user);
}

bool GDiskBTree::VisitSubtree(int32_t offset, uint32_t depth, uint32_t& budget, Visitor visit, void* user) {
  if (offset == -1) return true;
  if (depth >= kMaxHeight || budget == 0) return Corrupt();
  --budget;
  GDiskBTreeNode node(Shape());
  if (!ReadNode(offset, node)) return false;
  for (uint32_t i = 0; i < node.Count(); ++i) {
    if (!VisitSubtree(node.Child(i), depth + 1, budget, visit, user)) return false;
    visit(node.Key(i), node.Value(i), user);
  }
  return VisitSubtree(node.Child(node.Count()), depth + 1, budget, visit, user);
}

// Every node is a block of its own below the end of the used space.
uint32_t GDiskBTree::NodeBudget() const { return static_cast<uint32_t>(manager_.EndOffset()) / (nodeSize_ + 4) + 1; }
