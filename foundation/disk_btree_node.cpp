#include "foundation/disk_btree_node.h"

#include <cstring>
#include <limits>

#include "foundation/disk_io.h"
#include "foundation/little_endian.h"

void GDiskBTreeHeader::Encode(uint8_t* bytes) const {
  StoreLittle32(bytes + 0, root);
  StoreLittle32(bytes + 4, reserved1);
  StoreLittle32(bytes + 8, version);
  StoreLittle32(bytes + 12, entryCount);
  StoreLittle32(bytes + 16, keyLength);
  StoreLittle32(bytes + 20, order);
  StoreLittle32(bytes + 24, minimumFill);
  StoreLittle32(bytes + 28, reserved2);
  StoreLittle32(bytes + 32, reserved3);
  StoreLittle32(bytes + 36, flags);
}

GDiskBTreeHeader GDiskBTreeHeader::Decode(const uint8_t* bytes) {
  GDiskBTreeHeader header;
  header.root = LoadLittle32Signed(bytes + 0);
  header.reserved1 = LoadLittle32Signed(bytes + 4);
  header.version = LoadLittle32Signed(bytes + 8);
  header.entryCount = LoadLittle32(bytes + 12);
  header.keyLength = LoadLittle32(bytes + 16);
  header.order = LoadLittle32(bytes + 20);
  header.minimumFill = LoadLittle32(bytes + 24);
  header.reserved2 = LoadLittle32Signed(bytes + 28);
  header.reserved3 = LoadLittle32Signed(bytes + 32);
  header.flags = LoadLittle32(bytes + 36);
  return header;
}

uint32_t GDiskBTreeShape::NodeSize() const {
  const uint64_t size = 16 * uint64_t{order} + 2 * uint64_t{order} * keyLength + 8;
  return size > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ? 0 : static_cast<uint32_t>(size);
}

GDiskBTreeNode::GDiskBTreeNode(const GDiskBTreeShape& shape) : shape_(shape), bytes_(shape.NodeSize()) { Clear(); }

GDiskBTreeNode::GDiskBTreeNode(const GDiskBTreeShape& shape, const char* key, int32_t value) : GDiskBTreeNode(shape) {
  SetKey(0, key);
  SetValue(0, value);
  SetCount(1);
}

void GDiskBTreeNode::Clear() {
  SetCount(0);
  for (uint32_t i = 0; i <= shape_.MaxKeys(); ++i) SetChild(i, -1);
}

uint32_t GDiskBTreeNode::Count() const { return LoadLittle32(&bytes_[0]); }
void GDiskBTreeNode::SetCount(uint32_t count) { StoreLittle32(&bytes_[0], count); }
int32_t GDiskBTreeNode::Child(uint32_t i) const { return LoadLittle32Signed(&bytes_[shape_.ChildAt(i)]); }
void GDiskBTreeNode::SetChild(uint32_t i, int32_t offset) { StoreLittle32(&bytes_[shape_.ChildAt(i)], offset); }
int32_t GDiskBTreeNode::Value(uint32_t i) const { return LoadLittle32Signed(&bytes_[shape_.ValueAt(i)]); }
void GDiskBTreeNode::SetValue(uint32_t i, int32_t value) { StoreLittle32(&bytes_[shape_.ValueAt(i)], value); }

const char* GDiskBTreeNode::Key(uint32_t i) const { return reinterpret_cast<const char*>(&bytes_[shape_.KeyAt(i)]); }

void GDiskBTreeNode::SetKey(uint32_t i, const char* key) {
  std::memcpy(&bytes_[shape_.KeyAt(i)], key, shape_.keyLength);
}

void GDiskBTreeNode::SetEntry(uint32_t i, const GDiskBTreeNode& from, uint32_t fromIndex) {
  SetKey(i, from.Key(fromIndex));
  SetValue(i, from.Value(fromIndex));
}

uint32_t GDiskBTreeNode::LowerBound(const char* key, KeyCompare compare) const {
  const uint32_t count = Count();
  const size_t k = shape_.keyLength;
  if (count == 0 || compare(Key(0), key, k) >= 0) return 0;
  if (compare(Key(count - 1), key, k) < 0) return count;
  uint32_t low = 0;
  uint32_t high = count - 1;
  while (high - low > 1) {
    const uint32_t mid = (low + high) / 2;
    if (compare(Key(mid), key, k) < 0) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return high;
}

void GDiskBTreeNode::Insert(uint32_t p, const char* key, int32_t value, uint32_t childIndex, int32_t child) {
  const uint32_t count = Count();
  for (uint32_t i = count; i > p; --i) SetEntry(i, *this, i - 1);
  for (uint32_t i = count + 1; i > childIndex; --i) SetChild(i, Child(i - 1));
  SetKey(p, key);
  SetValue(p, value);
  SetChild(childIndex, child);
  SetCount(count + 1);
}

void GDiskBTreeNode::Remove(uint32_t p, uint32_t childIndex) {
  const uint32_t count = Count();
  for (uint32_t i = p; i + 1 < count; ++i) SetEntry(i, *this, i + 1);
  for (uint32_t i = childIndex; i < count; ++i) SetChild(i, Child(i + 1));
  SetChild(count, -1);
  SetCount(count - 1);
}

void GDiskBTreeNode::CopyEntries(uint32_t to, const GDiskBTreeNode& from, uint32_t fromIndex, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) SetEntry(to + i, from, fromIndex + i);
}

void GDiskBTreeNode::CopyChildren(uint32_t to, const GDiskBTreeNode& from, uint32_t fromIndex, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) SetChild(to + i, from.Child(fromIndex + i));
}
