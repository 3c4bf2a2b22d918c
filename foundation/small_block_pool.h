#pragma once

#include <cstdint>

// A cache of small heap blocks (2 to 10 bytes, in even sizes), five per size.
// Requests of other sizes, and sizes whose cache is empty, go to the heap.
class GSmallBlockPool {
 public:
  static void* Allocate(uint32_t n);
  // n must be the size the block was allocated with.
  static void Free(void* block, uint32_t n);
  // Hands every cached block back to the heap; the class factory calls it
  // when its last class goes away.
  static void Release();
};
