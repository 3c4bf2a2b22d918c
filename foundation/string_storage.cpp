#include "foundation/string_storage.h"

#include "foundation/binary_file.h"
#include "foundation/virtual_stream.h"

namespace {

// Restores write count + 1 characters, the terminator included.
constexpr uint32_t kLargestCount = 0xFFFFFFFEu;

}  // namespace

bool HoldsStoredCount(GVirtualInStream& in, uint32_t count, uint32_t elementSize) {
  if (count <= kLargestCount && in.CanHold(count, elementSize)) return true;
  in.SetState(in.State() | GStreamStateAdapter::kEof | GStreamStateAdapter::kFail);
  return false;
}

bool HoldsStoredCount(GBinaryFile& file, uint32_t count, uint32_t elementSize) {
  if (count <= kLargestCount && file.CanHold(count, elementSize)) return true;
  // The file has no other way to carry the fault to its reader's AtEnd and
  // Failed tests: a read at the end sets the end-of-file flag, as reading
  // the missing bytes would have.
  file.SeekToEnd();
  char past;
  file.Read(past);
  return false;
}
