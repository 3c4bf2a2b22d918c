#pragma once

#include <cstdint>

#include "foundation/byte_channel.h"

// A byte channel over a caller's fixed buffer, which must outlive it. The
// reading form reads the bytes given; the writing form (chosen by its tag,
// never by the buffer's constness) writes into the buffer from its start,
// and a write past its end fails. Both seek.
class GMemoryByteChannel : public GByteChannel {
 public:
  struct ForWriting {};
  static constexpr ForWriting kForWriting{};

  GMemoryByteChannel(const void* data, uint32_t size);
  GMemoryByteChannel(void* buffer, uint32_t capacity, ForWriting);

  // The bytes written so far: the furthest the write position has reached.
  uint32_t WrittenSize() const;

 protected:
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  void NoteWritten();

  char* begin_;
  char* end_;
  bool writable_;
  char* written_;
};
