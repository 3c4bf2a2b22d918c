#include "foundation/block_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/tests/disk_test_support.h"

namespace {

using GBlockCacheTest = DiskFileTest;

constexpr uint32_t kBlock = 8;

std::vector<uint8_t> Filled(uint8_t value) { return std::vector<uint8_t>(kBlock, value); }

// A file of four blocks holding 1, 2, 3 and 4.
std::string FourBlocks() {
  std::string bytes;
  for (char c = 1; c <= 4; ++c) bytes += std::string(kBlock, c);
  return bytes;
}

TEST_F(GBlockCacheTest, ReadsComeFromTheCacheOnceLoaded) {
  Store(FourBlocks());
  GBinaryFile file(Path());
  GBlockCache cache(file, 2, kBlock);
  std::vector<uint8_t> block(kBlock);
  ASSERT_TRUE(cache.Read(8, block.data()));
  EXPECT_EQ(block, Filled(2));
  // Changed behind the cache's back: a hit still answers the cached copy.
  ASSERT_TRUE(file.SeekTo(8) && file.Write(Filled(9).data(), kBlock) && file.Flush());
  ASSERT_TRUE(cache.Read(8, block.data()));
  EXPECT_EQ(block, Filled(2));
}

TEST_F(GBlockCacheTest, WritesGoThroughToTheFileAtOnce) {
  Store(FourBlocks());
  GBinaryFile file(Path());
  GBlockCache cache(file, 2, kBlock);
  ASSERT_TRUE(cache.Write(16, Filled(7).data()));
  ASSERT_TRUE(file.Flush());
  EXPECT_EQ(Contents().substr(16, kBlock), std::string(kBlock, 7));
  std::vector<uint8_t> block(kBlock);
  ASSERT_TRUE(cache.Read(16, block.data()));
  EXPECT_EQ(block, Filled(7));
}

TEST_F(GBlockCacheTest, TheBlockUsedLongestAgoMakesRoom) {
  Store(FourBlocks());
  GBinaryFile file(Path());
  GBlockCache cache(file, 2, kBlock);
  std::vector<uint8_t> block(kBlock);
  ASSERT_TRUE(cache.Read(0, block.data()));
  ASSERT_TRUE(cache.Read(8, block.data()));
  ASSERT_TRUE(cache.Read(0, block.data()));   // block 8 is now the oldest
  ASSERT_TRUE(cache.Read(16, block.data()));  // replaces block 8
  // Change both remaining candidates in the file: the cached one still
  // answers from the cache, the evicted one is read again.
  ASSERT_TRUE(file.SeekTo(0) && file.Write(Filled(5).data(), kBlock));
  ASSERT_TRUE(file.SeekTo(8) && file.Write(Filled(6).data(), kBlock) && file.Flush());
  ASSERT_TRUE(cache.Read(0, block.data()));
  EXPECT_EQ(block, Filled(1));
  ASSERT_TRUE(cache.Read(8, block.data()));
  EXPECT_EQ(block, Filled(6));
}

TEST_F(GBlockCacheTest, AFailedTransferIsNotKept) {
  Store(FourBlocks());
  GBinaryFile file(Path());
  GBlockCache cache(file, 2, kBlock);
  std::vector<uint8_t> block(kBlock, 0);
  EXPECT_FALSE(cache.Read(28, block.data()));  // runs past the end
  EXPECT_FALSE(cache.Read(-8, block.data()));
  ASSERT_TRUE(file.SeekTo(32) && file.Write(Filled(3).data(), kBlock) && file.Flush());
  ASSERT_TRUE(cache.Read(28, block.data()));
  EXPECT_EQ(block, (std::vector<uint8_t>{4, 4, 4, 4, 3, 3, 3, 3}));

  GBinaryFile readOnly(Path(), "rb");
  GBlockCache readOnlyCache(readOnly, 2, kBlock);
  EXPECT_FALSE(readOnlyCache.Write(0, Filled(8).data()));
  ASSERT_TRUE(readOnlyCache.Read(0, block.data()));
  EXPECT_EQ(block, Filled(1));
}

TEST_F(GBlockCacheTest, ForgetEmptiesTheCacheAndCapacityIsBounded) {
  Store(FourBlocks());
  GBinaryFile file(Path());
  GBlockCache cache(file, 4, kBlock);
  std::vector<uint8_t> block(kBlock);
  ASSERT_TRUE(cache.Read(0, block.data()));
  ASSERT_TRUE(file.SeekTo(0) && file.Write(Filled(5).data(), kBlock) && file.Flush());
  cache.Forget();
  ASSERT_TRUE(cache.Read(0, block.data()));
  EXPECT_EQ(block, Filled(5));

  EXPECT_EQ(GBlockCache(file, 0, kBlock).Capacity(), 1u);
  EXPECT_EQ(GBlockCache(file, 0xFFFFFFFF, 492).Capacity(), 0xFFFFFFFFu / 492);
}

}  // namespace
