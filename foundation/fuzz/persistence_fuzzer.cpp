// Restores object graphs from arbitrary bytes through the binary file and the
// binary, byte-swapping and text streams, into a variable or in place.
// Input: one byte choosing the form (low 3 bits) and the in-place target
// (bits 3 and 4), then the stored bytes. Every class the library registers
// can be met, as can the test classes that nest, share and cycle.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/error.h"
#include "foundation/fuzz/owned_members.h"
#include "foundation/rw/rwstore.h"
#include "foundation/testing/persistence_test_support.h"

namespace {

constexpr StoreForm kForms[] = {StoreForm::kFile, StoreForm::kBinary, StoreForm::kEndianLittle, StoreForm::kText};

// Errors are the expected answer to bad input; the process goes on.
void IgnoreError(const GError*) {}

// Deletes every object the restore made, each once. The table lists them
// all; a B-tree dictionary owns the associations it holds, which go with
// it, and no other class of the library owns the objects it refers to.
void DeleteMadeObjects(const GReadTable& table, const RWCollectable* target) {
  std::set<RWCollectable*> made;
  for (uint32_t index = 1; index < table.Count(); ++index) {
    RWCollectable* object = nullptr;
    if (table.ObjectAt(index, object) && object != target) made.insert(object);
  }
  LeaveOutOwnedMembers(made);
  for (RWCollectable* object : made) delete object;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const GErrorHandler previous = SetErrorHandler(IgnoreError);
  (void)previous;
  if (size == 0) return 0;
  const StoreForm form = kForms[(data[0] & 7) % 4];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  // Holding the table across the restore keeps the record of every object
  // made, so that all of them can be freed.
  const GReadTableGuard table;
  TestLeaf leafTarget;
  TestPair pairTarget;
  RWCollectable* const targets[] = {nullptr, nullptr, &leafTarget, &pairTarget};
  RWCollectable* const target = targets[(data[0] >> 3) & 3];
  bool good = false;
  if (target == nullptr) {
    RestoreGraph(form, bytes, good);
  } else {
    RestoreGraphInPlace(form, bytes, target, good);
  }
  DeleteMadeObjects(table.Get(), target);
  return 0;
}
