// Restores object graphs from arbitrary bytes through the binary file and the
// binary, byte-swapping and text streams, into a variable or in place.
// Input: one byte choosing the form (low 3 bits) and the in-place target
// (bits 3 and 4), then the stored bytes. Every class the library registers
// can be met, as can the test classes that nest, share and cycle. The seeds
// are graphs of those classes and of collections as each form saves them.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/collectable_association.h"
#include "foundation/fuzz/owned_members.h"
#include "foundation/rw/rwstore.h"
#include "foundation/rw_btree_dictionary.h"
#include "foundation/slist_collectables.h"
#include "foundation/testing/fuzz_seeds.h"
#include "foundation/testing/persistence_test_support.h"
#include "foundation/testing/test_collectables.h"

namespace {

constexpr StoreForm kForms[] = {StoreForm::kFile, StoreForm::kBinary, StoreForm::kEndianLittle, StoreForm::kText};

// Errors are the expected answer to bad input; the process goes on.
// Deletes every object the restore made, each once. The table lists them
// all and itself deletes those the restore discarded; a B-tree dictionary
// owns the associations it holds, which go with it, and no other class of
// the library owns the objects it refers to.
void DeleteMadeObjects(const GReadTable& table, const RWCollectable* target) {
  std::set<RWCollectable*> made;
  for (uint32_t index = 1; index < table.Count(); ++index) {
    RWCollectable* object = nullptr;
    if (table.ObjectAt(index, object) && object != target) made.insert(object);
  }
  LeaveOutOwnedMembers(made);
  for (RWCollectable* object : made) {
    if (!table.Discards(object)) delete object;
  }
}

// The graphs, each with the in-place target it fits (0 for none): the
// objects live until the process ends, as seeds are written only once.
GFuzzSeeds Seeds() {
  auto* leaf = new TestLeaf(7);
  auto* shared = new TestPair(leaf, leaf);
  auto* cycle = new TestPair(new TestNamedLeaf(3));
  cycle->second = cycle;
  auto* list = new RWSlistCollectables;
  list->Insert(shared);
  list->Insert(new TestNamedLeaf(4));
  auto* dictionary = new RWBTreeDictionary;
  dictionary->Insert(new RWCollectableAssociation(new TestLeaf(1), new TestPair));
  const std::pair<const RWCollectable*, uint8_t> graphs[] = {{leaf, 2 << 3}, {shared, 3 << 3}, {cycle, 0},
                                                             {list, 0},      {dictionary, 0},  {nullptr, 0}};
  GFuzzSeeds seeds;
  for (uint8_t form = 0; form < 4; ++form) {
    for (const auto& [graph, target] : graphs) {
      seeds.push_back(static_cast<char>(form | target) + SaveGraph(kForms[form], graph));
    }
  }
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
    RestoreCollectable(form, bytes, good);
  } else {
    RestoreCollectableInPlace(form, bytes, target, good);
  }
  DeleteMadeObjects(table.Get(), target);
  return 0;
}
