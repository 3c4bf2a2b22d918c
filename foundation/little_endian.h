#pragma once

#include <cstdint>

// Numbers in stored forms are little-endian and are put together byte by
// byte, so that the machine's own byte order never reaches a stored form.

inline uint16_t LoadLittle16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

inline uint32_t LoadLittle32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

inline int32_t LoadLittle32Signed(const uint8_t* bytes) { return static_cast<int32_t>(LoadLittle32(bytes)); }

inline void StoreLittle16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLittle32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void StoreLittle32(uint8_t* bytes, int32_t value) { StoreLittle32(bytes, static_cast<uint32_t>(value)); }

// Appends the value's bytes to a byte container (a std::string or a vector
// of bytes).
template <typename Bytes>
void AppendLittle16(Bytes& out, uint16_t value) {
  uint8_t bytes[2];
  StoreLittle16(bytes, value);
  out.insert(out.end(), bytes, bytes + 2);
}

template <typename Bytes>
void AppendLittle32(Bytes& out, uint32_t value) {
  uint8_t bytes[4];
  StoreLittle32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}
