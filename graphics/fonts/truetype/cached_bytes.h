#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmaps/byte_buffer.h"

class GFieldArchive;

// A block of font bytes that a cache owns: the table entries of the table
// cache and the outline and image of a glyph node. Bytes come in through a
// GByteBuffer (taken over when the buffer owned them, else copied) and go
// out as buffers that point at the cached bytes without owning them.
class GCachedBytes {
 public:
  GCachedBytes() = default;
  // An owned copy of the other's bytes (empty when memory runs out).
  GCachedBytes(const GCachedBytes& other);
  GCachedBytes& operator=(const GCachedBytes&) = delete;
  GCachedBytes(GCachedBytes&&) noexcept = default;
  GCachedBytes& operator=(GCachedBytes&&) noexcept = default;

  // Replaces the bytes with the buffer's; false, leaving the block empty,
  // when the buffer did not own its bytes and no copy could be made.
  bool Take(GByteBuffer& buffer);

  uint32_t Length() const { return length_; }
  const uint8_t* Data() const { return data_.get(); }
  // A buffer over the cached bytes that does not own them; for an empty
  // block, an owning buffer of length 0 without data.
  std::unique_ptr<GByteBuffer> View() const;
  bool SameBytes(const GCachedBytes& other) const;

  // The stored form: the 32-bit length, then that many bytes. A stored
  // length is checked against the input left before the block is
  // allocated; a restore that fails leaves the block empty.
  bool Fields(GFieldArchive& archive);

 private:
  std::unique_ptr<uint8_t[]> data_;
  uint32_t length_ = 0;
};

// A present flag of the caches' stored forms: 32-bit, 1 for present; any
// other stored value reads as absent, with nothing stored after it.
// Its stored size is the fewest bytes a stored entry takes.
constexpr uint32_t kPresentFlagSize = 4;
bool PresentFlag(GFieldArchive& archive, bool& present);
