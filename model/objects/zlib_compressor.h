#pragma once

#include <cstdint>

#include "foundation/byte_channel.h"

// Whole-stream zlib compression of stored settings: the form of zlib's
// one-call compress (default level, zlib header and checksum) and
// uncompress. Each call reads its input channel from the start to the end,
// streaming it through blocks of a fixed size rather than holding it whole.
class GZlibCompressor {
 public:
  // The most bytes a decompressed stream may have.
  static constexpr uint32_t kMaxDecompressedSize = 16000;

  GZlibCompressor() = default;
  virtual ~GZlibCompressor() = default;

  // Compresses the whole input and writes it at the start of the output;
  // the output's position afterwards is the compressed length. False when
  // the input does not shrink (the compressed form gets no more room than
  // the input's own length) or when the output has less room than the
  // compressed form. A compressed form of up to 16 KB (every settings
  // stream) is then not written at all; a longer one goes out block by
  // block, and a failure leaves the blocks before it with the position back
  // at the start.
  bool Compress(GByteChannel& input, GByteChannel& output);
  // Decompresses the whole input and writes the result at the output's
  // position. False for corrupt or truncated data, for data that
  // decompresses to more than kMaxDecompressedSize bytes, and when the
  // output does not take every byte; what the output then holds is not
  // meaningful.
  bool Decompress(GByteChannel& input, GByteChannel& output);
};
