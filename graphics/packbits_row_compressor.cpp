#include "graphics/packbits_row_compressor.h"

namespace {

// The encoder's states; the current run's count byte stands at output[head].
enum class PackState {
  kStart,        // no run open: the next byte opens a literal
  kOne,          // a literal of one byte
  kLiteral,      // a literal of two or more bytes
  kLiteralPair,  // a literal whose last two bytes are equal
  kRepeat,       // a repeat run
};

constexpr uint8_t kFullLiteral = 127;  // count of a 128-byte literal
constexpr uint8_t kRepeatOfTwo = 255;
constexpr uint8_t kRepeatOfThree = 254;
constexpr uint8_t kFullRepeat = 129;  // count of a 128-byte repeat

}  // namespace

uint32_t PackBits(const uint8_t* input, uint32_t count, uint8_t* output) {
  PackState state = PackState::kStart;
  uint32_t size = 0;
  uint32_t head = 0;
  auto openLiteral = [&](uint8_t b) {
    head = size;
    output[size++] = 0;
    output[size++] = b;
    state = PackState::kOne;
  };
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t b = input[i];
    const bool same = size > 0 && b == output[size - 1];
    switch (state) {
      case PackState::kStart:
        openLiteral(b);
        break;
      case PackState::kOne:
        if (same) {
          output[head] = kRepeatOfTwo;
          state = PackState::kRepeat;
        } else {
          output[head] = 1;
          output[size++] = b;
          state = PackState::kLiteral;
        }
        break;
      case PackState::kLiteral:
        ++output[head];
        output[size++] = b;
        if (same)
          state = PackState::kLiteralPair;
        else if (output[head] == kFullLiteral)
          state = PackState::kStart;
        break;
      case PackState::kLiteralPair:
        if (same) {
          // The pair and b become a repeat of three where the pair stood.
          output[head] -= 2;
          size -= 2;
          head = size;
          output[size++] = kRepeatOfThree;
          output[size++] = b;
          state = PackState::kRepeat;
        } else if (output[head] == kFullLiteral) {
          openLiteral(b);
        } else {
          ++output[head];
          output[size++] = b;
          state = output[head] == kFullLiteral ? PackState::kStart : PackState::kLiteral;
        }
        break;
      case PackState::kRepeat:
        if (same) {
          --output[head];
          if (output[head] == kFullRepeat) state = PackState::kStart;
        } else {
          openLiteral(b);
        }
        break;
    }
  }
  return size;
}

uint32_t PackBitsMaxBytes(uint32_t rowBytes, uint32_t paddingBytes) {
  uint32_t maximum = rowBytes + (rowBytes + 126) / 127;
  if (paddingBytes == 0) return maximum;
  // Padding zeros add at most two bytes to the literal before them and two
  // bytes for each further repeat run of 128. A row of 127 bytes packs into a
  // literal that the first zero fills, so the zeros open a new run: one byte
  // more than the margin of one count byte per 127 covers.
  maximum += 2 + 2 * (paddingBytes / 128);
  if (rowBytes == 127) ++maximum;
  return maximum;
}

GPackBitsRowCompressor::GPackBitsRowCompressor(uint16_t paddingMultiple, int32_t invertFlag)
    : GRowCompressor(paddingMultiple, invertFlag) {}

int32_t GPackBitsRowCompressor::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat,
                                        uint8_t& rows) {
  const int32_t answer = ReadSourceRow(row, length, repeat, rows);
  if (length == 0) return answer;
  length = PackBits(Input(), RowBytes() + PaddingBytes(), buffer);
  return kRowDelivered;
}

int32_t GPackBitsRowCompressor::Open() { return OpenInput(); }

uint32_t GPackBitsRowCompressor::GetMaxRowBytes() const {
  const uint32_t rowBytes = SourceRowBytes();
  return PackBitsMaxBytes(rowBytes, PaddingFor(rowBytes));
}
