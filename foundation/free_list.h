#pragma once

#include <cstdint>
#include <vector>

#include "foundation/file_space_manager.h"

// The shape of a free-list block: 32 entries in the 268-byte layout of every
// file this system creates, 10 in the older 92-byte layout.
struct GFreeListLayout {
  uint32_t entries;
  uint16_t magic;
  uint32_t blockSize;
};

inline constexpr GFreeListLayout kFreeList32Layout{32, 0x1235, 268};
inline constexpr GFreeListLayout kFreeList10Layout{10, 0x1234, 92};

// One block of the chain. Stored form, N entries:
//   0        magic (16-bit)
//   2        reserved (16-bit)
//   4        N offsets of free extents (each at its size header), ascending
//   4 + 4N   N sizes in bytes, same order
//   4 + 8N   number of entries in use
//   8 + 8N   file offset of the next block; the last points back to the first
// Entries beyond the count are stored as they are and ignored on reading.
struct GFreeListBlock {
  uint16_t magic = 0;
  uint16_t reserved = 0;
  std::vector<int32_t> offsets;
  std::vector<int32_t> sizes;
  uint32_t count = 0;
  int32_t next = 0;

  static constexpr uint32_t OffsetsAt() { return 4; }
  static constexpr uint32_t SizesAt(uint32_t entries) { return 4 + 4 * entries; }
  static constexpr uint32_t CountAt(uint32_t entries) { return 4 + 8 * entries; }
  static constexpr uint32_t NextAt(uint32_t entries) { return 8 + 8 * entries; }

  // An empty block: magic, count 0, every entry 0, and the next offset.
  static GFreeListBlock Empty(const GFreeListLayout& layout, int32_t next);
  void Encode(const GFreeListLayout& layout, uint8_t* bytes) const;
  static GFreeListBlock Decode(const GFreeListLayout& layout, const uint8_t* bytes);
};

// The free extents of a managed file. One block of the chain is held in
// memory at a time and every change is written back at once, so nothing is
// left to write when the list goes.
class GFreeList {
 public:
  GFreeList(GFileSpaceManager& manager, const GFreeListLayout& layout);
  virtual ~GFreeList();
  GFreeList(const GFreeList&) = delete;
  GFreeList& operator=(const GFreeList&) = delete;

  // Loads the first block; false (with the error raised) when it is unusable.
  bool LoadFirstBlock();
  // Reserves a block for n bytes, first fit in chain order, else at the end
  // of the file; answers the user offset, or -1.
  virtual int32_t Allocate(uint32_t n);
  // Lists the block at the user offset as free, merging it with listed
  // neighbours in the same free-list block.
  virtual void Free(int32_t userOffset);
  // Adds every free extent of the chain, and every block of the chain but
  // the first (which lies in the file's header), to extents; false when the
  // chain is damaged.
  bool ListSpace(std::vector<GFileSpaceManager::Extent>& extents);

  const GFreeListLayout& Layout() const { return layout_; }

 private:
  struct Taken {
    int32_t offset;
    uint32_t size;
  };

  bool TakeFirstFit(uint32_t size, Taken* taken);
  bool NextBlock();
  bool UnlinkEmptyBlock();
  void FileExtent(int32_t offset, uint32_t size);
  // Lists the extent in the block in memory; false when the block is full.
  bool AddExtent(int32_t offset, uint32_t size);
  void MergeWithNext(uint32_t i);
  void AddBlock(int32_t offset, uint32_t size);
  bool LoadBlock(int32_t offset);
  bool WriteBlock();
  bool ReadSizeHeader(int32_t offset, uint32_t* size);
  bool WriteSizeHeader(int32_t offset, uint32_t size);
  // Whether the block read from the file is one the chain can hold.
  bool IsSound(const GFreeListBlock& block) const;
  bool IsBlockOffset(int32_t offset) const;
  // Most blocks a walk of the chain can meet; more means a cycle.
  uint32_t MaxChainLength() const;
  int32_t FirstDataOffset() const;

  GFileSpaceManager& manager_;
  GFreeListLayout layout_;
  int32_t blockOffset_;
  GFreeListBlock block_;
  // Nesting of allocation inside freeing and back, bounded for damaged files.
  uint32_t depth_ = 0;
};

class GFreeList32 final : public GFreeList {
 public:
  explicit GFreeList32(GFileSpaceManager& manager) : GFreeList(manager, kFreeList32Layout) {}
};

class GFreeList10 final : public GFreeList {
 public:
  explicit GFreeList10(GFileSpaceManager& manager) : GFreeList(manager, kFreeList10Layout) {}
};
