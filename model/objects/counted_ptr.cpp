#include "model/objects/counted_ptr.h"

#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "model/objects/persistent_object.h"
#include "model/objects/reference_reader.h"

namespace {

const GClassRegistrar registrar(GCountedPtr::Create, kGCountedPtrClassID, kGCountedPtrClassName);

template <typename Input>
void RestorePointee(Input& input, GObjectRef& ref) {
  const GReferenceReader reader(nullptr);
  GObjectRef read;
  if (reader.Read(input, read)) ref = read;
}

}  // namespace

MPersistentObject* GCountedPtr::CopyPointee() const { return IsEmpty() ? nullptr : Get()->DeepCopy(); }

uint32_t GCountedPtr::StoredSize() const { return RWCollectable::StoredSize() + ObjectStoreSize(Get()); }

void GCountedPtr::SaveContentsToFile(GBinaryFile& file) const {
  RWCollectable::SaveContentsToFile(file);
  WriteObjectToFile(Get(), file);
}

void GCountedPtr::SaveContentsToStream(GVirtualOutStream& stream) const {
  RWCollectable::SaveContentsToStream(stream);
  WriteObjectToStream(Get(), stream);
}

void GCountedPtr::RestoreContentsFromFile(GBinaryFile& file) {
  RWCollectable::RestoreContentsFromFile(file);
  RestorePointee(file, ref_);
}

void GCountedPtr::RestoreContentsFromStream(GVirtualInStream& stream) {
  RWCollectable::RestoreContentsFromStream(stream);
  RestorePointee(stream, ref_);
}
