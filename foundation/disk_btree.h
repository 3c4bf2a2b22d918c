#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/disk_btree_node.h"

class GBlockCache;
class GFileSpaceManager;
class RWCString;

// Maps fixed-length keys to 32-bit values inside a file of a
// GFileSpaceManager. Every node is one block of the file and the header
// another (usually the file's start block); node reads and writes pass
// through a write-through GBlockCache.
//
// Keys are K bytes. Binary keys are copied whole and compared with memcmp;
// text keys are copied like strncpy (NUL-padded) and compared like strncmp,
// so a text key of K or more characters is kept and told apart by its first
// K. In the root-only style the file keeps no header, only the root offset
// in the first 4 bytes of its start block; the shape comes from the
// constructor and the keys are text.
//
// Keys are read from callers as K whole bytes only when the constructor
// asked for binary keys and the tree keeps them (the header's flag); else
// as text, never past its NUL. A header whose key length differs from the
// constructor's is refused: the file holds another tree.
//
// Nodes, counts and offsets read from the file are checked before use; a
// damaged file raises "[READERR]", is marked damaged in its manager and the
// operation fails; from then on the tree changes nothing and writes nothing,
// though it still reads what it can. A header that cannot be used leaves a
// tree on which every operation fails.
class GDiskBTree {
 public:
  using KeyCompare = GDiskBTreeNode::KeyCompare;
  using Visitor = void (*)(const char* key, int32_t value, void* user);

  enum Style : int32_t { kHeaderStyle = 0, kRootOnlyStyle = 1 };
  // Create mode 1 always writes a new header block; any other mode uses the
  // file's start block, creating the header there when the file has none.
  static constexpr int32_t kCreateNewHeader = 1;

  GDiskBTree(GFileSpaceManager& manager, uint32_t cacheBlocks, int32_t createMode, uint32_t keyLength, bool binaryKeys,
             int32_t headerOffset, int32_t style, uint32_t order, uint32_t minimumFill);
  // Writes the header back when the file was opened for writing.
  ~GDiskBTree();
  GDiskBTree(const GDiskBTree&) = delete;
  GDiskBTree& operator=(const GDiskBTree&) = delete;

  // compare(key in node, search key, K); answers the one it replaces.
  KeyCompare SetKeyCompare(KeyCompare compare);
  // A new, empty cache of n blocks when n differs; answers the old capacity.
  uint32_t SetCacheBlocks(uint32_t n);

  // Binary keys are K bytes; text keys end at their NUL or after K bytes.
  // Find answers the stored key (all K bytes, or text up to its NUL) and its
  // value; value is -1 when the key is not there.
  bool Find(const char* key, RWCString& foundKey, int32_t& value);
  // False, with nothing changed, when the key is already there.
  bool Insert(const char* key, int32_t value);
  bool Remove(const char* key, RWCString& removedKey, int32_t& value);
  // Replaces the value of a present key; oldValue is -1 when it is absent.
  bool UpdateValue(const char* key, int32_t newValue, int32_t& oldValue);
  // Frees every node block, children before parents, and empties the tree.
  void Clear();

  uint32_t Count();
  // Nodes from the root down the first children; 0 when empty.
  uint32_t Height();
  // Every key and value in key order.
  void ForEach(Visitor visit, void* user);

  // The header block (the start block in the root-only style) and every
  // node block, as user offsets; false when the walk met damage.
  bool BlockOffsets(std::vector<int32_t>& offsets);

  // Whether the header (and root) could be read. A tree whose file is
  // damaged still reads what it can, but changes nothing.
  bool IsOpen() const { return usable_; }
  int32_t HeaderOffset() const { return headerOffset_; }
  int32_t RootOffset() const { return header_.root; }
  uint32_t NodeSize() const { return nodeSize_; }
  uint32_t KeyLength() const { return header_.keyLength; }
  uint32_t Order() const { return header_.order; }
  uint32_t MinimumFill() const { return header_.minimumFill; }
  bool HasBinaryKeys() const { return binaryKeys_; }

