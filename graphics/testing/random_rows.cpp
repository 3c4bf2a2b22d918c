#include "graphics/testing/random_rows.h"

namespace {

uint32_t RunLength(TestRandom& random) {
  switch (random.Below(3)) {
    case 0:
      return 1 + random.Below(4);
    case 1:
      return 125 + random.Below(6);
    default:
      return 1 + random.Below(300);
  }
}

// A literal of distinct neighbours, then three equal bytes starting at its
// 126th to 129th byte.
void AppendLiteralBeforeATriple(TestRandom& random, std::vector<uint8_t>& row) {
  const uint32_t literal = 125 + random.Below(4);
  uint8_t byte = static_cast<uint8_t>(random.Next());
  for (uint32_t k = 0; k < literal; ++k) row.push_back(byte += static_cast<uint8_t>(1 + random.Below(254)));
  const uint8_t repeated = static_cast<uint8_t>(byte + 1 + random.Below(254));
  row.insert(row.end(), 3 + random.Below(3), repeated);
}

}  // namespace

uint64_t TestRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

std::vector<uint8_t> RandomRunRow(TestRandom& random, size_t length) {
  std::vector<uint8_t> row;
  while (row.size() < length) {
    switch (random.Below(4)) {
      case 0:
        row.insert(row.end(), RunLength(random), random.Below(2) == 0 ? 0 : static_cast<uint8_t>(random.Next()));
        break;
      case 1:
        for (uint32_t k = RunLength(random); k > 0; --k) row.push_back(static_cast<uint8_t>(random.Next()));
        break;
      case 2:
        for (uint32_t k = RunLength(random); k > 0; --k) row.push_back(static_cast<uint8_t>(random.Below(3)));
        break;
      default:
        AppendLiteralBeforeATriple(random, row);
        break;
    }
  }
  row.resize(length);
  return row;
}

uint64_t Digest(std::span<const uint8_t> bytes, uint64_t digest) {
  for (const uint8_t b : bytes) digest = (digest ^ b) * 0x100000001B3u;
  return digest;
}

uint64_t DigestValue(uint32_t value, uint64_t digest) {
  const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return Digest(bytes, digest);
}
