#include "graphics/bitmaps/run_length_decoder.h"

namespace {

// Where the next pixel goes, as a pixel count from the start of the image,
// and what writing one there means.
class PixelWriter {
 public:
  PixelWriter(std::vector<uint8_t>& rows, uint8_t bitsPerPixel, uint32_t width, uint32_t stride)
      : rows_(rows), bitsPerPixel_(bitsPerPixel), width_(width), stride_(stride) {}

  void Put(uint8_t value) {
    const uint64_t row = position_ / width_;
    const uint64_t column = position_ % width_;
    ++position_;
    const uint64_t offset = row * stride_ + (bitsPerPixel_ == 8 ? column : column / 2);
    if (offset >= rows_.size()) return;
    if (bitsPerPixel_ == 8) {
      rows_[offset] = value;
    } else if (column % 2 == 0) {
      rows_[offset] = static_cast<uint8_t>((rows_[offset] & 0x0F) | (value << 4));
    } else {
      rows_[offset] = static_cast<uint8_t>((rows_[offset] & 0xF0) | (value & 0x0F));
    }
  }
  void EndRow() {
    if (position_ % width_ != 0) position_ += width_ - position_ % width_;
  }
  void Move(uint8_t dx, uint8_t dy) { position_ += uint64_t{dy} * width_ + dx; }
  // True once no pixel can land in the block any more.
  bool Past() const { return position_ / width_ * stride_ >= rows_.size(); }

 private:
  std::vector<uint8_t>& rows_;
  uint8_t bitsPerPixel_;
  uint64_t width_;
  uint64_t stride_;
  uint64_t position_ = 0;
};

// The pixel of a 4-bit run or literal byte at an even (high nibble) or odd
// (low nibble) place.
uint8_t NibbleOf(uint8_t byte, uint32_t place) {
  return place % 2 == 0 ? static_cast<uint8_t>(byte >> 4) : static_cast<uint8_t>(byte & 0x0F);
}

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
      for (uint32_t i = 0; i < count; ++i) writer.Put(bitsPerPixel == 8 ? value : NibbleOf(value, i));
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
      const uint8_t* literal = input.data() + at;
      for (uint32_t i = 0; i < value; ++i) writer.Put(bitsPerPixel == 8 ? literal[i] : NibbleOf(literal[i / 2], i));
      at += bytes + bytes % 2;
    }
  }
  return rows;
}
