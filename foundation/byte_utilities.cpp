#include "foundation/byte_utilities.h"

#include <bit>
#include <cstddef>

namespace {

// Scans for the lowest bit that is 1 after XOR with flip (0 finds set bits,
// 0xFF clear ones).
int32_t FirstBitAfterFlip(const uint8_t* bytes, uint32_t n, uint8_t flip) {
  for (uint32_t i = 0; i * 8 < n; ++i) {
    uint32_t bits = static_cast<uint8_t>(bytes[i] ^ flip);
    const uint32_t remaining = n - i * 8;
    if (remaining < 8) bits &= (1u << remaining) - 1;
    if (bits != 0) return static_cast<int32_t>(i * 8 + std::countr_zero(bits));
  }
  return -1;
}

}  // namespace

void ByteArrayOr(uint8_t* destination, const uint8_t* source, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) destination[i] |= source[i];
}

void ByteArrayXor(uint8_t* destination, const uint8_t* source, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) destination[i] ^= source[i];
}

void ByteArrayAnd(uint8_t* destination, const uint8_t* source, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) destination[i] &= source[i];
}

int32_t FirstSetBit(const uint8_t* bytes, uint32_t n) { return FirstBitAfterFlip(bytes, n, 0x00); }

int32_t FirstClearBit(const uint8_t* bytes, uint32_t n) { return FirstBitAfterFlip(bytes, n, 0xFF); }

void TriangleMask4(uint8_t matrix[16]) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) matrix[row * 4 + column] = column < row ? 0xFF : 0x00;
  }
}

int32_t BinarySearchArray(const void* key, const void* base, uint32_t count, uint32_t elementSize,
                          ElementCompare compare, uint32_t* position) {
  const auto* elements = static_cast<const uint8_t*>(base);
  uint32_t low = 0;
  uint32_t high = count;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const int order = compare(elements + std::size_t{middle} * elementSize, key);
    if (order == 0) {
      *position = middle;
      return 1;
    }
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  *position = low;
  return 0;
}
