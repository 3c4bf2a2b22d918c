#include "graphics/testing/pcl_row_decoders.h"

std::optional<std::vector<uint8_t>> UnpackBits(std::span<const uint8_t> packed) {
  std::vector<uint8_t> row;
  size_t i = 0;
  while (i < packed.size()) {
    const int count = static_cast<int8_t>(packed[i++]);
    if (count >= 0) {
      if (packed.size() - i < static_cast<size_t>(count) + 1) return std::nullopt;
      row.insert(row.end(), packed.begin() + i, packed.begin() + i + count + 1);
      i += count + 1;
    } else if (count != -128) {
      if (i >= packed.size()) return std::nullopt;
      row.insert(row.end(), static_cast<size_t>(1 - count), packed[i++]);
    }
  }
  return row;
}

bool ApplyDeltaRow(std::span<const uint8_t> packed, std::vector<uint8_t>& seed) {
  size_t position = 0;
  size_t i = 0;
  while (i < packed.size()) {
    const size_t replace = (packed[i] >> 5) + 1;
    size_t offset = packed[i++] & 0x1F;
    if (offset == 31) {
      uint8_t more = 255;
      while (more == 255) {
        if (i >= packed.size()) return false;
        more = packed[i++];
        offset += more;
      }
    }
    position += offset;
    if (packed.size() - i < replace || position + replace > seed.size()) return false;
    for (size_t k = 0; k < replace; ++k) seed[position++] = packed[i++];
  }
  return true;
}

std::optional<std::vector<std::vector<uint8_t>>> DecodeAdaptiveBlocks(std::span<const uint8_t> stream, size_t width) {
  std::vector<std::vector<uint8_t>> rows;
  std::vector<uint8_t> seed(width, 0);
  size_t i = 0;
  while (i < stream.size()) {
    if (stream.size() - i < 3) return std::nullopt;
    const uint8_t command = stream[i];
    const size_t count = (size_t{stream[i + 1]} << 8) | stream[i + 2];
    i += 3;
    if (command == 5) {
      rows.insert(rows.end(), count, seed);
      continue;
    }
    if (stream.size() - i < count) return std::nullopt;
    const std::span<const uint8_t> data = stream.subspan(i, count);
    i += count;
    if (command == 3) {
      if (!ApplyDeltaRow(data, seed)) return std::nullopt;
    } else if (command == 0 || command == 2) {
      std::optional<std::vector<uint8_t>> row =
          command == 0 ? std::vector<uint8_t>(data.begin(), data.end()) : UnpackBits(data);
      if (!row || row->size() > width) return std::nullopt;
      row->resize(width, 0);
      seed = *row;
    } else {
      return std::nullopt;
    }
    rows.push_back(seed);
  }
  return rows;
}
