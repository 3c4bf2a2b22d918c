#include "model/tests/compression_test_support.h"

#include <string>

#include "foundation/memory_byte_channel.h"
#include "model/objects/zlib_compressor.h"

namespace compression_test {

namespace {

using Operation = bool (GZlibCompressor::*)(GByteChannel&, GByteChannel&);

bool Run(Operation operation, const Bytes& input, Bytes& output, uint32_t room) {
  GMemoryByteChannel in(input.data(), static_cast<uint32_t>(input.size()));
  output.assign(room, 0);
  GMemoryByteChannel out(output.data(), room, GMemoryByteChannel::kForWriting);
  GZlibCompressor compressor;
  const bool done = (compressor.*operation)(in, out);
  output.resize(out.WrittenSize());
  return done;
}

}  // namespace

Bytes SettingsLikeText(size_t length) {
  Bytes text;
  for (uint32_t k = 0; text.size() < length; ++k) {
    const std::string line = "key " + std::to_string(240 + k % 37) + " value " + std::to_string(k % 5) + "\n";
    text.insert(text.end(), line.begin(), line.end());
  }
  text.resize(length);
  return text;
}

bool Compress(const Bytes& input, Bytes& output) {
  return Run(&GZlibCompressor::Compress, input, output, static_cast<uint32_t>(input.size() + 64));
}

bool Decompress(const Bytes& input, Bytes& output, uint32_t room) {
  return Run(&GZlibCompressor::Decompress, input, output, room);
}

}  // namespace compression_test
