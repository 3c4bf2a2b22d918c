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

namespace {

// How many bytes from at on equal row[at], at most limit.
uint32_t RunAt(const uint8_t* row, uint32_t at, uint32_t end, uint32_t limit) {
  uint32_t n = 1;
  while (at + n < end && n < limit && row[at + n] == row[at]) ++n;
  return n;
}

void PutLiteral(std::vector<uint8_t>& out, const uint8_t* bytes, uint32_t count) {
  out.push_back(0);
  out.push_back(static_cast<uint8_t>(count));
  out.insert(out.end(), bytes, bytes + count);
  if (count % 2 != 0) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> PlainRunLength8Encode(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
    uint32_t x = 0;
    uint32_t literalStart = 0;
    auto flushLiteral = [&](uint32_t end) {
      uint32_t at = literalStart;
      while (end - at >= 3) {
        const uint32_t count = std::min<uint32_t>(end - at, 255);
        PutLiteral(out, row + at, count);
        at += count;
      }
      for (; at < end; ++at) out.insert(out.end(), {1, row[at]});
    };
    while (x < width) {
      const uint32_t run = RunAt(row, x, width, 255);
      if (run < 3) {
        x += run;
        continue;
      }
      flushLiteral(x);
      out.insert(out.end(), {static_cast<uint8_t>(run), row[x]});
      x += run;
      literalStart = x;
    }
    flushLiteral(width);
    out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

std::vector<uint8_t> PlainRunLength8Decode(const std::vector<uint8_t>& input, uint32_t width, uint32_t stride,
                                           size_t size) {
  std::vector<uint8_t> block(size, 0);
  uint8_t* rows = block.data();
  uint32_t x = 0;
  size_t rowStart = 0;
  for (size_t at = 0; at + 2 <= input.size(); at += 2) {
    const uint8_t count = input[at];
    const uint8_t value = input[at + 1];
    if (count > 0) {
      std::memset(rows + rowStart + x, value, count);
      x += count;
    } else if (value == 0) {
      x = 0;
      rowStart += stride;
    } else if (value == 1) {
      break;
    } else if (value >= 3) {
      std::memcpy(rows + rowStart + x, input.data() + at + 2, value);
      x += value;
      at += value + value % 2;
    }
    if (x > width || rowStart + stride > size) break;
  }
  return block;
}

void PlainScaleAndThreshold(const uint8_t* row, uint32_t sourceWidth, uint32_t width, uint32_t y, const uint8_t* matrix,
                            uint32_t matrixWidth, uint32_t matrixHeight, uint8_t* out) {
  const uint8_t* thresholds = matrix + (y % matrixHeight) * matrixWidth;
  std::memset(out, 0, (width + 7) / 8);
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t level = row[static_cast<uint64_t>(x) * sourceWidth / width];
    if (level >= thresholds[x % matrixWidth]) out[x / 8] = static_cast<uint8_t>(out[x / 8] | 0x80 >> (x % 8));
  }
}
