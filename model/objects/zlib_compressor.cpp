#include "model/objects/zlib_compressor.h"

#include <zlib.h>

#include <ios>
#include <limits>
#include <vector>

namespace {

// The whole of a channel from its start; false when its length cannot be
// found or not every byte arrives.
bool ReadWhole(GByteChannel& input, std::vector<Bytef>& bytes) {
  const std::streamoff length = input.pubseekoff(0, std::ios::end, std::ios::in);
  if (length < 0 || length > std::numeric_limits<uint32_t>::max()) return false;
  if (input.pubseekpos(0, std::ios::in) != std::streampos(0)) return false;
  bytes.resize(static_cast<size_t>(length));
  return ReadBytes(input, bytes.data(), bytes.size()) == bytes.size();
}

// Whether the output can take count bytes from its start: a channel of fixed
// room refuses to move its write position past the room, a file accepts.
// Leaves the write position at the start.
bool HasRoom(GByteChannel& output, uLongf count) {
  const auto end = static_cast<std::streamoff>(count);
  return output.pubseekpos(end, std::ios::out) == std::streampos(end) &&
         output.pubseekpos(0, std::ios::out) == std::streampos(0);
}

}  // namespace

bool GZlibCompressor::Compress(GByteChannel& input, GByteChannel& output) {
  std::vector<Bytef> source;
  if (!ReadWhole(input, source)) return false;
  std::vector<Bytef> destination(source.size());
  uLongf length = destination.size();
  if (compress(destination.data(), &length, source.data(), source.size()) != Z_OK) return false;
  return HasRoom(output, length) && WriteBytes(output, destination.data(), length);
}

bool GZlibCompressor::Decompress(GByteChannel& input, GByteChannel& output) {
  std::vector<Bytef> source;
  if (!ReadWhole(input, source)) return false;
  std::vector<Bytef> destination(kMaxDecompressedSize);
  uLongf length = destination.size();
  if (uncompress(destination.data(), &length, source.data(), source.size()) != Z_OK) return false;
  return WriteBytes(output, destination.data(), length);
}