 private:
  using Key = std::vector<char>;
  // What an insertion hands up to the parent after a split.
  struct Separator {
    Key key;
    int32_t value;
    int32_t right;
  };
  enum class Result { kHandedUp, kDone, kPresent, kBelowMinimum, kNotFound, kFailed };
  // Two neighbouring children of a node.
  struct Siblings {
    explicit Siblings(const GDiskBTreeShape& shape) : left(shape), right(shape) {}
    int32_t leftOffset = -1;
    int32_t rightOffset = -1;
    GDiskBTreeNode left;
    GDiskBTreeNode right;
  };

  bool Open(int32_t createMode, int32_t headerOffset, int32_t style);
  bool CanWrite() const;
  bool UseRootOnlyStyle();
  bool StartCache();
  bool IsUsableShape() const;
  bool ReadHeader();
  bool WriteHeader();
  bool WriteFreshHeader(int32_t offset);

  Key MakeKey(const char* key) const;
  RWCString KeyString(const char* stored) const;
  bool Equal(const char* nodeKey, const Key& key) const;

  bool ReadNode(int32_t offset, GDiskBTreeNode& node);
  bool WriteNode(int32_t offset, const GDiskBTreeNode& node);
  int32_t NewNode(const GDiskBTreeNode& node);
  bool Locate(const Key& key, int32_t* offset, GDiskBTreeNode& node, uint32_t* position);

  Result InsertInto(int32_t offset, const Key& key, int32_t value, Separator& up, uint32_t depth);
  Result SplitNode(int32_t offset, GDiskBTreeNode& node, uint32_t p, Separator& up);
  Result RemoveFrom(int32_t offset, const Key& key, RWCString& removedKey, int32_t& value, uint32_t depth);
  bool SwapWithSuccessor(int32_t offset, GDiskBTreeNode& node, uint32_t p, uint32_t depth);
  Result Rebalance(int32_t offset, uint32_t i, uint32_t depth);
  bool BorrowFromLeft(int32_t offset, GDiskBTreeNode& parent, uint32_t i);
  bool BorrowFromRight(int32_t offset, GDiskBTreeNode& parent, uint32_t i);
  bool MergeNodes(int32_t offset, GDiskBTreeNode& parent, uint32_t i);
  // Children i and i + 1 of parent; writing them puts the parent back too.
  bool ReadSiblings(const GDiskBTreeNode& parent, uint32_t i, Siblings& pair);
  bool WriteSiblings(const Siblings& pair, int32_t offset, const GDiskBTreeNode& parent);
  uint32_t MinimumKeys(uint32_t depth) const;

  // Walks of the whole tree, bounded by the nodes the file can hold.
  // Calls visit(node offset) for every node below offset, children before
  // their parent.
  template <typename Visit>
  bool WalkNodes(int32_t offset, uint32_t depth, uint32_t& budget, Visit visit);
  bool VisitSubtree(int32_t offset, uint32_t depth, uint32_t& budget, Visitor visit, void* user);
  uint32_t NodeBudget() const;
  // Raise "[READERR]" for a file that links or sizes its nodes impossibly.
  bool Corrupt();
  Result Damaged();

  GDiskBTreeShape Shape() const { return {header_.keyLength, header_.order}; }

  GFileSpaceManager& manager_;
  GDiskBTreeHeader header_;
  int32_t headerOffset_ = -1;
  int32_t style_ = kHeaderStyle;
  bool binaryKeys_ = false;
  // How callers hand keys in: K bytes, or text up to a NUL.
  bool callerBinaryKeys_ = false;
  bool usable_ = false;
  // In the root-only style the count is learnt by a walk on first request.
  bool counted_ = true;
  uint32_t nodeSize_ = 0;
  KeyCompare compare_ = nullptr;
  uint32_t cacheBlocks_ = 0;
  std::unique_ptr<GBlockCache> cache_;
};
