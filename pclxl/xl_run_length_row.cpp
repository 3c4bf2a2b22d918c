#include "pclxl/xl_run_length_row.h"

#include <cstring>

#include "graphics/packbits_runs.h"

namespace {

constexpr uint32_t kLongestRun = 127;

// Hands every run of the row, then the padding run, to emit(header, bytes,
// count) in order; stops and answers false as soon as emit does.
template <class Emit>
bool ForEachRun(std::span<const uint8_t> row, Emit emit) {
  if (!ForEachPackBitsRun(row.data(), static_cast<uint32_t>(row.size()), kLongestRun, emit)) return false;
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
