#include "foundation/byte_channel.h"

#include <algorithm>
#include <ios>

namespace {

// std::streambuf's defaults already refuse every transfer.
class NullChannel : public std::streambuf {};

}  // namespace

GByteChannel& NullByteChannel() {
  static NullChannel channel;
  return channel;
}

bool WriteBytes(GByteChannel& channel, const void* data, size_t count) {
  const char* bytes = static_cast<const char*>(data);
  size_t written = static_cast<size_t>(channel.sputn(bytes, static_cast<std::streamsize>(count)));
  while (written < count) {
    channel.pubsync();
    const std::streamsize more = channel.sputn(bytes + written, static_cast<std::streamsize>(count - written));
    if (more <= 0) return false;
    written += static_cast<size_t>(more);
  }
  return true;
}

size_t ReadBytes(GByteChannel& channel, void* data, size_t count) {
  char* bytes = static_cast<char*>(data);
  size_t read = 0;
  while (read < count) {
    const std::streamsize more = channel.sgetn(bytes + read, static_cast<std::streamsize>(count - read));
    if (more <= 0) break;
    read += static_cast<size_t>(more);
  }
  return read;
}

uint64_t SkipBytes(GByteChannel& channel, uint64_t count) {
  char block[512];
  uint64_t skipped = 0;
  while (skipped < count) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count - skipped, sizeof block));
    const size_t got = ReadBytes(channel, block, want);
    skipped += got;
    if (got < want) break;
  }
  return skipped;
}

std::optional<uint64_t> SeekableRemainingBytes(GByteChannel& channel) {
  const std::streampos here = channel.pubseekoff(0, std::ios::cur, std::ios::in);
  if (here == std::streampos(-1)) return std::nullopt;
  const std::streampos end = channel.pubseekoff(0, std::ios::end, std::ios::in);
  channel.pubseekpos(here, std::ios::in);
  if (end == std::streampos(-1)) return std::nullopt;
  return end >= here ? static_cast<uint64_t>(end - here) : 0;
}
