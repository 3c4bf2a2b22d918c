#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The 40-byte header of a disk B-tree (little-endian):
//   0 root node offset (-1: empty)   20 order N (at most 2N keys a node)
//   4 reserved, -1                   24 minimum fill (at most N)
//   8 version, 512                   28 reserved, -1
//  12 entry count                    32 reserved
//  16 key length K                   36 flags: 1 binary keys, 0 text keys
struct GDiskBTreeHeader {
  static constexpr uint32_t kSize = 40;
  static constexpr int32_t kVersion = 512;
  static constexpr uint32_t kBinaryKeys = 1;

  int32_t root = -1;
  int32_t reserved1 = -1;
  int32_t version = kVersion;
  uint32_t entryCount = 0;
  uint32_t keyLength = 0;
  uint32_t order = 0;
  uint32_t minimumFill = 0;
  int32_t reserved2 = -1;
  int32_t reserved3 = 0;
  uint32_t flags = 0;

  void Encode(uint8_t* bytes) const;
  static GDiskBTreeHeader Decode(const uint8_t* bytes);
};

// The bytes of one node of order N with keys of K bytes:
//   0            key count (at most 2N)
//   4            2N + 1 child offsets; -1 none; child 0 of a leaf is -1
//   8N + 8       2N values, value i belonging to key i
//   16N + 8      2N keys of K bytes, ascending
// Child i holds the keys between key i - 1 and key i. Slots beyond the count
// are not interpreted.
struct GDiskBTreeShape {
  uint32_t keyLength;
  uint32_t order;

  // 0 when the node would not fit a 32-bit size.
  uint32_t NodeSize() const;
  uint32_t MaxKeys() const { return 2 * order; }
  uint32_t ChildAt(uint32_t i) const { return 4 + 4 * i; }
  uint32_t ValueAt(uint32_t i) const { return 8 * order + 8 + 4 * i; }
  uint32_t KeyAt(uint32_t i) const { return 16 * order + 8 + keyLength * i; }
};

// A node image in memory. Keys are handed in and out as K bytes; comparing
// them is the tree's business.
class GDiskBTreeNode {
 public:
  using KeyCompare = int (*)(const char* nodeKey, const char* searchKey, size_t length);

  explicit GDiskBTreeNode(const GDiskBTreeShape& shape);
  // A node holding one key, its value and no children.
  GDiskBTreeNode(const GDiskBTreeShape& shape, const char* key, int32_t value);

  // No keys, every child -1.
  void Clear();

  uint32_t Count() const;
  void SetCount(uint32_t count);
  bool IsLeaf() const { return Child(0) == -1; }
  bool IsFull() const { return Count() >= shape_.MaxKeys(); }
  int32_t Child(uint32_t i) const;
  void SetChild(uint32_t i, int32_t offset);
  int32_t Value(uint32_t i) const;
  void SetValue(uint32_t i, int32_t value);
  const char* Key(uint32_t i) const;
  void SetKey(uint32_t i, const char* key);
  // Key and value i taken from another node.
  void SetEntry(uint32_t i, const GDiskBTreeNode& from, uint32_t fromIndex);

  // The first position whose key does not compare below key (the count
  // when every key does).
  uint32_t LowerBound(const char* key, KeyCompare compare) const;
  // Puts key and value at position p, later entries moving up, and child at
  // childIndex (p for the left side of the new key, p + 1 for its right).
  void Insert(uint32_t p, const char* key, int32_t value, uint32_t childIndex, int32_t child);
  // Takes out key and value p and child childIndex (p or p + 1).
  void Remove(uint32_t p, uint32_t childIndex);
  // Keys and values [from, from + n) of another node to [to, to + n) here,
  // and separately children.
  void CopyEntries(uint32_t to, const GDiskBTreeNode& from, uint32_t fromIndex, uint32_t n);
  void CopyChildren(uint32_t to, const GDiskBTreeNode& from, uint32_t fromIndex, uint32_t n);

  uint8_t* Data() { return bytes_.data(); }
  const uint8_t* Data() const { return bytes_.data(); }

 private:
  GDiskBTreeShape shape_;
  std::vector<uint8_t> bytes_;
};
