#pragma once

#include <cstdint>
#include <memory>

// A block of bytes that either owns its data or reads the caller's.
class GByteBuffer {
 public:
  // Owned data must come from new[]; it is deleted with the buffer.
  GByteBuffer(uint8_t* data, uint32_t size, bool owns) : data_(data), size_(size), owns_(owns) {}
  GByteBuffer(const GByteBuffer&) = delete;
  GByteBuffer& operator=(const GByteBuffer&) = delete;
  ~GByteBuffer();

  uint8_t* GetData() const { return data_; }
  uint32_t GetSize() const { return size_; }
  bool OwnsData() const { return owns_; }
  // Data the caller then owns (new[]): this buffer's own data, which it
  // stops owning, or a copy of data it does not own; null for size 0 or
  // when memory runs out.
  uint8_t* Detach();
  // A new owning buffer over what Detach hands out.
  GByteBuffer* Clone();
  // Copies data it does not own into an allocation of its own; false when
  // memory runs out.
  bool MakeOwned();

 private:
  uint8_t* Copy() const;

  uint8_t* data_;
  uint32_t size_;
  bool owns_;
};

// One 32-bit value in a polymorphic holder; holders are equal when they are
// the same object or hold the same value.
class GIntKey {
 public:
  explicit GIntKey(int32_t value) : value_(value) {}
  virtual ~GIntKey() = default;

  int32_t Value() const { return value_; }
  bool operator==(const GIntKey& other) const { return this == &other || value_ == other.value_; }

 private:
  int32_t value_;
};
