#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Run-length coding of one image row by the graphics library's PackBits
// coder with runs of at most 127 bytes (a repeat run is 1 - count as a
// signed byte and the byte; a literal run is count - 1 and the bytes). A row
// whose length is not a multiple of 4 ends with one more run that adds the 1
// to 3 missing zero bytes.

// The encoded size of the row.
size_t XLMeasureRunLengthRow(std::span<const uint8_t> row);

// Encodes the row into out and answers the encoded size. Answers 0, giving up
// at once, when the encoded size would reach limit (0 means no limit) or
// would not fit out.
size_t XLEncodeRunLengthRow(std::span<const uint8_t> row, std::span<uint8_t> out, size_t limit);
