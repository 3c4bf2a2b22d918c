#include "foundation/lookahead_channel.h"

#include <algorithm>

namespace {

// Bytes read from the source at a time; room is made for no more than this
// beyond what has arrived.
constexpr uint64_t kChunk = 64 * 1024;

}  // namespace

GLookaheadChannel::GLookaheadChannel(GByteChannel& source) : source_(source) {}

bool GLookaheadChannel::Buffer(uint64_t count) {
  const uint64_t waiting = static_cast<uint64_t>(egptr() - gptr());
  if (waiting >= count) return true;
  return ReadMore(count - waiting) >= count - waiting;
}

GLookaheadChannel::int_type GLookaheadChannel::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  return ReadMore(kChunk) != 0 ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

uint64_t GLookaheadChannel::ReadMore(uint64_t count) {
  // What was read already goes; what waits moves to the front.
  buffer_.erase(buffer_.begin(), buffer_.begin() + (gptr() - eback()));
  uint64_t arrived = 0;
  while (arrived < count) {
    const size_t have = buffer_.size();
    const size_t want = static_cast<size_t>(std::min(count - arrived, kChunk));
    buffer_.resize(have + want);
    const size_t got = ReadBytes(source_, buffer_.data() + have, want);
    buffer_.resize(have + got);
    arrived += got;
    if (got < want) break;
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
  return arrived;
}

bool ChannelHolds(GByteChannel*& channel, std::unique_ptr<GLookaheadChannel>& lookahead, uint64_t count) {
  if (lookahead == nullptr) {
    const std::optional<uint64_t> left = SeekableRemainingBytes(*channel);
    if (left.has_value()) return count <= *left;
    lookahead = std::make_unique<GLookaheadChannel>(*channel);
    channel = lookahead.get();
  }
  return lookahead->Buffer(count);
}
