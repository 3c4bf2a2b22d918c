// Reads arbitrary bytes through the binary, byte-swapping and text readers.
// Input: one byte choosing the reader, one byte giving the number of
// operation bytes, the operation bytes, then the stream's own bytes. The
// seeds are values as each writer writes them, with the operations that read
// them back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "foundation/fuzz/fuzz_readers.h"
#include "foundation/memory_byte_channel.h"
#include "foundation/testing/fuzz_seeds.h"

namespace {

constexpr uint32_t kBufferSizes[16] = {0, 1, 2, 3, 4, 5, 8, 9, 16, 17, 31, 64, 100, 255, 256, 300};

void CheckTerminated(const char* buffer, uint32_t size) {
  if (size != 0 && std::memchr(buffer, 0, size) == nullptr) std::abort();
}

void Apply(GVirtualInStream& in, uint8_t op) {
  const uint32_t high = op >> 4;
  char c;
  uint8_t uc;
  int16_t s;
  uint16_t us;
  int32_t i;
  uint32_t u;
  float f;
  double d;
  int32_t ints[16];
  double doubles[16];
  uint16_t ushorts[16];
  char text[300];
  switch (op & 0x0F) {
    case 0:
      in.GetChar(c);
      break;
    case 1:
      in.GetUChar(uc);
      break;
    case 2:
      in.GetShort(s);
      break;
    case 3:
      in.GetUShort(us);
      break;
    case 4:
      in.GetInt(i);
      break;
    case 5:
      in.GetUInt(u);
      break;
    case 6:
      in.GetLong(i);
      break;
    case 7:
      in.GetULong(u);
      break;
    case 8:
      in.GetFloat(f);
      break;
    case 9:
      in.GetDouble(d);
      break;
    case 10:
      in.GetString(text, kBufferSizes[high]);
      CheckTerminated(text, kBufferSizes[high]);
      break;
    case 11:
      in.GetInts(ints, high);
      break;
    case 12:
      in.GetDoubles(doubles, high);
      break;
    case 13:
      in.GetUShorts(ushorts, high);
      break;
    case 14:
      in.CanHold(0xFFFFFFFFu >> high, high + 1);
      break;
    default:
      in.SetState(0);
      break;
  }
}

GFuzzSeeds Seeds() {
  // Char, short, int, float, double, a string into 300 bytes, ints and
  // unsigned shorts.
  const std::string ops = {0, 2, 4, 8, 9, static_cast<char>(0xFA), 0x3B, 0x2D};
  GFuzzSeeds seeds;
  for (uint8_t form = 0; form < 3; ++form) {
    const std::string stream = WrittenInFuzzForm(form, [](GVirtualOutStream& out) {
      const int32_t ints[3] = {-1, 0, 0x12345678};
      const uint16_t ushorts[2] = {7, 0xFFFF};
      out.PutChar('q').PutShort(-2).PutInt(123456).PutFloat(1.5f).PutDouble(-2.25);
      out.PutString("text", 4);
      out.PutInts(ints, 3).PutUShorts(ushorts, 2);
    });
    seeds.push_back(std::string{static_cast<char>(form), static_cast<char>(ops.size())} + ops + stream);
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t opCount = data[1] < size - 2 ? data[1] : size - 2;
  const uint8_t* ops = data + 2;
  const uint8_t* stream = ops + opCount;
  GMemoryByteChannel channel(stream, static_cast<uint32_t>(data + size - stream));
  std::unique_ptr<GVirtualInStream> in = MakeFuzzReader(data[0], &channel);
  for (size_t k = 0; k < opCount; ++k) Apply(*in, ops[k]);
  // Then read on until the stream stops: every read either consumes input or fails.
  for (int rounds = 0; rounds < 4096 && in->IsGood(); ++rounds) {
    char text[32];
    in->GetString(text, sizeof text);
    CheckTerminated(text, sizeof text);
    int32_t value;
    in->GetInt(value);
  }
  return 0;
}
