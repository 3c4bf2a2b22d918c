#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

// Bytes written as a list of values, for comparing stored forms.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

// Hex dump, so that a failing comparison shows the bytes.
inline std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

// A channel that hands out a string's bytes a few at a time as they
// "arrive" and cannot seek, as a pipe does.
class PipeChannel : public std::streambuf {
 public:
  explicit PipeChannel(std::string bytes, size_t chunk = 100) : bytes_(std::move(bytes)), chunk_(chunk) {}

 protected:
  int_type underflow() override {
    if (next_ >= bytes_.size()) return traits_type::eof();
    char* start = bytes_.data() + next_;
    next_ += std::min(chunk_, bytes_.size() - next_);
    setg(start, start, bytes_.data() + next_);
    return traits_type::to_int_type(*start);
  }

 private:
  std::string bytes_;
  size_t chunk_;
  size_t next_ = 0;
};

// A channel over a growable string that takes every write.
class StringChannel : public std::stringbuf {
 public:
  StringChannel() : std::stringbuf(std::ios::in | std::ios::out | std::ios::binary) {}
  explicit StringChannel(const std::string& bytes)
      : std::stringbuf(bytes, std::ios::in | std::ios::out | std::ios::binary) {}
};
