#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// 16-bit values as a binary file stores them (little-endian), back to back:
// the companion of Words for the fixtures of stored layouts.
inline std::string Shorts(std::initializer_list<uint16_t> values) {
  std::string bytes;
  for (uint16_t value : values) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
  }
  return bytes;
}
