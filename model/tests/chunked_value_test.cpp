#include "model/os/chunked_value.h"
#include "foundation/testing/string_printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Text = std::basic_string<WideChar>;

Text ToText(const RWWString& s) { return Text(s.Data(), s.Length()); }

// Values under one key, as the chunked form sees them.
struct FakeKey : GChunkedValueAccess {
  std::map<Text, uint32_t> counts;
  std::map<Text, std::vector<uint8_t>> chunks;
  int failChunkWrite = -1;  // index of a chunk whose write fails

  bool ReadCount(const RWWString& name, uint32_t& count) override {
    const auto found = counts.find(ToText(name));
    if (found == counts.end()) return false;
    count = found->second;
    return true;
  }
  bool WriteCount(const RWWString& name, uint32_t count) override {
    counts[ToText(name)] = count;
    return true;
  }
  bool ReadChunk(const RWWString& name, uint8_t* buffer, uint32_t capacity, uint32_t& length) override {
    const auto found = chunks.find(ToText(name));
    if (found == chunks.end() || found->second.size() > capacity) return false;
    std::copy(found->second.begin(), found->second.end(), buffer);
    length = static_cast<uint32_t>(found->second.size());
    return true;
  }
  bool WriteChunk(const RWWString& name, const uint8_t* bytes, uint32_t length) override {
    if (failChunkWrite >= 0 && ToText(name) == ToText(ChunkName(RWWString(QV_WIDE("X")), failChunkWrite))) {
      return false;
    }
    chunks[ToText(name)] = std::vector<uint8_t>(bytes, bytes + length);
    return true;
  }
  bool DeleteChunk(const RWWString& name) override { return chunks.erase(ToText(name)) != 0; }

  std::vector<size_t> ChunkSizes(const char* name) {
    std::vector<size_t> sizes;
    for (uint32_t i = 0;; ++i) {
      const auto found = chunks.find(ToText(ChunkName(RWWString(name), i)));
      if (found == chunks.end()) return sizes;
      sizes.push_back(found->second.size());
    }
  }
};

std::vector<uint8_t> Pattern(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

const RWWString kName(QV_WIDE("X"));

TEST(ChunkedValue, ChunkNamesAreTheNameAColonAndTheIndex) {
  EXPECT_EQ(ToText(ChunkName(RWWString(QV_WIDE("ZUDBinPool")), 0)), Text(QV_WIDE("ZUDBinPool:0")));
  EXPECT_EQ(ToText(ChunkName(kName, 4294967295u)), Text(QV_WIDE("X:4294967295")));
}

TEST(ChunkedValue, LayoutAndRoundTripBySize) {
  struct Case {
    const char* name;
    uint32_t size;
    uint32_t count;
    std::vector<size_t> chunkSizes;
  };
  const Case cases[] = {
      {"empty", 0, 1, {0}},
      {"one_short_chunk", 100, 1, {100}},
      {"exactly_one_chunk", 248, 2, {248, 0}},
      {"one_byte_more", 249, 2, {248, 1}},
      {"three_chunks", 600, 3, {248, 248, 104}},
      {"many_chunks", 248 * 40 + 5, 41, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeKey key;
    const std::vector<uint8_t> bytes = Pattern(c.size);
    ASSERT_EQ(WriteChunkedValue(key, kName, bytes.data(), c.size), 1);
    EXPECT_EQ(key.counts[QV_WIDE("X")], c.count);
    const std::vector<size_t> sizes = key.ChunkSizes("X");
    EXPECT_EQ(sizes.size(), c.count);
    if (!c.chunkSizes.empty()) {
      EXPECT_EQ(sizes, c.chunkSizes);
    }

    uint32_t largest = 0;
    EXPECT_EQ(ReadChunkedValue(key, kName, nullptr, 0, largest), 1);
    EXPECT_EQ(largest, 248 * c.count);
    std::vector<uint8_t> buffer(largest);
    uint32_t read = 0;
    ASSERT_EQ(ReadChunkedValue(key, kName, buffer.data(), largest, read), 1);
    buffer.resize(read);
    EXPECT_EQ(buffer, bytes);
  }
}

TEST(ChunkedValue, AShorterValueDeletesTheStaleChunks) {
  FakeKey key;
  const std::vector<uint8_t> bytes = Pattern(600);
  ASSERT_EQ(WriteChunkedValue(key, kName, bytes.data(), 600), 1);
  ASSERT_EQ(WriteChunkedValue(key, kName, bytes.data(), 100), 1);
  EXPECT_EQ(key.counts[QV_WIDE("X")], 1u);
  EXPECT_EQ(key.ChunkSizes("X"), (std::vector<size_t>{100}));
  EXPECT_EQ(key.chunks.size(), 1u);
}

// A stored count is untrusted: a huge old count does not make the writer
// walk billions of names, and one too large for any value reads as nothing.
TEST(ChunkedValue, HugeStoredCountsAreHarmless) {
  FakeKey key;
  key.counts[QV_WIDE("X")] = 0xFFFFFFFF;
  const std::vector<uint8_t> bytes = Pattern(10);
  ASSERT_EQ(WriteChunkedValue(key, kName, bytes.data(), 10), 1);

  key.counts[QV_WIDE("X")] = 0xFFFFFFFF;
  uint32_t size = 12345;
  EXPECT_EQ(ReadChunkedValue(key, kName, nullptr, 0, size), 0);
  EXPECT_EQ(size, 12345u);
}

TEST(ChunkedValue, ReadFailures) {
  FakeKey key;
  const std::vector<uint8_t> bytes = Pattern(600);
  ASSERT_EQ(WriteChunkedValue(key, kName, bytes.data(), 600), 1);
  std::vector<uint8_t> buffer(1000);
  uint32_t size = 7;

  // Too small a buffer reports the room the value may need.
  EXPECT_EQ(ReadChunkedValue(key, kName, buffer.data(), 300, size), 0);
  EXPECT_EQ(size, 744u);

  // A missing chunk fails the read; nothing is reported as read.
  key.chunks.erase(ToText(ChunkName(kName, 1)));
  size = 7;
  EXPECT_EQ(ReadChunkedValue(key, kName, buffer.data(), 1000, size), 0);
  EXPECT_EQ(size, 7u);

  // No count, or a count of 0: no value.
  EXPECT_EQ(ReadChunkedValue(key, RWWString(QV_WIDE("Y")), buffer.data(), 1000, size), 0);
  key.counts[QV_WIDE("X")] = 0;
  EXPECT_EQ(ReadChunkedValue(key, kName, nullptr, 0, size), 0);
  EXPECT_EQ(size, 7u);
}

TEST(ChunkedValue, AFailedChunkWriteAnswersFailure) {
  FakeKey key;
  key.failChunkWrite = 1;
  const std::vector<uint8_t> bytes = Pattern(600);
  EXPECT_EQ(WriteChunkedValue(key, kName, bytes.data(), 600), 0);
  // The count stays as written; readers then fail on the missing chunk.
  EXPECT_EQ(key.counts[QV_WIDE("X")], 3u);
  std::vector<uint8_t> buffer(744);
  uint32_t size = 0;
  EXPECT_EQ(ReadChunkedValue(key, kName, buffer.data(), 744, size), 0);
}

}  // namespace
