#include "foundation/free_list.h"

#include <limits>

#include "foundation/disk_io.h"
#include "foundation/error.h"
#include "foundation/file_space_manager.h"
#include "foundation/little_endian.h"

namespace {

constexpr int32_t kFirstBlock = GFileSpaceManager::FirstFreeListOffset();
constexpr uint32_t kSizeHeader = 4;
// Allocation nests inside freeing at most once in a sound file (a new
// free-list block is allocated while an extent waits to be listed).
constexpr uint32_t kMaxDepth = 4;

bool IsWordMultiple(int64_t value) { return value % 4 == 0; }

}  // namespace

GFreeListBlock GFreeListBlock::Empty(const GFreeListLayout& layout, int32_t next) {
  GFreeListBlock block;
  block.magic = layout.magic;
  block.offsets.assign(layout.entries, 0);
  block.sizes.assign(layout.entries, 0);
  block.next = next;
  return block;
}

void GFreeListBlock::Encode(const GFreeListLayout& layout, uint8_t* bytes) const {
  StoreLittle16(bytes, magic);
  StoreLittle16(bytes + 2, reserved);
  for (uint32_t i = 0; i < layout.entries; ++i) {
    StoreLittle32(bytes + OffsetsAt() + 4 * i, offsets[i]);
    StoreLittle32(bytes + SizesAt(layout.entries) + 4 * i, sizes[i]);
  }
  StoreLittle32(bytes + CountAt(layout.entries), count);
  StoreLittle32(bytes + NextAt(layout.entries), next);
}

GFreeListBlock GFreeListBlock::Decode(const GFreeListLayout& layout, const uint8_t* bytes) {
  GFreeListBlock block = Empty(layout, 0);
  block.magic = LoadLittle16(bytes);
  block.reserved = LoadLittle16(bytes + 2);
  for (uint32_t i = 0; i < layout.entries; ++i) {
    block.offsets[i] = LoadLittle32Signed(bytes + OffsetsAt() + 4 * i);
    block.sizes[i] = LoadLittle32Signed(bytes + SizesAt(layout.entries) + 4 * i);
  }
  block.count = LoadLittle32(bytes + CountAt(layout.entries));
  block.next = LoadLittle32Signed(bytes + NextAt(layout.entries));
  return block;
}

GFreeList::GFreeList(GFileSpaceManager& manager, const GFreeListLayout& layout)
    : manager_(manager),
      layout_(layout),
      blockOffset_(kFirstBlock),
      block_(GFreeListBlock::Empty(layout, kFirstBlock)) {}

GFreeList::~GFreeList() = default;

bool GFreeList::LoadFirstBlock() { return LoadBlock(kFirstBlock); }

int32_t GFreeList::Allocate(uint32_t n) {
  const uint64_t wanted = (uint64_t{n} + kSizeHeader + 3) & ~uint64_t{3};
  if (wanted > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    RaiseWriteError(manager_.File());
    return -1;
  }
  if (depth_ >= kMaxDepth) {
    manager_.ReportDamage();
    return -1;
  }
  ++depth_;
  Taken taken{-1, static_cast<uint32_t>(wanted)};
  const int32_t begin = blockOffset_;
  bool found = false;
  for (uint32_t walked = 0; !(found = TakeFirstFit(taken.size, &taken)) && block_.next != begin;) {
    if (++walked > MaxChainLength()) {
      manager_.ReportDamage();
      --depth_;
      return -1;
    }
    if (!NextBlock()) {
      --depth_;
      return -1;
    }
  }
  if (found) {
    // The block is written even when it became empty, so that a failed
    // unlink leaves an empty block in the chain rather than a stale entry.
    const bool written = WriteBlock();
    if (written && block_.count == 0 && !(blockOffset_ == kFirstBlock && block_.next == kFirstBlock)) {
      UnlinkEmptyBlock();
    }
  } else {
    taken.offset = manager_.TakeFromEnd(taken.size);
  }
  --depth_;
  if (taken.offset < 0 || !WriteSizeHeader(taken.offset, taken.size)) return -1;
  return taken.offset + static_cast<int32_t>(kSizeHeader);
}

void GFreeList::Free(int32_t userOffset) {
  if (!manager_.HoldsBlock(userOffset, 0)) {
    manager_.ReportDamage();
    return;
  }
  const int32_t offset = userOffset - static_cast<int32_t>(kSizeHeader);
  uint32_t size = 0;
  if (!ReadSizeHeader(offset, &size)) return;
  if (size < kSizeHeader || !IsWordMultiple(size) || int64_t{offset} + size > manager_.EndOffset()) {
    manager_.ReportDamage();
    return;
  }
  FileExtent(offset, size);
}

