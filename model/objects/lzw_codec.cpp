#include "model/objects/lzw_codec.h"

#include <new>
#include <string>

#include "model/objects/bit_stream.h"

namespace {

constexpr uint32_t kEndCode = 256;
constexpr uint32_t kWidenCode = 257;
constexpr uint32_t kResetCode = 258;
constexpr uint32_t kFirstStringCode = 259;
// The encoder resets once the next code would pass this one, so no code
// needs more than kMaxWidth bits.
constexpr uint32_t kLastCode = 0x7FFF;
constexpr uint32_t kFirstWidth = 9;
constexpr uint32_t kMaxWidth = 15;
constexpr int32_t kEmpty = -1;

bool Put(GByteChannel& output, uint8_t byte) {
  return output.sputc(static_cast<char>(byte)) != std::char_traits<char>::eof();
}

}  // namespace

GLzwCodec::GLzwCodec() : stack_(new uint8_t[kTableSize]()) {}

GLzwCodec::~GLzwCodec() = default;

bool GLzwCodec::AllocateTable() {
  if (!table_) table_.reset(new (std::nothrow) Entry[kTableSize]());
  return table_ != nullptr;
}

void GLzwCodec::ResetDictionary() {
  for (uint32_t n = 0; n < kTableSize; ++n) table_[n].code = kEmpty;
  nextCode_ = kFirstStringCode;
  codeWidth_ = kFirstWidth;
  widthLimit_ = (1u << kFirstWidth) - 1;
}

// Defined before its one caller so that it is inlined into the encoder's
// loop.
inline uint32_t GLzwCodec::Find(uint32_t prefix, uint8_t c) const {
  const uint32_t key = prefix << 8 | c;
  uint32_t index = (uint32_t{c} << 7) ^ prefix;
  const uint32_t step = index == 0 ? 1 : kTableSize - index;
  for (;;) {
    const Entry& entry = table_[index];
    if (entry.code == kEmpty || entry.key == key) return index;
    index = step > index ? index + kTableSize - step : index - step;
  }
}

bool GLzwCodec::AddString(GBitStream& bits, uint32_t slot, uint32_t prefix, uint8_t c) {
  table_[slot] = Entry{static_cast<int32_t>(nextCode_), prefix << 8 | c};
  ++nextCode_;
  bits.WriteBits(prefix, codeWidth_);
  if (nextCode_ > kLastCode) {
    bits.WriteBits(kResetCode, codeWidth_);
    ResetDictionary();
  } else if (nextCode_ > widthLimit_) {
    bits.WriteBits(kWidenCode, codeWidth_);
    ++codeWidth_;
    widthLimit_ = widthLimit_ * 2 + 1;
  }
  return bits.IsGood();
}

bool GLzwCodec::Encode(GByteChannel& input, GByteChannel& output) {
  if (!AllocateTable()) return false;
  ResetDictionary();
  GBitStream bits;
  bits.OpenForWriting(output);
  const int first = input.sbumpc();
  uint32_t prefix = first == std::char_traits<char>::eof() ? kEndCode : static_cast<uint8_t>(first);
  for (int next = input.sbumpc(); next != std::char_traits<char>::eof(); next = input.sbumpc()) {
    const auto c = static_cast<uint8_t>(next);
    const uint32_t slot = Find(prefix, c);
    if (table_[slot].code != kEmpty) {
      prefix = static_cast<uint32_t>(table_[slot].code);
      continue;
    }
    if (!AddString(bits, slot, prefix, c)) {
      bits.Close();
      return false;
    }
    prefix = c;
  }
  bits.WriteBits(prefix, codeWidth_);
  bits.WriteBits(kEndCode, codeWidth_);
  return bits.Close();
}

bool GLzwCodec::DecodeFirstCode(GBitStream& bits, GByteChannel& output, uint32_t& old, bool& ended) {
  ResetDictionary();
  old = bits.ReadBits(codeWidth_);
  ended = old == kEndCode;
  if (!bits.IsGood() || ended) return bits.IsGood();
  // Only a literal can start the dictionary.
  if (old > 255) return false;
  character_ = static_cast<uint8_t>(old);
  return Put(output, character_);
}

void GLzwCodec::DecodeString(uint32_t code, uint32_t& top) {
  // Every entry's prefix is a smaller code, so the walk ends at a literal
  // within the stack's size.
  while (code > 255) {
    const Entry& entry = table_[code];
    stack_[--top] = static_cast<uint8_t>(entry.key);
    code = entry.key >> 8;
  }
  stack_[--top] = static_cast<uint8_t>(code);
}

bool GLzwCodec::WriteStack(uint32_t top, GByteChannel& output) {
  for (uint32_t k = top; k < kTableSize; ++k) {
    if (!Put(output, stack_[k])) return false;
  }
  return true;
}

bool GLzwCodec::Decode(GByteChannel& input, GByteChannel& output) {
  if (!AllocateTable()) return false;
  GBitStream bits;
  bits.OpenForReading(input);
  uint32_t old = 0;
  bool ended = false;
  if (!DecodeFirstCode(bits, output, old, ended)) return false;
  while (!ended) {
    const uint32_t code = bits.ReadBits(codeWidth_);
    if (!bits.IsGood()) return false;
    if (code == kEndCode) return true;
    if (code == kResetCode) {
      if (!DecodeFirstCode(bits, output, old, ended)) return false;
      continue;
    }
    if (code == kWidenCode) {
      if (codeWidth_ == kMaxWidth) return false;
      ++codeWidth_;
      continue;
    }
    // Only the code about to be made may name a string not yet in the
    // dictionary, and the dictionary holds no code past kLastCode.
    if (code > nextCode_ || nextCode_ > kLastCode) return false;
    uint32_t top = kTableSize;
    if (code == nextCode_) {
      stack_[--top] = character_;
      DecodeString(old, top);
    } else {
      DecodeString(code, top);
    }
    character_ = stack_[top];
    if (!WriteStack(top, output)) return false;
    table_[nextCode_] = Entry{static_cast<int32_t>(nextCode_), old << 8 | character_};
    ++nextCode_;
    old = code;
  }
  return true;
}
