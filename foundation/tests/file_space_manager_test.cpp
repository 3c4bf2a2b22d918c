#include "foundation/file_space_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/free_list.h"
#include "foundation/testing/recording_error_handler.h"
#include "foundation/tests/disk_test_support.h"

namespace {

using GFileSpaceManagerTest = DiskFileTest;

TEST(GFreeListBlock, LayoutsPlaceTheirFields) {
  struct Case {
    const char* name;
    GFreeListLayout layout;
    uint32_t sizesAt;
    uint32_t countAt;
    uint32_t nextAt;
  };
  const Case cases[] = {
      {"thirty_two_entries", kFreeList32Layout, 132, 260, 264},
      {"ten_entries", kFreeList10Layout, 44, 84, 88},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GFreeListBlock::SizesAt(c.layout.entries), c.sizesAt);
    EXPECT_EQ(GFreeListBlock::CountAt(c.layout.entries), c.countAt);
    EXPECT_EQ(GFreeListBlock::NextAt(c.layout.entries), c.nextAt);
    EXPECT_EQ(c.nextAt + 4, c.layout.blockSize);

    GFreeListBlock block = GFreeListBlock::Empty(c.layout, 0x01020304);
    block.reserved = 0xBEEF;
    block.offsets[0] = 0x11223344;
    block.sizes[c.layout.entries - 1] = -8;
    block.count = 2;
    std::vector<uint8_t> bytes(c.layout.blockSize);
    block.Encode(c.layout, bytes.data());
    EXPECT_EQ(bytes[0], c.layout.magic & 0xFF);
    EXPECT_EQ(bytes[1], c.layout.magic >> 8);
    EXPECT_EQ(bytes[2], 0xEF);
    EXPECT_EQ(bytes[4], 0x44);
    EXPECT_EQ(bytes[7], 0x11);
    EXPECT_EQ(bytes[c.countAt - 4], 0xF8);
    EXPECT_EQ(bytes[c.countAt - 1], 0xFF);
    EXPECT_EQ(bytes[c.countAt], 2);
    EXPECT_EQ(bytes[c.nextAt], 0x04);
    EXPECT_EQ(bytes[c.nextAt + 3], 0x01);
    const GFreeListBlock back = GFreeListBlock::Decode(c.layout, bytes.data());
    EXPECT_EQ(back.offsets, block.offsets);
    EXPECT_EQ(back.sizes, block.sizes);
    EXPECT_EQ(back.next, block.next);
  }
}

TEST_F(GFileSpaceManagerTest, NewFileGetsAHeaderAndAnEmptyFirstBlock) {
  {
    GFileSpaceManager manager(Path());
    EXPECT_TRUE(manager.HasFreeList());
    EXPECT_EQ(manager.StartOffset(), -1);
    EXPECT_EQ(manager.EndOffset(), 280);
    EXPECT_EQ(GFileSpaceManager::FirstFreeListOffset(), 12);
  }
  struct Case {
    const char* name;
    uint32_t offset;
    int64_t word;
  };
  // clang-format off
  const Case cases[] = {
      {"start_offset", 0, -1},       {"end_offset", 4, 280},  {"free_list_block_size", 8, 268},
      {"magic", 12, 0x1235},         {"no_entries", 272, 0},  {"next_is_the_first_block", 276, 12},
      {"first_offset_slot_zero", 16, 0},
  };
  // clang-format on
  EXPECT_EQ(Contents().size(), 280u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Word(c.offset), c.word);
  }
}

