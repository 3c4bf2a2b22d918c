#include "model/attributes/resource_mapping.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar mappingRegistrar(CreateCollectable<GResourceMapping>, kGResourceMappingClassID,
                                       kGResourceMappingClassName);
const GClassRegistrar listRegistrar(CreateCollectable<GResourceMappingList>, kGResourceMappingListClassID,
                                    kGResourceMappingListClassName);

}  // namespace

// Each field is read only when the one before it was.
void GResourceMapping::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion()) && archive.UInt32(resourceId_) && archive.UInt16(osId_)) {
    archive.Int16(deviceId_);
  }
}

bool GResourceMapping::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* mapping = SameClassAndKey<GResourceMapping>(other);
  return mapping != nullptr && mapping->resourceId_ == resourceId_ && mapping->osId_ == osId_ &&
         mapping->deviceId_ == deviceId_;
}

template <typename Match>
GResourceMapping* GResourceMappingList::Find(const Match& match) {
  auto test = [](const GCountedPtr& element, void* user) {
    const auto* mapping = dynamic_cast<const GResourceMapping*>(element.Get());
    return mapping != nullptr && (*static_cast<const Match*>(user))(*mapping);
  };
  return static_cast<GResourceMapping*>(FindFirstChild(test, const_cast<Match*>(&match)));
}

GResourceMapping* GResourceMappingList::FindByOsId(uint16_t osId) {
  return Find([osId](const GResourceMapping& mapping) { return mapping.OsId() == osId; });
}

GResourceMapping* GResourceMappingList::FindByDeviceId(int16_t deviceId) {
  return Find([deviceId](const GResourceMapping& mapping) { return mapping.DeviceId() == deviceId; });
}

GResourceMapping* GResourceMappingList::FindByResourceId(uint32_t resourceId) {
  return Find([resourceId](const GResourceMapping& mapping) { return mapping.ResourceId() == resourceId; });
}

bool GResourceMappingList::AddIfNew(GResourceMapping* mapping) {
  if (mapping == nullptr || FindByResourceId(mapping->ResourceId()) != nullptr) return false;
  return AddIfNewDeviceId(mapping);
}

bool GResourceMappingList::AddIfNewDeviceId(GResourceMapping* mapping) {
  if (mapping == nullptr || FindByDeviceId(mapping->DeviceId()) != nullptr) return false;
  MPersistentComposite::AddChild(mapping);
  return true;
}

GResourceMapping* GResourceMappingList::Remove(GResourceMapping* found) {
  return found != nullptr ? static_cast<GResourceMapping*>(RemoveChild(found)) : nullptr;
}

GResourceMapping* GResourceMappingList::RemoveByOsId(uint16_t osId) { return Remove(FindByOsId(osId)); }

GResourceMapping* GResourceMappingList::RemoveByDeviceId(int16_t deviceId) { return Remove(FindByDeviceId(deviceId)); }

GResourceMapping* GResourceMappingList::RemoveByResourceId(uint32_t resourceId) {
  return Remove(FindByResourceId(resourceId));
}

MPersistentObject* GResourceMappingList::DeepCopy() const {
  auto* copy = new GResourceMappingList(Key());
  for (const GCountedPtr& child : Children()) {
    if (!child.IsEmpty()) copy->MPersistentComposite::AddChild(child->DeepCopy());
  }
  return copy;
}

void GResourceMappingList::Fields(GFieldArchive& archive) {
  MPersistentComposite::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
