#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Seeded rows for differential tests of the row coders. The generator is
// written out (splitmix64) rather than taken from <random>, whose
// distributions differ between standard libraries, so that the rows, and the
// digests of what a coder makes of them, are the same on every build.
class TestRandom {
 public:
  explicit TestRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next();
  // A value in [0, n).
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

 private:
  uint64_t state_;
};

// length bytes of repeats and literals whose lengths gather around the run
// limits of PackBits (1 to 4, 125 to 130) or are drawn up to 300. Some
// literals take their bytes from three values, so that pairs and triples
// fall inside them; some end with a run of three just where a literal of 127
// or 128 bytes would end.
std::vector<uint8_t> RandomRunRow(TestRandom& random, size_t length);

// FNV-1a over the bytes, continuing from digest.
constexpr uint64_t kDigestStart = 0xCBF29CE484222325u;
uint64_t Digest(std::span<const uint8_t> bytes, uint64_t digest = kDigestStart);
// The same over the four bytes of value, low byte first.
uint64_t DigestValue(uint32_t value, uint64_t digest);
