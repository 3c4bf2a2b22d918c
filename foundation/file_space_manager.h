#pragma once

#include <cstdint>
#include <memory>

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
class GFileSpaceManager {
 public:
  static constexpr int32_t kHeaderSize = 12;

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

 private:
  friend class GFreeList;

  void Initialise();
  void ReadHeader();
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
};
