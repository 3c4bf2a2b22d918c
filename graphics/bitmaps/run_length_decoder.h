#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Expands the run-length layouts of device-independent bitmaps (4 or 8
// bits per pixel) into stored rows of `stride` bytes, `width` pixels each,
// into a zero-filled block of `size` bytes.
//
// A pair (n > 0, value) repeats the value n times (4 bits: the two nibbles
// alternate, high first); (0, 0) ends the row unless the position is at a
// row's start; (0, 1) ends the image; (0, 2, dx, dy) moves dy rows down and
// dx pixels on; (0, n >= 3) is followed by n literal pixels, padded so that
// the next pair starts at an even offset. A row ends after `width` pixels
// and the next pixel goes to the next row. Pixels that fall outside the
// block are dropped and input that ends early ends the image, so neither
// block is ever left.
std::vector<uint8_t> DecodeRunLength(std::span<const uint8_t> input, uint8_t bitsPerPixel, uint32_t width,
                                     uint32_t stride, uint32_t size);
