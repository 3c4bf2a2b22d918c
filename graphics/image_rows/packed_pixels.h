#pragma once

#include <cstdint>

// Pixels of 1, 2, 4 or 8 bits packed into bytes, the leftmost pixel in the
// most significant bits.

inline uint32_t PackedPixelShift(uint32_t index, uint32_t bitsPerPixel) {
  return 8 - bitsPerPixel * (index % (8 / bitsPerPixel) + 1);
}

inline uint8_t PackedPixel(const uint8_t* row, uint32_t index, uint32_t bitsPerPixel) {
  if (bitsPerPixel == 8) return row[index];
  const uint32_t byte = row[index / (8 / bitsPerPixel)];
  return static_cast<uint8_t>((byte >> PackedPixelShift(index, bitsPerPixel)) & ((1u << bitsPerPixel) - 1));
}

// ORs the pixel in: rows are built from zeroed bytes.
inline void PutPackedPixel(uint8_t* row, uint32_t index, uint8_t value, uint32_t bitsPerPixel) {
  if (bitsPerPixel == 8) {
    row[index] = value;
    return;
  }
  uint8_t& byte = row[index / (8 / bitsPerPixel)];
  byte = static_cast<uint8_t>(byte | value << PackedPixelShift(index, bitsPerPixel));
}
