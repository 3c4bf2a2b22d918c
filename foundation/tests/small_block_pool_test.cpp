#include "foundation/small_block_pool.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(GSmallBlockPool, ReusesFreedBlocksOfTheSameEvenSize) {
  GSmallBlockPool::Release();
  void* three = GSmallBlockPool::Allocate(3);
  GSmallBlockPool::Free(three, 3);
  // 3 and 4 bytes share a size class; 6 bytes do not.
  void* six = GSmallBlockPool::Allocate(6);
  EXPECT_NE(six, three);
  EXPECT_EQ(GSmallBlockPool::Allocate(4), three);
  GSmallBlockPool::Free(three, 4);
  GSmallBlockPool::Free(six, 6);
  GSmallBlockPool::Release();
}

TEST(GSmallBlockPool, CachesAtMostFivePerSizeAndLargeBlocksGoToTheHeap) {
  GSmallBlockPool::Release();
  std::vector<void*> blocks;
  for (int i = 0; i < 7; ++i) blocks.push_back(GSmallBlockPool::Allocate(8));
  for (void* block : blocks) GSmallBlockPool::Free(block, 8);
  // The first five freed were cached and come back, most recent first; the
  // other two went back to the heap.
  for (int i = 4; i >= 0; --i) EXPECT_EQ(GSmallBlockPool::Allocate(8), blocks[i]);
  for (int i = 0; i < 5; ++i) GSmallBlockPool::Free(blocks[i], 8);

  void* large = GSmallBlockPool::Allocate(100);
  ASSERT_NE(large, nullptr);
  GSmallBlockPool::Free(large, 100);
  GSmallBlockPool::Free(nullptr, 4);
  GSmallBlockPool::Release();
}

}  // namespace
