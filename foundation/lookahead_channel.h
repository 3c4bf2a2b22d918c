#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/byte_channel.h"

// Reads a channel that cannot seek (a pipe) through a buffer of its own that
// grows on demand. Its size is unknown until its end is read, so Buffer reads
// ahead, in bounded chunks as the bytes arrive, until the bytes a stored
// count asks for wait to be read or the source ends. A reader learns that a
// count's bytes are really there before it allocates room for them, and an
// absurd count fails at the end of the input rather than at an allocation.
class GLookaheadChannel : public GByteChannel {
 public:
  explicit GLookaheadChannel(GByteChannel& source);

  // True when count bytes wait to be read, reading ahead as far as needed.
  bool Buffer(uint64_t count);

 protected:
  int_type underflow() override;

 private:
  // Appends what arrives of up to count more bytes; answers how many came.
  uint64_t ReadMore(uint64_t count);

  GByteChannel& source_;
  std::vector<char> buffer_;
};

// Whether count bytes are left to read in channel. A channel that can seek
// answers from its size; one that cannot is replaced, in channel, by a
// lookahead channel over it (kept in lookahead), which then reads ahead to
// find out. Later reads go through the replaced channel.
bool ChannelHolds(GByteChannel*& channel, std::unique_ptr<GLookaheadChannel>& lookahead, uint64_t count);
