#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

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

// The bytes that write puts through the writer of the same form, for seeds.
template <typename Write>
std::string WrittenInFuzzForm(uint8_t form, Write write) {
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    std::unique_ptr<GVirtualOutStream> out;
    switch (form % 3) {
      case 0:
        out = std::make_unique<GBinaryOutStream>(&channel);
        break;
      case 1:
        out = std::make_unique<GEndianOutStream>(&channel);
        break;
      default:
        out = std::make_unique<GTextOutStream>(&channel);
        break;
    }
    write(*out);
    out->Flush();
  }
  return channel.str();
}
