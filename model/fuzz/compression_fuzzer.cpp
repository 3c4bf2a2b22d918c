// Feeds arbitrary bytes to the LZW decoder and to zlib decompression, and
// checks that each encoder's output decodes to its input.
// Input: one byte choosing the path, then the data. The seeds are what each
// encoder makes of a sample, and the sample itself for the round trips.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/memory_byte_channel.h"
#include "foundation/testing/fuzz_seeds.h"
#include "model/objects/lzw_codec.h"
#include "model/objects/zlib_compressor.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Decoded data is bounded by the output's room, whatever the input claims.
constexpr uint32_t kRoom = 1u << 16;

template <typename Codec>
bool Run(bool (Codec::*operation)(GByteChannel&, GByteChannel&), const uint8_t* data, size_t size, Bytes& output,
         uint32_t room) {
  GMemoryByteChannel in(data, static_cast<uint32_t>(size));
  output.assign(room, 0);
  GMemoryByteChannel out(output.data(), room, GMemoryByteChannel::kForWriting);
  Codec codec;
  const bool done = (codec.*operation)(in, out);
  output.resize(out.WrittenSize());
  return done;
}

template <typename Codec>
void RoundTrip(bool (Codec::*encode)(GByteChannel&, GByteChannel&), bool (Codec::*decode)(GByteChannel&, GByteChannel&),
               const uint8_t* data, size_t size) {
  Bytes encoded;
  if (!Run(encode, data, size, encoded, static_cast<uint32_t>(size * 2 + 16))) return;
  Bytes decoded;
  if (!Run(decode, encoded.data(), encoded.size(), decoded, kRoom)) std::abort();
  if (decoded.size() != size || (size != 0 && std::memcmp(decoded.data(), data, size) != 0)) std::abort();
}

GFuzzSeeds Seeds() {
  std::string sample = "a sample of printer settings, settings, settings";
  for (int i = 0; i < 64; ++i) sample += static_cast<char>(i * 7);
  sample += std::string(300, '\0');
  const auto* bytes = reinterpret_cast<const uint8_t*>(sample.data());
  Bytes lzw;
  Bytes zlib;
  Run(&GLzwCodec::Encode, bytes, sample.size(), lzw, static_cast<uint32_t>(sample.size() * 2 + 16));
  Run(&GZlibCompressor::Compress, bytes, sample.size(), zlib, static_cast<uint32_t>(sample.size() * 2 + 16));
  return {'\0' + std::string(lzw.begin(), lzw.end()), '\1' + std::string(zlib.begin(), zlib.end()), '\2' + sample,
          '\3' + sample};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > kRoom) return 0;
  const uint8_t* body = data + 1;
  const size_t length = size - 1;
  Bytes output;
  switch (data[0] % 4) {
    case 0:
      Run(&GLzwCodec::Decode, body, length, output, kRoom);
      break;
    case 1:
      Run(&GZlibCompressor::Decompress, body, length, output, kRoom);
      break;
    case 2:
      RoundTrip(&GLzwCodec::Encode, &GLzwCodec::Decode, body, length);
      break;
    default:
      if (length <= GZlibCompressor::kMaxDecompressedSize) {
        RoundTrip(&GZlibCompressor::Compress, &GZlibCompressor::Decompress, body, length);
      }
      break;
  }
  return 0;
}
