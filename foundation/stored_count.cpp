#include "foundation/stored_count.h"

#include "foundation/binary_file.h"
#include "foundation/virtual_stream.h"

namespace {

template <typename Input>
bool CheckCount(Input& input, uint32_t count, uint32_t size) {
  if (input.CanHold(count, size)) return true;
  FailInput(input);
  return false;
}

}  // namespace

bool InputIsGood(const GBinaryFile& file) { return !file.AtEnd() && !file.Failed(); }
bool InputIsGood(const GVirtualInStream& stream) { return stream.IsGood(); }

void FailInput(GBinaryFile& file) { file.MarkFailed(); }
void FailInput(GVirtualInStream& stream) { stream.SetState(stream.State() | GStreamStateAdapter::kFail); }

bool InputCanHold(GBinaryFile& file, uint32_t count, uint32_t size) { return CheckCount(file, count, size); }
bool InputCanHold(GVirtualInStream& stream, uint32_t count, uint32_t size) { return CheckCount(stream, count, size); }
