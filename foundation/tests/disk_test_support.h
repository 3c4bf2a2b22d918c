#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/little_endian.h"
#include "foundation/testing/scratch_files.h"

// A scratch file for each test, and a reader of what is in it that knows the
// stored layouts independently of the code under test.
class DiskFileTest : public ::testing::Test, protected ScratchFile {
 protected:
  // The little-endian word at offset, or a marker past the end of the file.
  int64_t Word(uint32_t offset) const {
    std::ifstream in(Path(), std::ios::binary);
    uint8_t bytes[4];
    if (!in.seekg(offset) || !in.read(reinterpret_cast<char*>(bytes), 4)) return -0x100000000;
    return LoadLittle32Signed(bytes);
  }

  void PutWord(uint32_t offset, int32_t value) const {
    std::string bytes = Contents();
    if (bytes.size() < offset + 4) bytes.resize(offset + 4);
    StoreLittle32(reinterpret_cast<uint8_t*>(bytes.data() + offset), value);
    Store(bytes);
  }

  struct Extent {
    int64_t offset;
    int64_t size;
    bool operator==(const Extent&) const = default;
  };

  // The entries of the free-list block at offset, in a file whose blocks
  // hold n entries.
  std::vector<Extent> FreeEntries(uint32_t block, uint32_t n = 32) const {
    std::vector<Extent> entries;
    const int64_t count = Word(block + 4 + 8 * n);
    for (int64_t i = 0; i < count; ++i) {
      entries.push_back(
          {Word(block + 4 + 4 * static_cast<uint32_t>(i)), Word(block + 4 + 4 * n + 4 * static_cast<uint32_t>(i))});
    }
    return entries;
  }

  int64_t NextBlock(uint32_t block, uint32_t n = 32) const { return Word(block + 8 + 8 * n); }

  // Every free-list block of the chain, from the first at 12.
  std::vector<int64_t> Chain(uint32_t n = 32) const {
    std::vector<int64_t> blocks{12};
    for (int64_t next = NextBlock(12, n); next != 12 && blocks.size() < 1000;
         next = NextBlock(static_cast<uint32_t>(next), n)) {
      blocks.push_back(next);
    }
    return blocks;
  }
};
