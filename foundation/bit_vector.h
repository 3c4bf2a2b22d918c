#pragma once

#include <cstdint>
#include <memory>

// A packed vector of bits: bit i is bit i % 8 of byte i / 8. The bits of the
// last byte past the count may hold anything; every comparison and count
// masks them off.
class GBitVector {
 public:
  explicit GBitVector(uint32_t n = 0);
  GBitVector(uint32_t n, bool value);
  GBitVector(const uint8_t* bytes, uint32_t n);
  GBitVector(const GBitVector& other);
  GBitVector& operator=(const GBitVector& other);

  uint32_t Count() const { return n_; }
  const uint8_t* Data() const { return bytes_.get(); }
  uint32_t ByteCount() const { return (n_ + 7) / 8; }

  bool TestBit(uint32_t i) const { return (bytes_[i / 8] >> (i % 8)) & 1; }
  void SetBit(uint32_t i) { bytes_[i / 8] |= uint8_t(1u << (i % 8)); }
  void ClearBit(uint32_t i) { bytes_[i / 8] &= uint8_t(~(1u << (i % 8))); }

  void SetAll(bool value);
  bool IsAll(bool value) const;
  bool Equals(const GBitVector& other) const;
  bool operator==(const GBitVector& other) const { return Equals(other); }

  GBitVector operator~() const;
  // Vectors of different lengths raise "[NEVECL]"; the result then combines
  // only the bytes both have.
  GBitVector operator&(const GBitVector& other) const;
  GBitVector operator|(const GBitVector& other) const;
  GBitVector operator^(const GBitVector& other) const;

  // Keeps the common bits; every new bit is clear.
  void Resize(uint32_t n);
  uint32_t CountSet() const;
  uint32_t Hash() const;
  // True when i < Count(); raises the bounds error otherwise.
  bool CheckIndex(uint32_t i) const;

 private:
  using ByteOperation = void (*)(uint8_t*, const uint8_t*, uint32_t);
  GBitVector Combined(const GBitVector& other, ByteOperation operation) const;
  // The mask of the bits in use in the last byte (0xFF when it is whole).
  uint8_t LastByteMask() const;

  std::unique_ptr<uint8_t[]> bytes_;
  uint32_t n_;
};
