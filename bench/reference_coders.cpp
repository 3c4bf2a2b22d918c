#include "bench/reference_coders.h"

#include <algorithm>
#include <cstring>

size_t PlainPackBits(const uint8_t* row, size_t count, uint8_t* out, size_t longestRun) {
  size_t size = 0;
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < longestRun && row[i + run] == row[i]) ++run;
    if (run >= 2) {
      out[size++] = static_cast<uint8_t>(257 - run);
      out[size++] = row[i];
      i += run;
      continue;
    }
    const size_t start = i;
    do {
      ++i;
    } while (i < count && i - start < longestRun && !(i + 2 < count && row[i] == row[i + 1] && row[i] == row[i + 2]));
    out[size++] = static_cast<uint8_t>(i - start - 1);
    std::memcpy(out + size, row + start, i - start);
    size += i - start;
  }
  return size;
}

size_t PlainDeltaRow(const uint8_t* row, uint8_t* seed, size_t count, uint8_t* out) {
  size_t size = 0;
  size_t i = 0;
  size_t runEnd = 0;
  while (i < count) {
    if (row[i] == seed[i]) {
      ++i;
      continue;
    }
    const size_t start = i;
    for (; i < count && i - start < 8 && row[i] != seed[i]; ++i) seed[i] = row[i];
    size_t offset = start - runEnd;
    out[size++] = static_cast<uint8_t>(((i - start - 1) << 5) | std::min<size_t>(offset, 31));
    if (offset >= 31) {
      for (offset -= 31; offset >= 255; offset -= 255) out[size++] = 255;
      out[size++] = static_cast<uint8_t>(offset);
    }
    std::memcpy(out + size, row + start, i - start);
    size += i - start;
    runEnd = i;
  }
  return size;
}

size_t PlainAdaptiveRow(const uint8_t* row, uint8_t* seed, size_t count, bool seedValid, uint8_t* out) {
  size_t sameAsSeed = 0;
  size_t sameAsLeft = 0;
  for (size_t j = 0; j < count; ++j) {
    sameAsSeed += row[j] == seed[j];
    sameAsLeft += j > 0 && row[j] == row[j - 1];
  }
  if (!seedValid) sameAsSeed = 0;
  uint8_t type = 3;
  size_t length = 0;
  if (sameAsLeft < count / 3 && sameAsSeed < count / 3) {
    type = 0;
    std::memcpy(out + 3, row, count);
    std::memcpy(seed, row, count);
    length = count;
  } else if (sameAsSeed < sameAsLeft) {
    type = 2;
    length = PlainPackBits(row, count, out + 3, 128);
    std::memcpy(seed, row, count);
  } else {
    length = PlainDeltaRow(row, seed, count, out + 3);
  }
  out[0] = type;
  out[1] = static_cast<uint8_t>(length >> 8);
  out[2] = static_cast<uint8_t>(length);
  return 3 + length;
}
