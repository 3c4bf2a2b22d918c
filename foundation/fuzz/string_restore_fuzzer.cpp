// Restores narrow and wide strings from arbitrary bytes through the binary,
// byte-swapping and text readers. Input: one byte choosing the reader and the
// order of narrow and wide restores, then the stream's own bytes. The seeds
// are strings as each writer saves them, in the order the byte reads them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "foundation/fuzz/fuzz_readers.h"
#include "foundation/memory_byte_channel.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/testing/fuzz_seeds.h"

namespace {

// A restored string never claims more characters than the input held, and
// keeps its terminator.
template <typename String>
void Check(const String& s, size_t inputSize) {
  if (s.Length() > inputSize || s.Data()[s.Length()] != 0) std::abort();
}

// Whether restore step reads a narrow string, for the control byte.
bool NarrowAt(uint8_t control, uint32_t step) { return ((control >> (2 + step % 6)) & 1) != 0; }

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (uint8_t form = 0; form < 3; ++form) {
    for (const uint8_t order : {0x00, 0xFC, 0x54}) {
      const uint8_t control = static_cast<uint8_t>(form | order);
      seeds.push_back(static_cast<char>(control) + WrittenInFuzzForm(form, [control](GVirtualOutStream& out) {
                        for (uint32_t step = 0; step < 8; ++step) {
                          if (NarrowAt(control, step)) {
                            RWCString(step % 2 == 0 ? "narrow text" : "").SaveTo(out);
                          } else {
                            RWWString(step % 2 == 0 ? "wide text" : "x").SaveTo(out);
                          }
                        }
                      }));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  GMemoryByteChannel channel(data + 1, static_cast<uint32_t>(size - 1));
  std::unique_ptr<GVirtualInStream> in = MakeFuzzReader(control, &channel);
  RWCString narrow;
  RWWString wide;
  for (uint32_t step = 0; step < 8 && in->IsGood(); ++step) {
    if (NarrowAt(control, step)) {
      narrow.RestoreFrom(*in);
      Check(narrow, size);
    } else {
      wide.RestoreFrom(*in);
      Check(wide, size);
    }
  }
  return 0;
}