TEST_F(GFileSpaceManagerTest, BlocksAreSizedWithTheirHeaderInWholeWords) {
  struct Case {
    const char* name;
    uint32_t bytes;
    int64_t blockSize;
  };
  // clang-format off
  const Case cases[] = {
      {"nothing", 0, 4},   {"one", 1, 8},        {"four", 4, 8},           {"five", 5, 12},
      {"eight", 8, 12},    {"forty", 40, 44},    {"node_of_488", 488, 492}, {"free_list_block", 264, 268},
  };
  // clang-format on
  GFileSpaceManager manager(Path());
  int32_t expected = 284;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int32_t offset = manager.Allocate(c.bytes);
    EXPECT_EQ(offset, expected);
    manager.File().Flush();
    EXPECT_EQ(Word(offset - 4), c.blockSize);
    expected += static_cast<int32_t>(c.blockSize);
    EXPECT_EQ(manager.EndOffset(), expected - 4);
  }
  // The first block ever allocated is the start block, kept at offset 0.
  manager.File().Flush();
  EXPECT_EQ(manager.StartOffset(), 284);
  EXPECT_EQ(Word(0), 284);
  EXPECT_EQ(Word(4), expected - 4);
}

TEST_F(GFileSpaceManagerTest, FreeingTheLastBlockMovesTheEndBack) {
  GFileSpaceManager manager(Path());
  manager.Allocate(4);
  const int32_t a = manager.Allocate(20);
  const int32_t b = manager.Allocate(20);
  manager.Deallocate(b);
  EXPECT_EQ(manager.EndOffset(), b - 4);
  manager.Deallocate(a);
  EXPECT_EQ(manager.EndOffset(), a - 4);
  manager.File().Flush();
  EXPECT_EQ(Word(4), a - 4);
  EXPECT_TRUE(FreeEntries(12).empty());
  EXPECT_EQ(manager.Allocate(20), a);
}

