#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

// The longest run of the TIFF PackBits form.
constexpr uint32_t kPackBitsLongestRun = 128;

namespace packbits_detail {

// A literal ends before three equal bytes that begin among its first this
// many bytes.
constexpr uint32_t kLiteralLookahead = 127;

// The first position from `from` on, before `end`, whose byte is not value
// (end when there is none); compares eight bytes at a time.
inline uint32_t EndOfRepeat(const uint8_t* input, uint32_t from, uint32_t end, uint8_t value) {
  const uint64_t pattern = 0x0101010101010101u * value;
  uint32_t j = from;
  for (; end - j >= 8; j += 8) {
    uint64_t word;
    std::memcpy(&word, input + j, sizeof word);
    const uint64_t differ = word ^ pattern;
    if (differ == 0) continue;
    if constexpr (std::endian::native == std::endian::little) return j + (std::countr_zero(differ) >> 3);
    break;
  }
  while (j < end && input[j] == value) ++j;
  return j;
}

// The end of the literal that starts at start (its first two bytes differ):
// the first of three equal bytes that begin within the lookahead, else
// last.
inline uint32_t EndOfLiteral(const uint8_t* input, uint32_t start, uint32_t last, uint32_t count) {
  // Positions j whose triple j, j + 1, j + 2 lies within the input.
  const uint32_t tripleEnd = std::min({last, start + kLiteralLookahead, count >= 2 ? count - 2 : 0});
  for (uint32_t j = start + 1; j < tripleEnd; ++j) {
    if (input[j] == input[j + 1] && input[j] == input[j + 2]) return j;
  }
  return last;
}

}  // namespace packbits_detail

// Splits count bytes into PackBits runs of at most longestRun bytes (2 to
// 128) and hands each to emit(header, bytes, n) in order: a repeat of n >= 2
// equal bytes as header 1 - n (a signed byte) and the byte (n = 1 byte
// handed), a literal as header n - 1 and its n bytes. Two equal bytes at the
// start of a run open a repeat; a literal goes on until three equal bytes
// begin among its first 127 bytes, or it holds longestRun bytes. Stops and
// answers false as soon as emit answers false.
template <class Emit>
bool ForEachPackBitsRun(const uint8_t* input, uint32_t count, uint32_t longestRun, Emit&& emit) {
  uint32_t start = 0;
  while (start < count) {
    const uint32_t last = start + std::min(longestRun, count - start);
    const uint8_t value = input[start];
    const uint32_t repeatEnd = packbits_detail::EndOfRepeat(input, start + 1, last, value);
    if (repeatEnd - start >= 2) {
      if (!emit(static_cast<uint8_t>(1 - (repeatEnd - start)), &input[start], 1u)) return false;
      start = repeatEnd;
      continue;
    }
    const uint32_t literalEnd = packbits_detail::EndOfLiteral(input, start, last, count);
    if (!emit(static_cast<uint8_t>(literalEnd - start - 1), &input[start], literalEnd - start)) return false;
    start = literalEnd;
  }
  return true;
}
