#include "foundation/memory_byte_channel.h"

#include <algorithm>

GMemoryByteChannel::GMemoryByteChannel(const void* data, uint32_t size)
    // The get area never writes through this pointer.
    : begin_(static_cast<char*>(const_cast<void*>(data))), end_(begin_ + size), writable_(false), written_(begin_) {
  setg(begin_, begin_, end_);
}

GMemoryByteChannel::GMemoryByteChannel(void* buffer, uint32_t capacity, ForWriting)
    : begin_(static_cast<char*>(buffer)), end_(begin_ + capacity), writable_(true), written_(begin_) {
  setp(begin_, end_);
}

void GMemoryByteChannel::NoteWritten() {
  if (writable_) written_ = std::max(written_, pptr());
}

uint32_t GMemoryByteChannel::WrittenSize() const {
  const char* furthest = writable_ ? std::max(written_, pptr()) : begin_;
  return static_cast<uint32_t>(furthest - begin_);
}

GMemoryByteChannel::pos_type GMemoryByteChannel::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                         std::ios_base::openmode which) {
  const bool forOutput = (which & std::ios_base::out) != 0;
  if (forOutput != writable_) return pos_type(off_type(-1));
  NoteWritten();
  const char* current = writable_ ? pptr() : gptr();
  // The end of a writing channel is what has been written, not its capacity.
  const char* last = writable_ ? written_ : end_;
  off_type base = 0;
  if (direction == std::ios_base::cur) base = current - begin_;
  if (direction == std::ios_base::end) base = last - begin_;
  const off_type target = base + offset;
  if (target < 0 || target > end_ - begin_) return pos_type(off_type(-1));
  if (writable_) {
    setp(begin_ + target, end_);
  } else {
    setg(begin_, begin_ + target, end_);
  }
  return pos_type(target);
}

GMemoryByteChannel::pos_type GMemoryByteChannel::seekpos(pos_type position, std::ios_base::openmode which) {
  return seekoff(off_type(position), std::ios_base::beg, which);
}