TEST_F(GFileSpaceManagerTest, ExtentIsSplitOnlyWhenMoreThanSevenBytesRemain) {
  struct Case {
    const char* name;
    uint32_t freedBytes;  // a block of freedBytes + 4
    int64_t takenSize;
    std::vector<Extent> left;
  };
  // The request of 8 bytes needs a 12-byte block.
  const Case cases[] = {
      {"twenty_byte_extent_is_split", 16, 12, {{300, 8}}},
      {"sixteen_byte_extent_is_taken_whole", 12, 16, {}},
      {"exact_fit", 8, 12, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    GFileSpaceManager manager(Path());
    ASSERT_EQ(manager.Allocate(4), 284);
    const int32_t freed = manager.Allocate(c.freedBytes);
    manager.Allocate(4);  // keeps the freed block away from the end
    manager.Deallocate(freed);
    EXPECT_EQ(manager.Allocate(8), freed);
    manager.File().Flush();
    EXPECT_EQ(Word(freed - 4), c.takenSize);
    EXPECT_EQ(FreeEntries(12), c.left);
  }
}

TEST_F(GFileSpaceManagerTest, NeighbouringExtentsMerge) {
  GFileSpaceManager manager(Path());
  manager.Allocate(4);
  std::vector<int32_t> blocks;
  for (int i = 0; i < 6; ++i) blocks.push_back(manager.Allocate(12));  // 16-byte blocks from 288
  const auto entries = [&] {
    manager.File().Flush();
    return FreeEntries(12);
  };
  manager.Deallocate(blocks[0]);
  manager.Deallocate(blocks[1]);
  EXPECT_EQ(entries(), (std::vector<Extent>{{288, 32}}));
  manager.Deallocate(blocks[3]);
  EXPECT_EQ(entries(), (std::vector<Extent>{{288, 32}, {336, 16}}));
  manager.Deallocate(blocks[2]);  // between two listed extents
  EXPECT_EQ(entries(), (std::vector<Extent>{{288, 64}}));
  manager.Deallocate(blocks[4]);  // grows the extent before it
  EXPECT_EQ(entries(), (std::vector<Extent>{{288, 80}}));
  EXPECT_EQ(manager.Allocate(60), 292);
  EXPECT_EQ(entries(), (std::vector<Extent>{{352, 16}}));
}

TEST_F(GFileSpaceManagerTest, TheStartBlockIsNeverFreed) {
  GFileSpaceManager manager(Path());
  const int32_t start = manager.Allocate(40);
  manager.Allocate(4);
  manager.Deallocate(start);
  manager.Deallocate(-1);
  manager.File().Flush();
  EXPECT_TRUE(FreeEntries(12).empty());
  EXPECT_EQ(manager.StartOffset(), start);
  EXPECT_NE(manager.Allocate(40), start);
}

// Frees every other block of many, so that no two freed blocks touch.
std::vector<int32_t> FreeScattered(GFileSpaceManager& manager, int count) {
  std::vector<int32_t> blocks;
  manager.Allocate(4);
  for (int i = 0; i < 2 * count + 1; ++i) blocks.push_back(manager.Allocate(8));
  std::vector<int32_t> freed;
  for (int i = 0; i < count; ++i) {
    manager.Deallocate(blocks[2 * i]);
    freed.push_back(blocks[2 * i]);
  }
  return freed;
}

TEST_F(GFileSpaceManagerTest, AFullChainGrowsByANewBlockAndTheFirstBlockTakesOverTheNext) {
  std::vector<int32_t> freed;
  int32_t second = 0;
  {
    GFileSpaceManager manager(Path());
    freed = FreeScattered(manager, 33);
    manager.Allocate(100);  // keeps the new free-list block away from the end
    manager.File().Flush();
    const std::vector<int64_t> chain = Chain();
    ASSERT_EQ(chain.size(), 2u);
    second = static_cast<int32_t>(chain[1]);
    EXPECT_EQ(second, freed[32] + 32);  // after the last live block
    EXPECT_EQ(Word(static_cast<uint32_t>(second)), 0x1235);
    EXPECT_EQ(FreeEntries(12).size(), 32u);
    EXPECT_EQ(FreeEntries(static_cast<uint32_t>(second)), (std::vector<Extent>{{freed[32] - 4, 12}}));
    EXPECT_EQ(NextBlock(static_cast<uint32_t>(second)), 12);
  }
  GFileSpaceManager manager(Path());
  // First fit in chain order. When the first block empties, the second
  // moves into its place and its own place is listed.
  for (int i = 0; i < 33; ++i) EXPECT_EQ(manager.Allocate(8), freed[i]) << i;
  manager.File().Flush();
  EXPECT_EQ(Chain(), (std::vector<int64_t>{12}));
  EXPECT_EQ(FreeEntries(12), (std::vector<Extent>{{second, 268}}));
}

TEST_F(GFileSpaceManagerTest, AnEmptiedLaterBlockIsUnlinkedAndItsPlaceListed) {
  GFileSpaceManager manager(Path());
  const std::vector<int32_t> freed = FreeScattered(manager, 33);
  const int32_t lastLive = freed[32] + 24;
  manager.Allocate(100);
  manager.File().Flush();
  const int32_t second = static_cast<int32_t>(Chain()[1]);
  manager.Deallocate(lastLive);  // the first block is full: it goes to the second
  manager.File().Flush();
  EXPECT_EQ(FreeEntries(static_cast<uint32_t>(second)).size(), 2u);
  EXPECT_EQ(manager.Allocate(8), freed[32]);
  EXPECT_EQ(manager.Allocate(8), lastLive);
  // The second block is empty and leaves the chain. Its place finds no room
  // in the full first block, so a new block is made for it.
  manager.File().Flush();
  const std::vector<int64_t> chain = Chain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_NE(chain[1], second);
  EXPECT_EQ(FreeEntries(static_cast<uint32_t>(chain[1])), (std::vector<Extent>{{second, 268}}));
  EXPECT_EQ(FreeEntries(12).size(), 32u);
}

TEST_F(GFileSpaceManagerTest, OlderTenEntryFilesKeepTheirLayout) {
  std::string bytes(104, '\0');
  Store(bytes);
  PutWord(0, -1);
  PutWord(4, 104);
  PutWord(8, 92);
  PutWord(12, 0x1234);
  PutWord(100, 12);
  {
    GFileSpaceManager manager(Path());
    ASSERT_TRUE(manager.HasFreeList());
    EXPECT_EQ(manager.Allocate(4), 108);
    FreeScattered(manager, 11);
    manager.File().Flush();
    const std::vector<int64_t> chain = Chain(10);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(FreeEntries(12, 10).size(), 10u);
    EXPECT_EQ(Word(static_cast<uint32_t>(chain[1])), 0x1234);
    EXPECT_EQ(FreeEntries(static_cast<uint32_t>(chain[1]), 10).size(), 1u);
    EXPECT_EQ(NextBlock(static_cast<uint32_t>(chain[1]), 10), 12);
  }
  EXPECT_EQ(Word(8), 92);
}

TEST_F(GFileSpaceManagerTest, DamagedFilesFailWithoutAFreeList) {
  struct Case {
    const char* name;
    uint32_t offset;
    int32_t value;
    std::string error;
  };
  const Case cases[] = {
      {"unknown_block_size", 8, 100, "[FLIST] Free list size error: expected 268, got 100"},
      {"bad_magic", 12, 0x4321, "[MAGIC] Bad magic number: 17185 (should be 4661)"},
      {"end_before_the_first_block", 4, 100, "[READERR] Read error"},
      {"start_past_the_end", 0, 4000, "[READERR] Read error"},
      {"count_beyond_the_entries", 272, 33, "[READERR] Read error"},
      {"next_past_the_end", 276, 100000, "[READERR] Read error"},
      {"next_inside_the_header", 276, 4, "[READERR] Read error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    { GFileSpaceManager fresh(Path()); }
    PutWord(c.offset, c.value);
    RecordingErrorHandler handler;
    GFileSpaceManager manager(Path());
    EXPECT_FALSE(manager.HasFreeList());
    EXPECT_EQ(manager.Allocate(8), -1);
    manager.Deallocate(300);
    EXPECT_EQ(handler.Texts(), std::vector<std::string>{c.error});
  }
}

// An end offset past the file's bytes would make the next allocation write
// there: the file is read as far as it goes, and never written.
TEST_F(GFileSpaceManagerTest, AnEndPastTheFileIsReadButNeverWritten) {
  int32_t block = 0;
  {
    GFileSpaceManager manager(Path());
    block = manager.Allocate(20);
  }
  const int32_t end = static_cast<int32_t>(Word(4));
  PutWord(4, 1 << 30);
  const std::string before = Contents();
  RecordingErrorHandler handler;
  {
    GFileSpaceManager manager(Path());
    EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
    EXPECT_TRUE(manager.IsDamaged());
    EXPECT_EQ(manager.EndOffset(), end);
    GFileSpaceManager::Extent extent{};
    EXPECT_TRUE(manager.BlockAt(block, extent));
    EXPECT_EQ(manager.Allocate(8), -1);
    manager.Deallocate(block);
  }
  EXPECT_EQ(Contents(), before);
}

// Free space must lie apart from every block in use, or the next
// allocation hands out a block that holds data.
TEST_F(GFileSpaceManagerTest, FreeSpaceOverABlockInUseIsCaught) {
  int32_t a = 0;
  int32_t b = 0;
  int32_t c = 0;
  {
    GFileSpaceManager manager(Path());
    a = manager.Allocate(20);
    b = manager.Allocate(20);
    c = manager.Allocate(20);
    manager.Allocate(4);
    manager.Deallocate(b);
  }
  RecordingErrorHandler handler;
  struct Case {
    const char* name;
    int32_t freeOffset;  // the listed extent's offset, patched; 0 leaves it
    std::vector<int32_t> blocks;
    bool apart;
  };
  const Case cases[] = {
      {"blocks_apart_from_the_free_extent", 0, {a, c}, true},
      {"free_extent_over_a_block", 0, {a, b}, false},
      {"one_block_named_twice", 0, {a, a}, false},
      {"free_extent_moved_over_the_next_block", c - 4 - 8, {a, c}, false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const std::string original = Contents();
    if (row.freeOffset != 0) PutWord(16, row.freeOffset);
    handler.Clear();
    {
      GFileSpaceManager manager(Path());
      std::vector<GFileSpaceManager::Extent> blocks(row.blocks.size());
      for (size_t i = 0; i < blocks.size(); ++i) ASSERT_TRUE(manager.BlockAt(row.blocks[i], blocks[i]));
      EXPECT_EQ(manager.AreApart(blocks), row.apart);
      EXPECT_EQ(manager.IsDamaged(), !row.apart);
      EXPECT_EQ(handler.Count(), row.apart ? 0u : 1u);
    }
    Store(original);
  }
}

TEST_F(GFileSpaceManagerTest, ShortOrMissingFilesLeaveNoFreeList) {
  {
    GFileSpaceManager missing(Path(), "rb+");
    EXPECT_FALSE(missing.HasFreeList());
    EXPECT_EQ(missing.Allocate(4), -1);
  }
  Store("abc");
  RecordingErrorHandler handler;
  GFileSpaceManager shortFile(Path());
  EXPECT_FALSE(shortFile.HasFreeList());
  EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
}

TEST_F(GFileSpaceManagerTest, DamagedEntriesAreCaughtWhenTheBlockIsLoaded) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, int32_t>> words;  // patched into the first block
  };
  // Blocks from 288 to 352 exist; entries are patched at slot 0 and 1.
  const Case cases[] = {
      {"extent_inside_the_header", {{272, 1}, {16, 8}, {144, 16}}},
      {"extent_past_the_end", {{272, 1}, {16, 340}, {144, 400}}},
      {"extent_not_in_whole_words", {{272, 1}, {16, 290}, {144, 16}}},
      {"size_below_a_header", {{272, 1}, {16, 288}, {144, 0}}},
      {"extents_out_of_order", {{272, 2}, {16, 304}, {144, 16}, {20, 288}, {148, 16}}},
      {"extents_overlapping", {{272, 2}, {16, 288}, {144, 32}, {20, 304}, {148, 16}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path());
    {
      GFileSpaceManager fresh(Path());
      fresh.Allocate(4);
      for (int i = 0; i < 4; ++i) fresh.Allocate(12);
    }
    for (const auto& [offset, value] : c.words) PutWord(offset, value);
    RecordingErrorHandler handler;
    GFileSpaceManager manager(Path());
    EXPECT_FALSE(manager.HasFreeList());
    EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
  }
}

// A refused free marks the file damaged: nothing more is written to it.
TEST_F(GFileSpaceManagerTest, FreeingWhatWasNeverAllocatedIsRefused) {
  int32_t a = 0;
  int32_t b = 0;
  {
    GFileSpaceManager manager(Path());
    manager.Allocate(4);
    a = manager.Allocate(12);
    b = manager.Allocate(12);
    manager.Allocate(4);
    manager.Deallocate(a);
  }
  RecordingErrorHandler handler;
  struct Case {
    const char* name;
    int32_t offset;
  };
  // clang-format off
  const Case cases[] = {
      {"twice", a},         {"inside_the_header", 8}, {"past_the_end", 100000},
      {"not_a_word", b + 1}, {"negative", -400},       {"lowest_integer", INT32_MIN},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    handler.Clear();
    GFileSpaceManager manager(Path());
    manager.Deallocate(c.offset);
    EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
    EXPECT_TRUE(manager.IsDamaged());
    EXPECT_EQ(manager.Allocate(12), -1);
    manager.Deallocate(b);
    manager.File().Flush();
    EXPECT_EQ(FreeEntries(12), (std::vector<Extent>{{a - 4, 16}}));
  }
}

TEST_F(GFileSpaceManagerTest, SizeHeaderPastTheUsedSpaceIsRefused) {
  int32_t block = 0;
  {
    GFileSpaceManager manager(Path());
    manager.Allocate(4);
    block = manager.Allocate(12);
    manager.Allocate(4);
  }
  PutWord(static_cast<uint32_t>(block - 4), 4000);
  RecordingErrorHandler handler;
  GFileSpaceManager manager(Path());
  manager.Deallocate(block);
  EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
  manager.File().Flush();
  EXPECT_TRUE(FreeEntries(12).empty());
}

TEST_F(GFileSpaceManagerTest, ChainThatNeverComesBackIsCutShort) {
  // Two free-list blocks that point at each other, never back to the first.
  int32_t second = 0;
  {
    GFileSpaceManager manager(Path());
    FreeScattered(manager, 33);
    manager.File().Flush();
    second = static_cast<int32_t>(Chain()[1]);
  }
  PutWord(static_cast<uint32_t>(second) + 264, second);
  RecordingErrorHandler handler;
  GFileSpaceManager manager(Path());
  ASSERT_TRUE(manager.HasFreeList());
  EXPECT_EQ(manager.Allocate(100000), -1);
  EXPECT_EQ(handler.Texts(), std::vector<std::string>{"[READERR] Read error"});
}

TEST_F(GFileSpaceManagerTest, WritesToAReadOnlyFileRaiseWriteErrors) {
  { GFileSpaceManager fresh(Path()); }
  RecordingErrorHandler handler;
  GFileSpaceManager manager(Path(), "rb");
  ASSERT_TRUE(manager.HasFreeList());
  EXPECT_EQ(manager.Allocate(8), -1);
  ASSERT_FALSE(handler.Records().empty());
  EXPECT_EQ(handler.Records()[0].kind, "file");
  EXPECT_EQ(handler.Records()[0].text, "[WRITEERR] Write error");
  EXPECT_EQ(manager.EndOffset(), 280);
}

// Random allocations and frees, with a reopen now and then: no two live
// blocks ever share a byte, every block keeps what was written into it, and
// nothing listed as free overlaps a live block.
TEST_F(GFileSpaceManagerTest, RandomUseNeverHandsOutSpaceTwice) {
  std::mt19937 random(1136);
  std::map<int32_t, std::pair<uint32_t, uint8_t>> live;  // user offset -> (bytes, fill)
  auto manager = std::make_unique<GFileSpaceManager>(Path());
  manager->Allocate(4);
  RecordingErrorHandler handler;
  for (int step = 0; step < 6000; ++step) {
    if (step % 1500 == 1499) manager = std::make_unique<GFileSpaceManager>(Path());
    GBinaryFile& file = manager->File();
    if (live.empty() || random() % 100 < 55) {
      const uint32_t bytes = 1 + random() % 300;
      const int32_t offset = manager->Allocate(bytes);
      ASSERT_GE(offset, 284);
      const auto after = live.lower_bound(offset);
      if (after != live.end()) {
        ASSERT_LE(int64_t{offset} + bytes, after->first - 4) << step;
      }
      if (after != live.begin()) {
        const auto before = std::prev(after);
        ASSERT_LE(int64_t{before->first} + before->second.first, offset - 4) << step;
      }
      const uint8_t fill = static_cast<uint8_t>(random());
      const std::vector<uint8_t> data(bytes, fill);
      ASSERT_TRUE(file.SeekTo(offset) && file.Write(data.data(), bytes));
      live[offset] = {bytes, fill};
    } else {
      auto it = live.begin();
      std::advance(it, random() % live.size());
      std::vector<uint8_t> data(it->second.first);
      ASSERT_TRUE(file.SeekTo(it->first) && file.Read(data.data(), it->second.first));
      ASSERT_TRUE(std::all_of(data.begin(), data.end(), [&](uint8_t b) { return b == it->second.second; })) << step;
      manager->Deallocate(it->first);
      live.erase(it);
    }
  }
  manager.reset();
  EXPECT_EQ(handler.Count(), 0u);
  for (const int64_t block : Chain()) {
    for (const Extent& extent : FreeEntries(static_cast<uint32_t>(block))) {
      const auto after = live.lower_bound(static_cast<int32_t>(extent.offset + 4));
      if (after != live.end()) {
        EXPECT_LE(extent.offset + extent.size, after->first - 4);
      }
      if (after != live.begin()) {
        const auto before = std::prev(after);
        EXPECT_LE(before->first + int64_t{before->second.first}, extent.offset);
      }
    }
  }
}

}  // namespace
