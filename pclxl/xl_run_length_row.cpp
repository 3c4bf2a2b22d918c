#include "pclxl/xl_run_length_row.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kLongestRun = 127;

// How many bytes from start equal the byte at start, counting up to cap.
size_t RepeatLength(std::span<const uint8_t> row, size_t start, size_t cap) {
  size_t end = start + 1;
  const size_t last = std::min(row.size(), start + cap);
  while (end < last && row[end] == row[start]) ++end;
  return end - start;
}

// Hands every run to emit(header, bytes, count) in order; stops and answers
// false as soon as emit does.
template <class Emit>
bool ForEachRun(std::span<const uint8_t> row, Emit emit) {
  size_t start = 0;
  while (start < row.size()) {
    const size_t repeat = RepeatLength(row, start, kLongestRun);
    if (repeat >= 2) {
      if (!emit(static_cast<uint8_t>(1 - static_cast<int>(repeat)), &row[start], 1)) return false;
      start += repeat;
      continue;
    }
    // A literal run ends where a repeat of three or more begins.
    size_t end = start + 1;
    while (end < row.size() && end - start < kLongestRun && RepeatLength(row, end, 3) < 3) ++end;
    if (!emit(static_cast<uint8_t>(end - start - 1), &row[start], end - start)) return false;
    start = end;
  }
  const size_t pad = (4 - row.size() % 4) % 4;
  static const uint8_t kZero = 0;
  if (pad == 1) return emit(0, &kZero, 1);
  if (pad > 1) return emit(static_cast<uint8_t>(1 - static_cast<int>(pad)), &kZero, 1);
  return true;
}

}  // namespace

size_t XLMeasureRunLengthRow(std::span<const uint8_t> row) {
  size_t size = 0;
  ForEachRun(row, [&size](uint8_t, const uint8_t*, size_t count) {
    size += 1 + count;
    return true;
  });
  return size;
}

size_t XLEncodeRunLengthRow(std::span<const uint8_t> row, std::span<uint8_t> out, size_t limit) {
  size_t size = 0;
  const bool complete = ForEachRun(row, [&](uint8_t header, const uint8_t* bytes, size_t count) {
    const size_t next = size + 1 + count;
    if ((limit != 0 && next >= limit) || next > out.size()) return false;
    out[size] = header;
    std::memcpy(&out[size + 1], bytes, count);
    size = next;
    return true;
  });
  return complete ? size : 0;
}
