#pragma once

#include <cstdint>
#include <memory>

#include "foundation/byte_channel.h"

class GBitStream;

// Variable-width LZW over byte channels. Codes start 9 bits wide and are
// packed most significant bit first:
//   0-255   a literal byte
//   256     end of data
//   257     codes grow by one bit from the next one on
//   258     the dictionary is reset; a literal follows
//   259...  dictionary strings in order of creation
// The encoder resets before any code would need 16 bits, so codes are at
// most 15 bits wide. The decoder takes its input as untrusted: a code that
// names no string yet, a literal expected but not given, a widening past 15
// bits or a dictionary past its size ends the decoding with false.
class GLzwCodec {
 public:
  GLzwCodec();
  ~GLzwCodec();
  GLzwCodec(const GLzwCodec&) = delete;
  GLzwCodec& operator=(const GLzwCodec&) = delete;

  // True when every input byte and the end code were written and the output
  // took every byte.
  bool Encode(GByteChannel& input, GByteChannel& output);
  // True when the end code was reached. A false answer leaves in the output
  // what was decoded until then.
  bool Decode(GByteChannel& input, GByteChannel& output);

 private:
  // The string prefix + character as a code (or an empty entry); the key
  // holds prefix << 8 | character. The encoder finds strings by hashing
  // their key, the decoder by their code.
  struct Entry {
    int32_t code;
    uint32_t key;
  };

  // The number of entries, a prime for the encoder's hash probe.
  static constexpr uint32_t kTableSize = 35023;

  bool AllocateTable();
  void ResetDictionary();
  // Encoder: the slot of the string prefix + c: the entry holding it, or the
  // empty entry where it belongs.
  uint32_t Find(uint32_t prefix, uint8_t c) const;
  // Encoder: records prefix + c in its empty slot under the next code after
  // prefix has been written, and sends the widening or reset code that the
  // new size needs.
  bool AddString(GBitStream& bits, uint32_t slot, uint32_t prefix, uint8_t c);

  // Decoder steps. Each answers false for input it refuses.
  bool DecodeFirstCode(GBitStream& bits, GByteChannel& output, uint32_t& old, bool& ended);
  // Pushes the string of code onto the decode stack below top, last
  // character first.
  void DecodeString(uint32_t code, uint32_t& top);
  bool WriteStack(uint32_t top, GByteChannel& output);

  std::unique_ptr<Entry[]> table_;
  std::unique_ptr<uint8_t[]> stack_;
  // The character the last decoded string began with.
  uint8_t character_ = 0;
  uint32_t nextCode_ = 0;
  uint32_t codeWidth_ = 0;
  uint32_t widthLimit_ = 0;
};
