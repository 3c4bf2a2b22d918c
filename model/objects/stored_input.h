#pragma once

#include <cstdint>

#include "foundation/binary_file.h"
#include "foundation/virtual_stream.h"

// What restores ask of their input in either form, so that one template
// serves the binary file and the virtual stream.

// Nothing has failed and the end was not reached.
inline bool InputIsGood(GBinaryFile& file) { return !file.AtEnd() && !file.Failed(); }
inline bool InputIsGood(GVirtualInStream& stream) { return stream.IsGood(); }

// Marks the input as failed: a stream's failure bit (a file has no state
// of its own to mark).
inline void FailInput(GBinaryFile&) {}
inline void FailInput(GVirtualInStream& stream) { stream.SetState(stream.State() | GStreamStateAdapter::kFail); }

// A stored count is checked before anything is allocated or looped: true
// when the input left can hold count items of at least size bytes each;
// otherwise the input is marked failed.
template <typename Input>
bool InputCanHold(Input& input, uint32_t count, uint32_t size) {
  if (input.CanHold(count, size)) return true;
  FailInput(input);
  return false;
}
