#include "foundation/small_block_pool.h"

#include <array>
#include <cstdlib>
#include <mutex>

namespace {

constexpr uint32_t kClasses = 5;
constexpr uint32_t kBlocksPerClass = 5;

struct SizeClass {
  uint16_t count = 0;
  std::array<void*, kBlocksPerClass> blocks{};
};

std::mutex poolLock;
std::array<SizeClass, kClasses> pool;

// The size class of an n-byte request (rounded up to even), or null when
// such blocks are not cached.
SizeClass* ClassFor(uint32_t n) {
  if (n == 0 || n > 2 * kClasses) return nullptr;
  return &pool[(n + 1) / 2 - 1];
}

}  // namespace

void* GSmallBlockPool::Allocate(uint32_t n) {
  {
    std::lock_guard hold(poolLock);
    SizeClass* sizeClass = ClassFor(n);
    if (sizeClass != nullptr && sizeClass->count != 0) return sizeClass->blocks[--sizeClass->count];
  }
  return std::malloc(n == 0 ? 1 : (n + 1) & ~1u);
}

void GSmallBlockPool::Free(void* block, uint32_t n) {
  if (block == nullptr) return;
  {
    std::lock_guard hold(poolLock);
    SizeClass* sizeClass = ClassFor(n);
    if (sizeClass != nullptr && sizeClass->count < kBlocksPerClass) {
      sizeClass->blocks[sizeClass->count++] = block;
      return;
    }
  }
  std::free(block);
}

void GSmallBlockPool::Release() {
  std::lock_guard hold(poolLock);
  for (SizeClass& sizeClass : pool) {
    while (sizeClass.count != 0) std::free(sizeClass.blocks[--sizeClass.count]);
  }
}
