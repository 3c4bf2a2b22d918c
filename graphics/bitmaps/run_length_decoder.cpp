#include "graphics/bitmaps/run_length_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

// Where the next pixel goes (a row and a column, so that no pixel costs a
// division) and what writing pixels there means. Runs and literals are laid
// down a row piece at a time: a piece never passes the row's end, and what
// would fall outside the block is dropped.
class PixelWriter {
 public:
  PixelWriter(std::vector<uint8_t>& rows, uint8_t bitsPerPixel, uint32_t width, uint32_t stride)
      : rows_(rows), bitsPerPixel_(bitsPerPixel), width_(width), stride_(stride) {}

  // count pixels; pixel i of them is value (8 bits) or the nibble of value
  // at place i (4 bits: high first).
  void Fill(uint8_t value, uint32_t count) {
    Lay(count, [this, value](uint64_t start, uint32_t column, uint32_t done, uint32_t take) {
      if (bitsPerPixel_ == 8) {
        std::memset(rows_.data() + start + column, value, Clipped(start + column, take));
        return;
      }
      for (uint32_t i = 0; i < take; ++i) PutNibble(start, column + i, NibbleOf(value, done + i));
    });
  }

  // count literal pixels, bytes (8 bits) or nibbles high first (4 bits).
  void Copy(const uint8_t* literal, uint32_t count) {
    Lay(count, [this, literal](uint64_t start, uint32_t column, uint32_t done, uint32_t take) {
      if (bitsPerPixel_ == 8) {
        std::memcpy(rows_.data() + start + column, literal + done, Clipped(start + column, take));
        return;
      }
      for (uint32_t i = 0; i < take; ++i) {
        const uint32_t place = done + i;
        PutNibble(start, column + i, NibbleOf(literal[place / 2], place));
      }
    });
  }

  void EndRow() {
    if (column_ == 0) return;
    ++row_;
    column_ = 0;
  }
  void Move(uint8_t dx, uint8_t dy) {
    row_ += dy + (column_ + dx) / width_;
    column_ = (column_ + dx) % width_;
  }
  // True once no pixel can land in the block any more.
  bool Past() const { return row_ * stride_ >= rows_.size(); }

  // The nibble of a 4-bit run or literal byte at an even (high) or odd
  // (low) place.
  static uint8_t NibbleOf(uint8_t byte, uint32_t place) {
    return place % 2 == 0 ? static_cast<uint8_t>(byte >> 4) : static_cast<uint8_t>(byte & 0x0F);
  }

 private:
  // Hands lay(row start, column, pixels laid before, pixels now) each
  // piece of count pixels that lies in one row and starts in the block.
  template <class LayPiece>
  void Lay(uint32_t count, LayPiece lay) {
    uint32_t done = 0;
    while (done < count && !Past()) {
      const uint32_t take = std::min(count - done, width_ - column_);
      const uint64_t start = row_ * stride_;
      if (bitsPerPixel_ == 4 || start + column_ < rows_.size()) lay(start, column_, done, take);
      done += take;
      column_ += take;
      if (column_ == width_) EndRow();
    }
  }

  // The bytes of a piece of an 8-bit row that lie in the block.
  size_t Clipped(uint64_t offset, uint32_t take) const {
    return static_cast<size_t>(std::min<uint64_t>(take, rows_.size() - offset));
  }

  void PutNibble(uint64_t start, uint32_t column, uint8_t value) {
    const uint64_t offset = start + column / 2;
    if (offset >= rows_.size()) return;
    uint8_t& byte = rows_[offset];
    byte = column % 2 == 0 ? static_cast<uint8_t>((byte & 0x0F) | (value << 4))
                           : static_cast<uint8_t>((byte & 0xF0) | (value & 0x0F));
  }

  std::vector<uint8_t>& rows_;
  uint8_t bitsPerPixel_;
  uint32_t width_;
  uint64_t stride_;
  uint64_t row_ = 0;
  uint32_t column_ = 0;
};

}  // namespace

std::vector<uint8_t> DecodeRunLength(std::span<const uint8_t> input, uint8_t bitsPerPixel, uint32_t width,
                                     uint32_t stride, uint32_t size) {
  std::vector<uint8_t> rows(size, 0);
  if (width == 0 || stride == 0 || (bitsPerPixel != 4 && bitsPerPixel != 8)) return rows;
  PixelWriter writer(rows, bitsPerPixel, width, stride);
  size_t at = 0;
  while (at + 2 <= input.size() && !writer.Past()) {
    const uint8_t count = input[at];
    const uint8_t value = input[at + 1];
    at += 2;
    if (count > 0) {
      writer.Fill(value, count);
      continue;
    }
    if (value == 0) {
      writer.EndRow();
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (at + 2 > input.size()) break;
      writer.Move(input[at], input[at + 1]);
      at += 2;
    } else {
      const size_t bytes = bitsPerPixel == 8 ? value : (value + 1u) / 2;
      if (at + bytes > input.size()) break;
      writer.Copy(input.data() + at, value);
      at += bytes + bytes % 2;
    }
  }
  return rows;
}