// First fit in offset order. What is left of the extent stays listed when it
// can hold a block of its own (more than 7 bytes); a smaller rest goes with
// the block.
bool GFreeList::TakeFirstFit(uint32_t size, Taken* taken) {
  for (uint32_t i = 0; i < block_.count; ++i) {
    const uint32_t available = static_cast<uint32_t>(block_.sizes[i]);
    if (available < size) continue;
    taken->offset = block_.offsets[i];
    const uint32_t rest = available - size;
    if (rest > 7) {
      block_.offsets[i] += static_cast<int32_t>(size);
      block_.sizes[i] = static_cast<int32_t>(rest);
      taken->size = size;
    } else {
      taken->size = available;
      block_.offsets.erase(block_.offsets.begin() + i);
      block_.sizes.erase(block_.sizes.begin() + i);
      block_.offsets.push_back(0);
      block_.sizes.push_back(0);
      --block_.count;
    }
    return true;
  }
  return false;
}

bool GFreeList::NextBlock() { return LoadBlock(block_.next); }

// The walk starts over at the first block, whatever block is in memory:
// every block in memory is written back as soon as it changes, so moving
// to another one loses nothing.
bool GFreeList::ListSpace(std::vector<GFileSpaceManager::Extent>& extents) {
  if (!LoadBlock(kFirstBlock)) return false;
  for (uint32_t walked = 0;;) {
    for (uint32_t i = 0; i < block_.count; ++i) {
      extents.push_back({block_.offsets[i], static_cast<uint32_t>(block_.sizes[i])});
    }
    if (block_.next == kFirstBlock) return true;
    if (++walked > MaxChainLength()) {
      manager_.ReportDamage();
      return false;
    }
    if (!NextBlock()) return false;
    extents.push_back({blockOffset_, layout_.blockSize});
  }
}

// Takes the emptied block in memory out of the chain and gives its place
// back. The first block stays at its fixed offset: the next block moves
// into it instead.
bool GFreeList::UnlinkEmptyBlock() {
  const int32_t emptied = blockOffset_;
  const int32_t successor = block_.next;
  if (emptied == kFirstBlock) {
    if (!LoadBlock(successor)) return false;
    blockOffset_ = kFirstBlock;
    if (!WriteBlock()) return false;
    FileExtent(successor, layout_.blockSize);
    return true;
  }
  if (!LoadBlock(kFirstBlock)) return false;
  for (uint32_t walked = 0; block_.next != emptied;) {
    if (++walked > MaxChainLength()) {
      manager_.ReportDamage();
      return false;
    }
    if (!NextBlock()) return false;
  }
  block_.next = successor;
  if (!WriteBlock()) return false;
  FileExtent(emptied, layout_.blockSize);
  return true;
}

// Gives an extent back: to the end of the file when it reaches it, else to
// the first block of the chain, from the one in memory on, that takes it.
void GFreeList::FileExtent(int32_t offset, uint32_t size) {
  if (manager_.ReleaseAtEnd(offset, size)) return;
  const int32_t begin = blockOffset_;
  for (uint32_t walked = 0;;) {
    if (AddExtent(offset, size)) {
      WriteBlock();
      return;
    }
    if (block_.next == begin) {
      AddBlock(offset, size);
      return;
    }
    if (++walked > MaxChainLength()) {
      manager_.ReportDamage();
      return;
    }
    if (!NextBlock()) return;
  }
}

bool GFreeList::AddExtent(int32_t offset, uint32_t size) {
  const int64_t end = int64_t{offset} + size;
  for (uint32_t i = 0; i < block_.count; ++i) {
    if (block_.offsets[i] < end && offset < int64_t{block_.offsets[i]} + block_.sizes[i]) {
      // Freed twice, or the size header lies: listing it would hand the
      // same space out twice, so it is reported and left out.
      manager_.ReportDamage();
      return true;
    }
  }
  for (uint32_t i = 0; i < block_.count; ++i) {
    if (offset == block_.offsets[i] + block_.sizes[i]) {
      block_.sizes[i] += static_cast<int32_t>(size);
      if (i + 1 < block_.count && block_.offsets[i] + block_.sizes[i] == block_.offsets[i + 1]) MergeWithNext(i);
      return true;
    }
    if (end == block_.offsets[i]) {
      block_.offsets[i] = offset;
      block_.sizes[i] += static_cast<int32_t>(size);
      return true;
    }
  }
  if (block_.count == layout_.entries) return false;
  uint32_t at = 0;
  while (at < block_.count && block_.offsets[at] < offset) ++at;
  block_.offsets.insert(block_.offsets.begin() + at, offset);
  block_.sizes.insert(block_.sizes.begin() + at, static_cast<int32_t>(size));
  block_.offsets.pop_back();
  block_.sizes.pop_back();
  ++block_.count;
  return true;
}

