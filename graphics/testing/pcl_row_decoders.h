#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Decoders of the printer's row compression formats, written from the format
// descriptions for checking the encoders. Each answers nothing for input that
// is malformed or does not fit the row width.

// TIFF PackBits: count byte n 0..127 takes n + 1 literal bytes, n -1..-127
// repeats the next byte 1 - n times, -128 is skipped.
std::optional<std::vector<uint8_t>> UnpackBits(std::span<const uint8_t> packed);

// Delta row: applies the commands of one row to seed, which becomes the row.
// Each command byte holds the number of bytes to replace minus 1 in its top 3
// bits and the offset from the current position in its low 5; an offset of 31
// continues in further bytes, each added, until one below 255.
bool ApplyDeltaRow(std::span<const uint8_t> packed, std::vector<uint8_t>& seed);

// Adaptive blocks: a command byte, a 2-byte count (high byte first), data.
// 0: count unpacked bytes; 2: count bytes of PackBits; 3: count bytes of delta
// row against the previous row; 5: the previous row count more times. Rows
// shorter than width are filled with zeros. Answers every row in order,
// starting from a seed of zeros.
std::optional<std::vector<std::vector<uint8_t>>> DecodeAdaptiveBlocks(std::span<const uint8_t> stream, size_t width);
