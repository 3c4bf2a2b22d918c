#include "graphics/bitmaps/byte_buffer.h"

#include <algorithm>
#include <new>

GByteBuffer::~GByteBuffer() {
  if (owns_) delete[] data_;
}

uint8_t* GByteBuffer::Copy() const {
  auto* copy = new (std::nothrow) uint8_t[size_];
  if (copy != nullptr) std::copy_n(data_, size_, copy);
  return copy;
}

uint8_t* GByteBuffer::Detach() {
  if (size_ == 0) return nullptr;
  if (!owns_) return Copy();
  owns_ = false;
  return data_;
}

GByteBuffer* GByteBuffer::Clone() {
  const uint32_t size = size_;
  return new GByteBuffer(Detach(), size, true);
}

bool GByteBuffer::MakeOwned() {
  if (size_ == 0 || owns_) return true;
  uint8_t* copy = Copy();
  if (copy == nullptr) return false;
  data_ = copy;
  owns_ = true;
  return true;
}