void GFreeList::MergeWithNext(uint32_t i) {
  block_.sizes[i] += block_.sizes[i + 1];
  block_.offsets.erase(block_.offsets.begin() + i + 1);
  block_.sizes.erase(block_.sizes.begin() + i + 1);
  block_.offsets.push_back(0);
  block_.sizes.push_back(0);
  --block_.count;
}

// Every block of the chain is full: a new one is allocated (its size header
// is overwritten, the whole block being the free-list block) and linked in
// after the block in memory, holding the extent.
void GFreeList::AddBlock(int32_t offset, uint32_t size) {
  const int32_t user = Allocate(layout_.blockSize - kSizeHeader);
  if (user < 0) return;
  const int32_t fresh = user - static_cast<int32_t>(kSizeHeader);
  GFreeListBlock block = GFreeListBlock::Empty(layout_, block_.next);
  block_.next = fresh;
  if (!WriteBlock()) return;
  block.offsets[0] = offset;
  block.sizes[0] = static_cast<int32_t>(size);
  block.count = 1;
  blockOffset_ = fresh;
  block_ = std::move(block);
  WriteBlock();
}

bool GFreeList::LoadBlock(int32_t offset) {
  if (!IsBlockOffset(offset)) {
    manager_.ReportDamage();
    return false;
  }
  std::vector<uint8_t> bytes(layout_.blockSize);
  if (!manager_.ReadAt(offset, bytes.data(), layout_.blockSize)) return false;
  GFreeListBlock block = GFreeListBlock::Decode(layout_, bytes.data());
  if (block.magic != layout_.magic) {
    manager_.MarkDamaged();
    RaiseExternalError(GExternalError(GMessage(MsgMagic(), uint32_t{block.magic}, uint32_t{layout_.magic})));
    return false;
  }
  if (!IsSound(block)) {
    manager_.ReportDamage();
    return false;
  }
  block_ = std::move(block);
  blockOffset_ = offset;
  return true;
}

bool GFreeList::WriteBlock() {
  std::vector<uint8_t> bytes(layout_.blockSize);
  block_.Encode(layout_, bytes.data());
  return manager_.WriteAt(blockOffset_, bytes.data(), layout_.blockSize);
}

bool GFreeList::ReadSizeHeader(int32_t offset, uint32_t* size) {
  uint8_t bytes[kSizeHeader];
  if (!manager_.ReadAt(offset, bytes, kSizeHeader)) return false;
  *size = LoadLittle32(bytes);
  return true;
}

bool GFreeList::WriteSizeHeader(int32_t offset, uint32_t size) {
  uint8_t bytes[kSizeHeader];
  StoreLittle32(bytes, size);
  return manager_.WriteAt(offset, bytes, kSizeHeader);
}

// Entries within the used space, in whole words, ascending and apart; a
// next offset that is a block of the used space or the first block.
bool GFreeList::IsSound(const GFreeListBlock& block) const {
  if (block.count > layout_.entries || !IsBlockOffset(block.next)) return false;
  const int64_t end = manager_.EndOffset();
  int64_t previousEnd = FirstDataOffset();
  for (uint32_t i = 0; i < block.count; ++i) {
    const int64_t offset = block.offsets[i];
    const int64_t size = block.sizes[i];
    if (offset < previousEnd || !IsWordMultiple(offset) || size < kSizeHeader || !IsWordMultiple(size)) return false;
    if (offset + size > end) return false;
    previousEnd = offset + size;
  }
  return true;
}

bool GFreeList::IsBlockOffset(int32_t offset) const {
  if (offset == kFirstBlock) return true;
  return offset >= FirstDataOffset() && IsWordMultiple(offset) &&
         int64_t{offset} + layout_.blockSize <= manager_.EndOffset();
}

uint32_t GFreeList::MaxChainLength() const {
  return static_cast<uint32_t>(manager_.EndOffset() - kFirstBlock) / layout_.blockSize + 1;
}

int32_t GFreeList::FirstDataOffset() const { return kFirstBlock + static_cast<int32_t>(layout_.blockSize); }
