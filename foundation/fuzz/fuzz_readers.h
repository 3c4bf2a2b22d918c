#pragma once

#include <cstdint>
#include <memory>

#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/text_stream.h"

// The reader a fuzz input asks for with one byte: binary, byte-swapping or
// text, over the given channel.
inline std::unique_ptr<GVirtualInStream> MakeFuzzReader(uint8_t form, GByteChannel* channel) {
  switch (form % 3) {
    case 0:
      return std::make_unique<GBinaryInStream>(channel);
    case 1:
      return std::make_unique<GEndianInStream>(channel);
    default:
      return std::make_unique<GTextInStream>(channel);
  }
}
