#include "model/objects/counted_ptr.h"

#include "foundation/class_registrar.h"
#include "model/objects/persistent_object.h"

namespace {

const GClassRegistrar registrar(GCountedPtr::Create, kGCountedPtrClassID, kGCountedPtrClassName);

}  // namespace

MPersistentObject* GCountedPtr::CopyPointee() const { return IsEmpty() ? nullptr : Get()->DeepCopy(); }

void GCountedPtr::Fields(GFieldArchive& archive) {
  GObjectRef pointee = ref_;
  if (archive.Object(pointee) && archive.IsRestoring()) ref_ = pointee;
}
