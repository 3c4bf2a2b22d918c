#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/wide_char.h"

// UTF-16 to UTF-8, for texts that leave the driver as bytes (job names).

// The bytes the units from begin to end take in UTF-8, each unit counted on
// its own: 1 below 0x80, 3 from 0x800, else 2. A surrogate pair therefore
// counts 6, two more than it encodes to; callers size buffers with it.
uint16_t Utf8LengthOfUtf16(const WideChar* begin, const WideChar* end);

// What EncodeUtf8 answers.
enum class GUtf8Result : int32_t {
  kDone = 0,
  kTargetFull = 2,
  kIllegalSource = 3,
};

// Encodes source into target, stopping after a zero unit (whose zero byte
// is written). A high surrogate followed by a low one is one code point; a
// high surrogate followed by anything else and a lone low surrogate are
// kIllegalSource when strict and encoded as they stand otherwise; a high
// surrogate that ends the source is encoded as it stands. A code point that
// does not fit in what is left of target answers kTargetFull. The bytes
// written before any answer stay in target; written counts them.
GUtf8Result EncodeUtf8(std::span<const WideChar> source, std::span<uint8_t> target, bool strict, size_t& written);
