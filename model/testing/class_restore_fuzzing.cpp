#include "model/testing/class_restore_fuzzing.h"

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>

#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "foundation/rw_factory.h"
#include "foundation/testing/persistence_test_support.h"
#include "model/objects/persistent_object.h"

namespace {

char ClassIndex(std::span<const RWClassID> ids, RWClassID id) {
  for (size_t index = 0; index < ids.size(); ++index) {
    if (ids[index] == id) return static_cast<char>(index);
  }
  std::abort();
}

}  // namespace

GFuzzSeeds ClassRestoreSeeds(std::span<const RWClassID> ids, const std::vector<GObjectRef>& samples) {
  GFuzzSeeds seeds;
  for (const GObjectRef& sample : samples) {
    for (size_t form = 0; form < std::size(kAllStoreForms); ++form) {
      seeds.push_back(std::string{static_cast<char>(form), ClassIndex(ids, sample->ClassID())} +
                      SaveGraph(kAllStoreForms[form], sample.Get()));
    }
  }
  return seeds;
}

void FuzzClassRestore(std::span<const RWClassID> ids, const uint8_t* data, size_t size,
                      void (*prepare)(MPersistentObject&)) {
  if (size < 2) return;
  const StoreForm form = kAllStoreForms[data[0] % std::size(kAllStoreForms)];
  const RWClassID id = ids[data[1] % ids.size()];
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const GObjectRef object(dynamic_cast<MPersistentObject*>(FactoryCreateByID(id)));
  if (!object) std::abort();
  bool good = false;
  RestoreCollectableInPlace(form, bytes, object.Get(), good);
  if (prepare != nullptr) prepare(*object);

  const uint32_t stored = RWCollectable::ObjectStoreSize(object.Get());
  std::stringbuf channel(std::ios::out | std::ios::binary);
  {
    GBinaryOutStream stream(&channel);
    WriteObjectToStream(object.Get(), stream);
  }
  if (stored == 0 || !object->SameContent(*object)) std::abort();
}
