#include "pclxl/xl_run_length_row.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "graphics/testing/random_rows.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A PackBits decoder written from the format: a header n of 0 to 127 is
// followed by n + 1 literal bytes, a header of -1 to -127 by one byte
// repeated 1 - n times; -128 is never written.
std::optional<Bytes> Unpack(const Bytes& packed) {
  Bytes row;
  size_t at = 0;
  while (at < packed.size()) {
    const int header = static_cast<int8_t>(packed[at++]);
    if (header == -128 || at >= packed.size()) return std::nullopt;
    if (header >= 0) {
      if (packed.size() - at < static_cast<size_t>(header) + 1) return std::nullopt;
      row.insert(row.end(), packed.begin() + at, packed.begin() + at + header + 1);
      at += header + 1;
    } else {
      row.insert(row.end(), static_cast<size_t>(1 - header), packed[at++]);
    }
  }
  return row;
}

Bytes Encode(const Bytes& row) {
  Bytes out(2 * row.size() + 8);
  out.resize(XLEncodeRunLengthRow(row, out, 0));
  return out;
}

Bytes Sawtooth(size_t length) {
  Bytes row(length);
  for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(i * 7);
  return row;
}

TEST(XLRunLengthRow, EncodesRunsAndPadsToFourBytes) {
  struct Case {
    const char* name;
    Bytes row;
    Bytes expected;
  };
  const Case cases[] = {
      {"empty_row", {}, {}},
      {"repeat_of_four", {0xAA, 0xAA, 0xAA, 0xAA}, {0xFD, 0xAA}},
      {"literal_of_four", {1, 2, 3, 4}, {0x03, 1, 2, 3, 4}},
      {"one_pad_byte", {1, 2, 3}, {0x02, 1, 2, 3, 0x00, 0x00}},
      {"two_pad_bytes", {5, 5}, {0xFF, 5, 0xFF, 0x00}},
      {"three_pad_bytes", {9}, {0x00, 9, 0xFE, 0x00}},
      {"pair_inside_a_literal_stays_literal", {1, 2, 2, 3}, {0x03, 1, 2, 2, 3}},
      {"literal_then_repeat", {1, 2, 7, 7, 7, 7, 7, 7}, {0x01, 1, 2, 0xFB, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Encode(c.row), c.expected);
    EXPECT_EQ(XLMeasureRunLengthRow(c.row), c.expected.size());
  }
}

// Long and mixed rows decode to the row followed by its padding, and no run
// is longer than 127 bytes.
TEST(XLRunLengthRow, RoundTripsThroughAnIndependentDecoder) {
  Bytes mixed = Sawtooth(130);
  mixed.insert(mixed.end(), 300, 0x11);
  mixed.insert(mixed.end(), {1, 1, 2, 3, 3, 3});
  struct Case {
    const char* name;
    Bytes row;
  };
  const Case cases[] = {
      {"repeat_longer_than_a_run", Bytes(200, 0x42)},
      {"literal_longer_than_a_run", Sawtooth(301)},
      {"mixed", mixed},
      {"repeat_of_exactly_127", Bytes(127, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes packed = Encode(c.row);
    EXPECT_EQ(packed.size(), XLMeasureRunLengthRow(c.row));
    Bytes expected = c.row;
    expected.resize((c.row.size() + 3) / 4 * 4, 0);
    EXPECT_EQ(Unpack(packed), expected);
  }
}

TEST(XLRunLengthRow, GivesUpAtTheLimitOrWhenTheOutputIsFull) {
  const Bytes row = Sawtooth(8);  // one literal run: 9 bytes
  struct Case {
    const char* name;
    size_t outSize;
    size_t limit;
    size_t expected;
  };
  const Case cases[] = {
      {"no_limit", 16, 0, 9},        {"limit_above_the_size", 16, 10, 9},
      {"limit_reached", 16, 9, 0},   {"output_exactly_large_enough", 9, 0, 9},
      {"output_too_small", 8, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes out(c.outSize, 0xEE);
    EXPECT_EQ(XLEncodeRunLengthRow(row, out, c.limit), c.expected);
  }
}

// The rows are packed by the graphics library's PackBits coder; this digest
// was taken from the run-length coder it replaced, over seeded rows that
// gather around the run limits, so any change of output fails here.
TEST(XLRunLengthRow, KeepsItsOutputOnRandomRows) {
  TestRandom random(3);
  uint64_t digest = kDigestStart;
  for (int k = 0; k < 3000; ++k) {
    const Bytes row = RandomRunRow(random, random.Below(900));
    const Bytes packed = Encode(row);
    ASSERT_EQ(XLMeasureRunLengthRow(row), packed.size()) << "row " << k;
    Bytes expected = row;
    expected.resize((row.size() + 3) / 4 * 4, 0);
    ASSERT_EQ(Unpack(packed), expected) << "row " << k;
    digest = Digest(packed, DigestValue(static_cast<uint32_t>(packed.size()), digest));
  }
  EXPECT_EQ(digest, 0xB7877E6A2FB90DE2u) << std::hex << digest;
}

}  // namespace
