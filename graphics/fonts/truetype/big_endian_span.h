#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Bounded reads of the big-endian values that TrueType tables hold. Font
// bytes come from files the driver does not control, so every read checks
// its range: a value that does not lie wholly inside the bytes is absent.
// Offsets are 64-bit so that an offset plus a length never wraps.
class GBigEndianSpan {
 public:
  GBigEndianSpan() = default;
  explicit GBigEndianSpan(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  GBigEndianSpan(const uint8_t* data, size_t size) : bytes_(data, size) {}

  size_t Size() const { return bytes_.size(); }
  const uint8_t* Data() const { return bytes_.data(); }
  // True when count bytes from offset lie inside.
  bool Holds(uint64_t offset, uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }

  std::optional<uint8_t> U8(uint64_t offset) const {
    if (!Holds(offset, 1)) return std::nullopt;
    return bytes_[offset];
  }
  std::optional<uint16_t> U16(uint64_t offset) const {
    if (!Holds(offset, 2)) return std::nullopt;
    return static_cast<uint16_t>(bytes_[offset] << 8 | bytes_[offset + 1]);
  }
  std::optional<int16_t> S16(uint64_t offset) const {
    const std::optional<uint16_t> value = U16(offset);
    if (!value) return std::nullopt;
    return static_cast<int16_t>(*value);
  }
  std::optional<uint32_t> U32(uint64_t offset) const {
    if (!Holds(offset, 4)) return std::nullopt;
    return static_cast<uint32_t>(bytes_[offset]) << 24 | static_cast<uint32_t>(bytes_[offset + 1]) << 16 |
           static_cast<uint32_t>(bytes_[offset + 2]) << 8 | bytes_[offset + 3];
  }
  // The count bytes from offset, or an empty span when they do not lie
  // inside.
  GBigEndianSpan Slice(uint64_t offset, uint64_t count) const {
    if (!Holds(offset, count)) return GBigEndianSpan();
    return GBigEndianSpan(bytes_.subspan(offset, count));
  }
  // The bytes from offset to the end; empty when offset lies beyond.
  GBigEndianSpan From(uint64_t offset) const {
    if (offset > bytes_.size()) return GBigEndianSpan();
    return GBigEndianSpan(bytes_.subspan(offset));
  }

 private:
  std::span<const uint8_t> bytes_;
};
