// The row coders are tuned for speed; these digests were taken from the
// straightforward coders they replaced, over seeded random rows that gather
// around the run limits, so any change of output fails here. Each packed row
// also goes through an independent decoder.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/adaptive_row_compressor.h"
#include "graphics/delta_row_compressor.h"
#include "graphics/packbits_row_compressor.h"
#include "graphics/testing/pcl_row_decoders.h"
#include "graphics/testing/random_rows.h"
#include "graphics/testing/read_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(RowCoderIdentity, PackBitsOfRandomRowsKeepsItsOutput) {
  TestRandom random(1);
  uint64_t digest = kDigestStart;
  for (int k = 0; k < 3000; ++k) {
    const Bytes row = RandomRunRow(random, random.Below(900));
    Bytes packed(PackBitsMaxBytes(static_cast<uint32_t>(row.size()), 0));
    packed.resize(PackBits(row.data(), static_cast<uint32_t>(row.size()), packed.data()));
    ASSERT_EQ(UnpackBits(packed), row) << "row " << k;
    digest = Digest(packed, DigestValue(static_cast<uint32_t>(packed.size()), digest));
  }
  EXPECT_EQ(digest, 0xA5E934E9E046C851u) << std::hex << digest;
}

// Rows of one width that follow each other the ways that lead the adaptive
// coder to each block: equal to the row before, a few bytes changed, runs,
// noise, short rows; some stand for several device rows.
std::vector<MemoryRowSource::Row> RowSequence(TestRandom& random, size_t width, int count) {
  std::vector<MemoryRowSource::Row> rows;
  Bytes previous(width, 0);
  for (int k = 0; k < count; ++k) {
    Bytes row = previous;
    switch (random.Below(5)) {
      case 0:
        break;
      case 1:
        for (uint32_t n = random.Below(8); n > 0 && width > 0; --n) row[random.Below(width)] ^= 1 + random.Below(255);
        break;
      case 2:
        row = RandomRunRow(random, width);
        break;
      case 3:
        for (uint8_t& b : row) b = static_cast<uint8_t>(random.Next());
        break;
      default:
        row = RandomRunRow(random, random.Below(static_cast<uint32_t>(width) + 1));
        break;
    }
    const uint8_t repeat = random.Below(4) == 0 ? static_cast<uint8_t>(2 + random.Below(3)) : 1;
    rows.push_back({row, repeat});
    previous = row;
    previous.resize(width, 0);
  }
  return rows;
}

TEST(RowCoderIdentity, DeltaRowsOfRandomRowsKeepTheirOutput) {
  TestRandom random(4);
  uint64_t digest = kDigestStart;
  for (int sequence = 0; sequence < 200; ++sequence) {
    const size_t width = random.Below(700);
    Bytes seed(width, 0);
    Bytes decoded(width, 0);
    for (const MemoryRowSource::Row& row : RowSequence(random, width, 30)) {
      Bytes current = row.bytes;
      current.resize(width, 0);
      Bytes packed(DeltaRowMaxBytes(static_cast<uint32_t>(width)));
      packed.resize(DeltaRow(current.data(), seed.data(), static_cast<uint32_t>(width), packed.data()));
      ASSERT_EQ(seed, current);
      ASSERT_TRUE(ApplyDeltaRow(packed, decoded));
      ASSERT_EQ(decoded, current);
      digest = Digest(packed, DigestValue(static_cast<uint32_t>(packed.size()), digest));
    }
  }
  EXPECT_EQ(digest, 0x418AA93D0DB08957u) << std::hex << digest;
}

TEST(RowCoderIdentity, AdaptiveBlocksOfRandomRowsKeepTheirOutput) {
  TestRandom random(2);
  uint64_t digest = kDigestStart;
  const uint16_t multiples[] = {1, 2, 4, 8};
  for (int sequence = 0; sequence < 300; ++sequence) {
    const size_t width = 1 + random.Below(600);
    const std::vector<MemoryRowSource::Row> rows = RowSequence(random, width, 40);
    GAdaptiveRowCompressor stage(multiples[random.Below(4)], static_cast<int32_t>(random.Below(2)));
    MemoryRowSource source({0, 0, static_cast<int16_t>(width), 40}, 8, rows);
    stage.SetSource(&source);
    ASSERT_EQ(stage.Open(), 1);
    const uint32_t resetAt = random.Below(60);
    for (uint32_t k = 0; k < rows.size(); ++k) {
      if (k == resetAt) stage.ResetSeedRow();
      const ReadRowResult result = ReadRows(stage, 1)[0];
      ASSERT_TRUE(result.withinMaximum);
      digest = DigestValue(static_cast<uint32_t>(result.answer), digest);
      digest = DigestValue(result.repeat, DigestValue(result.rows, digest));
      digest = Digest(result.bytes, DigestValue(static_cast<uint32_t>(result.bytes.size()), digest));
    }
  }
  EXPECT_EQ(digest, 0x976A57130CDCB5CBu) << std::hex << digest;
}

}  // namespace
