#include "model/objects/bit_stream.h"

#include <string>

GBitStream::~GBitStream() { Close(); }

void GBitStream::Open(GByteChannel* input, GByteChannel* output) {
  input_ = input;
  output_ = output;
  mask_ = 0x80;
  byte_ = 0;
  pending_ = 0;
  held_ = 0;
  good_ = true;
}

bool GBitStream::OpenForReading(GByteChannel& input) {
  Open(&input, nullptr);
  return good_;
}

bool GBitStream::OpenForWriting(GByteChannel& output) {
  Open(nullptr, &output);
  return good_;
}

bool GBitStream::WriteBits(uint32_t value, uint32_t n) {
  if (n == 0) return good_;
  if (output_ == nullptr || !good_) return good_ = false;
  pending_ = pending_ << n | (value & (~uint64_t{0} >> (64 - n)));
  held_ += n;
  for (; held_ >= 8; held_ -= 8) {
    if (output_->sputc(static_cast<char>(pending_ >> (held_ - 8))) == std::char_traits<char>::eof()) {
      good_ = false;
      break;
    }
  }
  return good_;
}

uint32_t GBitStream::ReadBit() {
  if (input_ == nullptr || !good_) {
    good_ = false;
    return 0;
  }
  if (mask_ == 0x80) {
    const int next = input_->sbumpc();
    if (next == std::char_traits<char>::eof()) {
      good_ = false;
      return 0;
    }
    byte_ = static_cast<uint8_t>(next);
  }
  const uint32_t bit = (byte_ & mask_) != 0 ? 1 : 0;
  mask_ >>= 1;
  if (mask_ == 0) mask_ = 0x80;
  return bit;
}

uint32_t GBitStream::ReadBits(uint32_t n) {
  uint32_t value = 0;
  for (uint32_t k = 0; k < n && good_; ++k) value = (value << 1) | ReadBit();
  return value;
}

bool GBitStream::Close() {
  if (output_ != nullptr) {
    if (held_ > 0 && good_ &&
        output_->sputc(static_cast<char>(pending_ << (8 - held_))) == std::char_traits<char>::eof()) {
      good_ = false;
    }
    if (output_->pubsync() == -1) good_ = false;
  }
  const bool answer = output_ == nullptr || good_;
  Open(nullptr, nullptr);
  return answer;
}
