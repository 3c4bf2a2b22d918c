#pragma once

#include <cstdint>
#include <vector>

class GBinaryFile;

// A small write-through cache of equal-sized blocks of a file. Writes go to
// the file at once, so the cache never holds unwritten data and a slot can
// be reused without writing it back. The slot used longest ago (highest age)
// is reused first.
class GBlockCache {
 public:
  // Capacity in blocks, at least 1 and at most 0xFFFFFFFF / blockSize. Slot
  // memory is taken as slots come into use.
  GBlockCache(GBinaryFile& file, uint32_t capacity, uint32_t blockSize);
  // Flushes the file.
  ~GBlockCache();
  GBlockCache(const GBlockCache&) = delete;
  GBlockCache& operator=(const GBlockCache&) = delete;

  // Copy the block at offset out of the cache (reading it on a miss) or into
  // it and the file; true on success. A block that failed to transfer is not
  // kept.
  bool Read(int32_t offset, uint8_t* buffer);
  bool Write(int32_t offset, const uint8_t* buffer);
  // Marks every slot free.
  void Forget();

  uint32_t Capacity() const { return capacity_; }
  uint32_t BlockSize() const { return blockSize_; }

 private:
  struct Slot {
    int32_t offset = -1;
    uint32_t age = 0;
    std::vector<uint8_t> data;
  };

  // Ages every slot in use and answers the one holding offset, or -1.
  int32_t Lookup(int32_t offset);
  // A never-used slot while any remains, else the oldest after flushing the
  // file; -1 when the flush fails.
  int32_t GetSlot();

  GBinaryFile& file_;
  uint32_t capacity_;
  uint32_t used_ = 0;
  uint32_t blockSize_;
  std::vector<Slot> slots_;
};
