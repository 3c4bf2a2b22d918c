#include "model/store/record_proxy.h"

#include "foundation/class_registrar.h"
#include "model/objects/persistent_object.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRecordProxy>, kGRecordProxyClassID, kGRecordProxyClassName);

GObjectRef CloneOf(const MPersistentObject* object) {
  return GObjectRef(object != nullptr ? object->CloneObject() : nullptr);
}

}  // namespace

GRecordProxy::GRecordProxy(const MPersistentObject& object) : GRecord(object), held_(CloneOf(&object)) {}

GRecordProxy::GRecordProxy(const GRecordProxy& other) : GRecord(other), held_(CloneOf(other.held_.Get())) {}

void GRecordProxy::Fields(GFieldArchive& archive) {
  GRecord::Fields(archive);
  if (archive.Version(kFormatVersion)) archive.Object(held_);
}

GObjectRef GRecordProxy::Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  if (match.Matches(*this)) return store.TakeObject(*this);
  return held_ ? match.TakeFrom(*held_) : GObjectRef();
}

GObjectRef GRecordProxy::Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) {
  if (match.Matches(*this)) return store.FetchObject(*this);
  return held_ ? match.FetchFrom(*held_) : GObjectRef();
}

bool GRecordProxy::Replace(const GRecordMatch& match, const MPersistentObject& object,
                           MPersistentCompositeOnDiskImp& store) {
  if (match.IsSame()) return false;
  if (match.Matches(*this)) return store.ReplaceObject(*this, object);
  return held_ && match.ReplaceIn(*held_, object);
}
