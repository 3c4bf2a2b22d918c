// Drives the output context's text, number and data writers with values
// and bytes from the input, in every data mode, into a sink that checks
// each block: no block is empty or larger than the buffer, and ASCII85
// and hex data hold only their own characters and short lines.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "postscript/library/pslib_context.h"

namespace {

class CheckingSink : public PSLIBSink {
 public:
  void Write(const uint8_t* bytes, uint32_t count) override {
    if (count > PSLIBContext::kCapacity) std::abort();
    text.append(reinterpret_cast<const char*>(bytes), count);
  }
  std::string text;
};

// Reads the input front to back; past its end everything reads as zero.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t Word() {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word = (word << 8) | Byte();
    return word;
  }
  std::span<const uint8_t> Bytes(size_t count) {
    count = std::min(count, size_ - at_);
    const std::span<const uint8_t> bytes(data_ + at_, count);
    at_ += count;
    return bytes;
  }
  bool Done() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

float AsFloat(uint32_t word) {
  float value = 0;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

// A data block in ASCII85 mode decodes only to its own alphabet, "z",
// line ends and the brackets.
void CheckASCII85(const std::string& text) {
  for (const char c : text) {
    if ((c < '!' || c > 'u') && c != 'z' && c != '\r' && c != '\n' && c != '<' && c != '~' && c != '>') std::abort();
  }
}

GFuzzSeeds Seeds() {
  // A real, an integer and data in ASCII85 mode; a NaN, hex and data in
  // binary mode.
  return {std::string("\x02\x00\x3F\x80\x00\x00\x02\x00\x00\x00\x05\x03\x05\x00\x00\x00\x00\x01\x01z", 20),
          std::string("\x01\x01\x7F\xC0\x00\x00\x04\x03\x04\x05\x1B\x03\x02\x01\x11\x01\x13", 17)};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  CheckingSink sink;
  PSLIBContext context(&sink);
  const uint8_t mode = input.Byte();
  context.SetBinaryMode((mode & 1) != 0 && (mode & 2) == 0);
  context.SetASCII85((mode & 2) != 0);
  while (!input.Done()) {
    switch (input.Byte() % 6) {
      case 0:
        context.EmitReal(AsFloat(input.Word()));
        break;
      case 1:
        context.EmitOperandReal(AsFloat(input.Word()));
        break;
      case 2:
        context.EmitInt(static_cast<int32_t>(input.Word()));
        break;
      case 3: {
        const size_t before = sink.text.size() + context.UsedBytes();
        context.BeginData(true);
        context.WriteData(input.Bytes(input.Byte()));
        context.WriteData(input.Bytes(input.Byte()));
        context.EndData(PSLIBContext::kRunLength, true);
        context.Flush();
        if (context.IsASCII85Mode()) CheckASCII85(sink.text.substr(before));
        break;
      }
      case 4:
        context.WriteHexContinued(input.Bytes(input.Byte()));
        break;
      default: {
        const std::span<const uint8_t> text = input.Bytes(input.Byte() * 64U);
        context.WriteText(std::string(text.begin(), text.end()));
        break;
      }
    }
  }
  context.Flush();
  return 0;
}
