#pragma once

#include <cstdint>

// Byte and bit helpers behind the bit vector and the sorted arrays.

void ByteArrayOr(uint8_t* destination, const uint8_t* source, uint32_t n);
void ByteArrayXor(uint8_t* destination, const uint8_t* source, uint32_t n);
void ByteArrayAnd(uint8_t* destination, const uint8_t* source, uint32_t n);

// Index of the lowest set (or clear) bit among the first n bits, or -1. Bit k
// is bit k % 8 of byte k / 8; bits from n on are ignored.
int32_t FirstSetBit(const uint8_t* bytes, uint32_t n);
int32_t FirstClearBit(const uint8_t* bytes, uint32_t n);

// Fills a row-major 4 x 4 byte matrix with 0xFF below the diagonal, else 0.
void TriangleMask4(uint8_t matrix[16]);

// compare(element, key) answers 0 when equal and a negative value when the
// element is the smaller.
using ElementCompare = int (*)(const void* element, const void* key);

// Binary search of a sorted array. Answers 1 with the position of an equal
// element, else 0 with the position where the key would be inserted.
int32_t BinarySearchArray(const void* key, const void* base, uint32_t count, uint32_t elementSize,
                          ElementCompare compare, uint32_t* position);

// The class library's version number.
constexpr uint32_t LibraryVersion() { return 0x0700; }
