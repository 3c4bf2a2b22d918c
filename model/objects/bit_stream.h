#pragma once

#include <cstdint>

#include "foundation/byte_channel.h"

// Packs values into bytes, most significant bit first, and takes them apart
// again. One channel is bound at a time: an input for reading or an output
// for writing. The good flag falls at the first failed transfer (a write the
// output refuses, a read past the end of the input) and stays down, so a
// caller may run a whole sequence and test the flag once.
class GBitStream {
 public:
  GBitStream() = default;
  // Closes the stream when a channel is still bound.
  ~GBitStream();
  GBitStream(const GBitStream&) = delete;
  GBitStream& operator=(const GBitStream&) = delete;

  bool OpenForReading(GByteChannel& input);
  bool OpenForWriting(GByteChannel& output);

  // Sets the next bit of the current byte when bit is nonzero; a full byte
  // goes to the output.
  bool WriteBit(uint32_t bit) { return WriteBits(bit != 0 ? 1 : 0, 1); }
  // The low n (up to 32) bits of value, most significant first; every full
  // byte goes to the output.
  bool WriteBits(uint32_t value, uint32_t n);

  // The next bit (0 once the input has ended).
  uint32_t ReadBit();
  // n bits, the first read being the most significant.
  uint32_t ReadBits(uint32_t n);

  // Writes a partly filled byte with its remaining bits zero, flushes the
  // output and unbinds the channel; answers whether the output took every
  // byte (true when no output was bound).
  bool Close();

  bool IsGood() const { return good_; }

 private:
  void Open(GByteChannel* input, GByteChannel* output);

  GByteChannel* input_ = nullptr;
  GByteChannel* output_ = nullptr;
  // Reading: the bit of the current byte that the next read uses; 0x80 when
  // the next read starts a new byte.
  uint8_t mask_ = 0x80;
  uint8_t byte_ = 0;
  // Writing: the bits not yet written, in the low held_ (0 to 7 between
  // calls) bits.
  uint64_t pending_ = 0;
  uint32_t held_ = 0;
  bool good_ = true;
};
