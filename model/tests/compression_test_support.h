#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Byte-vector helpers for the tests of the compressors.
namespace compression_test {

using Bytes = std::vector<uint8_t>;

// Text of the given length that compresses well, as stored settings do.
Bytes SettingsLikeText(size_t length);

// GZlibCompressor over memory channels; the output gets ample room, or the
// room given, and holds what was written afterwards.
bool Compress(const Bytes& input, Bytes& output);
bool Decompress(const Bytes& input, Bytes& output, uint32_t room = 1u << 16);

}  // namespace compression_test
