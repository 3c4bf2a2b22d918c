#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Plain coders that the benchmarks hold the project's coders against: the
// loops one writes first, over one row at a time. Their output is valid for
// the format but need not equal the project's byte for byte.

// PackBits with runs of at most longestRun bytes: a repeat wherever two
// bytes are equal, a literal until three equal bytes follow.
size_t PlainPackBits(const uint8_t* row, size_t count, uint8_t* out, size_t longestRun);

// Delta row against seed, which becomes the row: runs of up to 8 changed
// bytes, each after its offset from the end of the run before.
size_t PlainDeltaRow(const uint8_t* row, uint8_t* seed, size_t count, uint8_t* out);

// One adaptive block (type, length high byte first, data): counts the bytes
// equal to the seed and to their left neighbour in one pass and packs the
// row unpacked, with PlainPackBits or with PlainDeltaRow.
size_t PlainAdaptiveRow(const uint8_t* row, uint8_t* seed, size_t count, bool seedValid, uint8_t* out);

// The rows of an 8-bit page in the run-length layout of device-independent
// bitmaps: a repeat wherever three bytes are equal, literals of at least
// three bytes between, short leftovers as repeats; each row ends with the
// end-of-row pair and the page with the end-of-image pair.
std::vector<uint8_t> PlainRunLength8Encode(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride);

// Its decoder as one writes it first: a column and a row counter, a fill
// for every repeat and a copy for every literal, into a new zero-filled
// block of size bytes.
std::vector<uint8_t> PlainRunLength8Decode(const std::vector<uint8_t>& input, uint32_t width, uint32_t stride,
                                           size_t size);

// An image row as one writes it first: nearest-neighbour scaling of an
// 8-bit row of sourceWidth pixels to width pixels, each compared with the
// threshold of a width x height matrix at its page position (white, a set
// bit, where the level reaches it), packed most significant bit first.
void PlainScaleAndThreshold(const uint8_t* row, uint32_t sourceWidth, uint32_t width, uint32_t y, const uint8_t* matrix,
                            uint32_t matrixWidth, uint32_t matrixHeight, uint8_t* out);
