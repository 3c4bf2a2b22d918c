#include "model/objects/zlib_compressor.h"

#include <zlib.h>

#include <ios>
#include <limits>
#include <memory>

namespace {

// Input and output pass through blocks of this size, whatever the length of
// the stream.
constexpr uInt kBlockBytes = 16384;

// Feeds a zlib stream from an input channel, block by block, from the
// channel's start to its end.
class ChannelFeed {
 public:
  explicit ChannelFeed(GByteChannel& input) : input_(input) {}

  // Moves to the start and finds the length; false when the channel cannot
  // tell it or it does not fit 32 bits.
  bool Open() {
    const std::streamoff length = input_.pubseekoff(0, std::ios::end, std::ios::in);
    if (length < 0 || length > std::numeric_limits<uint32_t>::max()) return false;
    remaining_ = static_cast<uint32_t>(length);
    length_ = remaining_;
    return input_.pubseekpos(0, std::ios::in) == std::streampos(0);
  }

  uint32_t Length() const { return length_; }
  bool AtEnd() const { return remaining_ == 0; }

  // Gives the stream the next block once it has taken the last one; false
  // when the channel delivers fewer bytes than its length promised.
  bool Refill(z_stream& stream) {
    if (stream.avail_in != 0 || remaining_ == 0) return true;
    const uInt wanted = remaining_ < kBlockBytes ? remaining_ : kBlockBytes;
    if (ReadBytes(input_, block_.get(), wanted) != wanted) return false;
    remaining_ -= wanted;
    stream.next_in = block_.get();
    stream.avail_in = wanted;
    return true;
  }

 private:
  GByteChannel& input_;
  std::unique_ptr<Bytef[]> block_ = std::make_unique<Bytef[]>(kBlockBytes);
  uint32_t length_ = 0;
  uint32_t remaining_ = 0;
};

// Whether the output can take count bytes from position at: a channel of
// fixed room refuses to move its write position past the room, a file
// accepts. Leaves the write position at at.
bool HasRoom(GByteChannel& output, uint64_t at, uint64_t count) {
  const auto end = static_cast<std::streamoff>(at + count);
  const auto start = static_cast<std::streamoff>(at);
  return output.pubseekpos(end, std::ios::out) == std::streampos(end) &&
         output.pubseekpos(start, std::ios::out) == std::streampos(start);
}

}  // namespace

bool GZlibCompressor::Compress(GByteChannel& input, GByteChannel& output) {
  ChannelFeed feed(input);
  if (!feed.Open()) return false;
  z_stream stream{};
  if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
  const std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, deflateEnd);
  const auto block = std::make_unique<Bytef[]>(kBlockBytes);
  // The compressed form gets no more room than the input's own length. It
  // stays in the block until the block is full or the stream ends, so a form
  // of one block is written whole or not at all.
  uint64_t written = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    stream.next_out = block.get();
    stream.avail_out = kBlockBytes;
    while (stream.avail_out != 0 && status != Z_STREAM_END) {
      if (!feed.Refill(stream)) return false;
      status = deflate(&stream, feed.AtEnd() ? Z_FINISH : Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END) return false;
    }
    const uInt count = kBlockBytes - stream.avail_out;
    if (written + count > feed.Length() || !HasRoom(output, written, count) ||
        !WriteBytes(output, block.get(), count)) {
      if (written > 0) output.pubseekpos(0, std::ios::out);
      return false;
    }
    written += count;
  }
  return true;
}

bool GZlibCompressor::Decompress(GByteChannel& input, GByteChannel& output) {
  ChannelFeed feed(input);
  if (!feed.Open()) return false;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  const std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, inflateEnd);
  const auto decompressed = std::make_unique<Bytef[]>(kMaxDecompressedSize);
  stream.next_out = decompressed.get();
  stream.avail_out = kMaxDecompressedSize;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (!feed.Refill(stream)) return false;
    // The stream has input unless the channel has ended, so no progress
    // (Z_BUF_ERROR) means truncated data or data past the limit.
    status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) return false;
  }
  return WriteBytes(output, decompressed.get(), kMaxDecompressedSize - stream.avail_out);
}
