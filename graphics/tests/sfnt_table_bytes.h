#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

// Small TrueType tables built by hand for tests and fuzz seeds: big-endian
// values appended in order, with patching of offsets known only later.
class SfntTableBytes {
 public:
  SfntTableBytes& U8(uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  SfntTableBytes& U16(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
    bytes_.push_back(static_cast<uint8_t>(value));
    return *this;
  }
  SfntTableBytes& U16s(std::initializer_list<uint16_t> values) {
    for (const uint16_t value : values) U16(value);
    return *this;
  }
  SfntTableBytes& U32(uint32_t value) {
    return U16(static_cast<uint16_t>(value >> 16)).U16(static_cast<uint16_t>(value));
  }
  SfntTableBytes& Append(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // Overwrites the 16-bit value at offset.
  void SetU16(size_t offset, uint16_t value) {
    bytes_[offset] = static_cast<uint8_t>(value >> 8);
    bytes_[offset + 1] = static_cast<uint8_t>(value);
  }

  uint16_t Size() const { return static_cast<uint16_t>(bytes_.size()); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};
