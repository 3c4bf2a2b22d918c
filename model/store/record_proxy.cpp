#include "model/store/record_proxy.h"

#include "foundation/binary_file.h"
#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "foundation/virtual_stream.h"
#include "model/objects/persistent_object.h"
#include "model/objects/reference_reader.h"
#include "model/store/persistent_composite_on_disk_imp.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRecordProxy>, kGRecordProxyClassID, kGRecordProxyClassName);

GObjectRef CloneOf(const MPersistentObject* object) {
  return GObjectRef(object != nullptr ? object->CloneObject() : nullptr);
}

}  // namespace

GRecordProxy::GRecordProxy(const MPersistentObject& object) : GRecord(object), held_(CloneOf(&object)) {}

GRecordProxy::GRecordProxy(const GRecordProxy& other) : GRecord(other), held_(CloneOf(other.held_.Get())) {}

uint32_t GRecordProxy::StoredSize() const { return GRecord::StoredSize() + 4 + ObjectStoreSize(held_.Get()); }

void GRecordProxy::SaveContentsToFile(GBinaryFile& file) const {
  GRecord::SaveContentsToFile(file);
  file.Write(kFormatVersion);
  WriteObjectToFile(held_.Get(), file);
}

void GRecordProxy::SaveContentsToStream(GVirtualOutStream& stream) const {
  GRecord::SaveContentsToStream(stream);
  stream.PutULong(kFormatVersion);
  WriteObjectToStream(held_.Get(), stream);
}

void GRecordProxy::RestoreContentsFromFile(GBinaryFile& file) {
  uint32_t version;
  if (RestoreRecord(file) && file.Read(version) && version == kFormatVersion) RestoreHeld(file);
}

void GRecordProxy::RestoreContentsFromStream(GVirtualInStream& stream) {
  uint32_t version;
  if (RestoreRecord(stream) && stream.GetULong(version).IsGood() && version == kFormatVersion) {
    RestoreHeld(stream);
  }
}

// The held object is a model object, read under the model's rules of
// ownership; anything else leaves the proxy empty.
template <typename Input>
void GRecordProxy::RestoreHeld(Input& input) {
  held_ = nullptr;
  const GReferenceReader reader(nullptr);
  GObjectRef read;
  if (reader.Read(input, read)) held_ = read;
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
