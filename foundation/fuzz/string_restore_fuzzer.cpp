// Restores narrow and wide strings from arbitrary bytes through the binary,
// byte-swapping and text readers. Input: one byte choosing the reader and the
// order of narrow and wide restores, then the stream's own bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "foundation/error.h"
#include "foundation/fuzz/fuzz_readers.h"
#include "foundation/memory_byte_channel.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

namespace {

// A restored string never claims more characters than the input held, and
// keeps its terminator.
template <typename String>
void Check(const String& s, size_t inputSize) {
  if (s.Length() > inputSize || s.Data()[s.Length()] != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  SetErrorHandler([](const GError*) {});
  const uint8_t control = data[0];
  GMemoryByteChannel channel(data + 1, static_cast<uint32_t>(size - 1));
  std::unique_ptr<GVirtualInStream> in = MakeFuzzReader(control, &channel);
  RWCString narrow;
  RWWString wide;
  for (uint32_t step = 0; step < 8 && in->IsGood(); ++step) {
    if ((control >> (2 + step % 6)) & 1) {
      narrow.RestoreFrom(*in);
      Check(narrow, size);
    } else {
      wide.RestoreFrom(*in);
      Check(wide, size);
    }
  }
  return 0;
}
