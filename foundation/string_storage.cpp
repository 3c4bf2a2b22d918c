#include "foundation/string_storage.h"

#include "foundation/stored_count.h"

namespace {

// Restores write count + 1 characters, the terminator included.
constexpr uint32_t kLargestCount = 0xFFFFFFFEu;

template <typename Input>
bool CheckStringCount(Input& input, uint32_t count, uint32_t elementSize) {
  if (count <= kLargestCount) return InputCanHold(input, count, elementSize);
  FailInput(input);
  return false;
}

}  // namespace

bool HoldsStoredCount(GVirtualInStream& in, uint32_t count, uint32_t elementSize) {
  return CheckStringCount(in, count, elementSize);
}

bool HoldsStoredCount(GBinaryFile& file, uint32_t count, uint32_t elementSize) {
  return CheckStringCount(file, count, elementSize);
}
