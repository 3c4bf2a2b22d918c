#pragma once

#include <concepts>

#include "foundation/binary_file.h"
#include "foundation/persistence.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"

// Restore operators typed by the class of the pointer: each reads one object
// reference and stores it in the pointer. Stored data decides the class, so
// an object of an unrelated class is never handed out as this one: the
// pointer is then null and, on a stream, the failure bit is set.

namespace typed_restore {

// True when no restore runs on the calling thread, so that what the next
// restore makes belongs to its caller alone.
bool IsOutermost();

// Restores through restore (input, variable) and answers the object as T, or
// null; mismatch tells whether an object of another class came. Such an
// object that nothing else can hold (it came from an outermost restore) is
// deleted rather than lost; inside an outer restore it may be shared, and is
// left to the graph.
template <typename T, typename Input>
T* Restore(Input& input, RWCollectable* (*restore)(Input&, RWCollectable*&), bool& mismatch) {
  const bool outermost = IsOutermost();
  RWCollectable* restored = nullptr;
  restore(input, restored);
  T* typed = dynamic_cast<T*>(restored);
  mismatch = restored != nullptr && typed == nullptr;
  if (mismatch && outermost) delete restored;
  return typed;
}

}  // namespace typed_restore

template <typename T>
requires std::derived_from<T, RWCollectable> GVirtualInStream& operator>>(GVirtualInStream& stream, T*& object) {
  bool mismatch = false;
  object = typed_restore::Restore<T>(stream, RestoreObjectFromStream, mismatch);
  if (mismatch) stream.SetState(stream.State() | GStreamStateAdapter::kFail);
  return stream;
}

template <typename T>
requires std::derived_from<T, RWCollectable> GBinaryFile& operator>>(GBinaryFile& file, T*& object) {
  bool mismatch = false;
  object = typed_restore::Restore<T>(file, RestoreObjectFromFile, mismatch);
  return file;
}
