// Drives the stream writers with a program taken from the input, once through
// a tiny buffer and once through a large one. Whatever the program, the sink
// must receive the same bytes from both, never more at once than the buffer
// holds, and the streams must end in the same state. Input: a byte giving
// the small buffer's size, then the program, one step byte and its
// arguments at a time. The seeds are programs that write a job as the
// generator does: header, attributes and operators, arrays, embedded data
// and compressed scan lines.
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "pclxl/testing/collecting_sink.h"
#include "pclxl/xl_image_operators.h"
#include "pclxl/xl_values.h"

namespace {

class Program {
 public:
  explicit Program(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Done() const { return at_ >= bytes_.size(); }
  uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  uint32_t Long() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
  std::span<const uint8_t> Block() {
    const size_t length = std::min<size_t>(Byte(), bytes_.size() - at_);
    const std::span<const uint8_t> block = bytes_.subspan(at_, length);
    at_ += length;
    return block;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

void Step(Program& p, XLStream* s) {
  switch (p.Byte() % 16) {
    case 0:
      XLWriteRawByte(s, p.Byte());
      break;
    case 1:
      XLWriteRawUInt16BigEndian(s, p.Word());
      break;
    case 2:
      XLWriteRawUInt32(s, p.Long());
      break;
    case 3:
      XLWriteRawBytes(s, p.Block());
      break;
    case 4:
      XLWriteUInt16(s, p.Word());
      break;
    case 5:
      XLWriteReal32(s, static_cast<float>(p.Long()));
      break;
    case 6:
      XLWriteBox(s, XLBox<int32_t>{static_cast<int32_t>(p.Long()), 1, 2, 3});
      break;
    case 7:
      XLWriteUByteArray(s, p.Block());
      break;
    case 8: {
      const std::span<const uint8_t> block = p.Block();
      std::vector<uint32_t> values(block.begin(), block.end());
      XLWriteUInt32Array(s, values);
      break;
    }
    case 9:
      XLWriteAttribute(s, p.Byte());
      break;
    case 10:
      XLWriteOperator(s, p.Byte());
      break;
    case 11:
      XLWriteEmbeddedLength(s, p.Word());
      break;
    case 12:
      XLWriteEmbeddedData(s, p.Block());
      break;
    case 13:
      XLWriteStreamHeader(s, p.Byte(), p.Byte(), "c");
      break;
    case 14: {
      std::vector<XLPair<uint16_t>> pairs(p.Byte() % 8);
      for (XLPair<uint16_t>& pair : pairs) pair = {p.Byte(), p.Word()};
      XLScanLineRelCompact(s, static_cast<int16_t>(p.Word()), 0, pairs);
      break;
    }
    default:
      XLFlush(s);
      break;
  }
}

void Run(std::span<const uint8_t> program, SinkStream& stream) {
  Program p(program);
  while (!p.Done()) Step(p, stream);
}

GFuzzSeeds Seeds() {
  const std::string header = {13, 2, 1};
  const std::string session = {4, 0x58, 0x02, 4, 0x58, 0x02, 9, 0x48, 10, 0x41};
  const std::string page = {7, 3, 'A', '4', 0, 9, 0x25, 10, 0x43, 6, 1, 0, 0, 0, 9, 0x42, 10, 0x4C};
  const std::string image = {11, 8, 0, 12, 4, 1, 2, 3, 4, 8, 3, 1, 2, 3, 14, 2, 1, 2, 0, 3, 4, 0, 0, 0};
  const std::string end = {10, 0x44, 10, 0x42, 15};
  const std::string raw = {0, 0x1B, 1, 0x12, 0x34, 2, 1, 2, 3, 4, 3, 2, 'h', 'i', 5, 0, 0, 0x40, 0x3F};
  return {'\x03' + header + session + page + end, '\x27' + header + session + image + end, '\x00' + raw + end};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t bufferSize = 1 + data[0] % 40;
  const std::span<const uint8_t> program(data + 1, size - 1);
  SinkStream small(bufferSize);
  SinkStream large(1 << 16);
  Run(program, small);
  Run(program, large);
  if (small->total != large->total || small->error != large->error) std::abort();
  if (small.Output() != large.Output()) std::abort();
  for (int32_t count : small.sink().counts) {
    if (count < 0 || count > bufferSize) std::abort();
  }
  return 0;
}
