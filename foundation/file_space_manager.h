#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/binary_file.h"

class GFreeList;

// Turns a binary file into a heap of variable-sized blocks. Callers allocate
// and free space inside the file by offset; the free extents are kept in a
// circular chain of free-list blocks stored in the same file.
//
// File layout (32-bit little-endian numbers):
//   0   start offset: user offset of the first block ever allocated, or -1
//   4   end offset: the first byte after the used space
//   8   free-list block size: 268 (32 entries) or 92 (the older 10 entries)
//   12  the first free-list block (see GFreeListBlock)
// A block is a 4-byte size (the whole block, header included, a multiple of
// 4) followed by the user area; callers only see the user offset, 4 bytes on.
//
// A file that cannot be opened, or whose header is not one of these, leaves
// the manager without a free list: allocation then answers -1 and freeing
// does nothing. Its users test the file's state before using it.
//
// A read that meets a block that cannot be read, or whose contents cannot
// be what was written, marks the file damaged, whoever reads it (the free
// list, or a disk B-tree in the file). A damaged file is never written
// again: allocation answers -1, freeing does nothing and the tree refuses
// every change, so that what the file still holds stays as it was.
class GFileSpaceManager {
 public:
  static constexpr int32_t kHeaderSize = 12;

  // Where a block's size header lies and how many bytes the block spans.
  struct Extent {
    int32_t offset;
    uint32_t size;
  };

  // Opens the file with the mode, or without one as an existing file
  // ("rb+") that is created when missing ("wb+"). An empty file is given a
  // header and an empty first free-list block.
  explicit GFileSpaceManager(const char* name, const char* mode = nullptr);
  ~GFileSpaceManager();
  GFileSpaceManager(const GFileSpaceManager&) = delete;
  GFileSpaceManager& operator=(const GFileSpaceManager&) = delete;

  // Reserves a block for n bytes; answers its user offset, or -1.
  int32_t Allocate(uint32_t n);
  // Gives a block back. -1 and the start block (never freed) are ignored.
  void Deallocate(int32_t userOffset);

  static constexpr int32_t FirstFreeListOffset() { return kHeaderSize; }
  GBinaryFile& File() { return file_; }
  bool HasFreeList() const { return freeList_ != nullptr; }
  int32_t StartOffset() const { return start_; }
  int32_t EndOffset() const { return end_; }
  // Whether size bytes at the user offset lie inside the space that blocks
  // are handed out from; offsets read back from a file are checked with it.
  bool HoldsBlock(int32_t userOffset, uint32_t size) const;

  bool IsDamaged() const { return damaged_; }
  // Marks the file damaged; ReportDamage raises "[READERR]" as well.
  void MarkDamaged() { damaged_ = true; }
  void ReportDamage();
  // Reads size bytes at a file offset; a failed read marks the file damaged.
  bool ReadAt(int32_t offset, uint8_t* data, uint32_t size);
  // Writes size bytes at a file offset; false without writing when the
  // file is damaged.
  bool WriteAt(int32_t offset, const uint8_t* data, uint32_t size);

  // The block at a user offset as its size header gives it; false, the file
  // marked damaged, when no block can be there.
  bool BlockAt(int32_t userOffset, Extent& block);
  // Whether the blocks lie apart from each other, from the free-list blocks
  // and from every free extent; false, the file marked damaged, when any
  // two share a byte (free space that would be handed out over a block in
  // use, or two users of one block).
  bool AreApart(std::vector<Extent> blocks);

 private:
  friend class GFreeList;

  void Initialise();
  void ReadHeader();
  // The most the used space can span in the file as it is.
  int64_t UsedSpaceLimit();
  // Fresh space at the end: the old end offset, or -1.
  int32_t TakeFromEnd(uint32_t size);
  // Moves the end back over an extent that reaches it; false when it does not.
  bool ReleaseAtEnd(int32_t offset, uint32_t size);
  bool WriteHeaderWord(int32_t at, int32_t value);
  int32_t FirstBlockOffset() const;

  GBinaryFile file_;
  std::unique_ptr<GFreeList> freeList_;
  int32_t start_ = -1;
  int32_t end_ = -1;
  bool damaged_ = false;
};
