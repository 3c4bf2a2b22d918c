#include "model/objects/persistent_association.h"

#include <memory>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar associationRegistrar(CreateCollectable<MPersistentAssociation>, kMPersistentAssociationClassID,
                                           kMPersistentAssociationClassName);
const GClassRegistrar listRegistrar(CreateCollectable<MAssociationList>, kMAssociationListClassID,
                                    kMAssociationListClassName);

// Two missing objects match; otherwise both must be there with the same
// content.
bool SameObjects(const MPersistentObject* a, const MPersistentObject* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return !a->DiffersFrom(*b);
}

MPersistentObject* CloneOrNull(const MPersistentObject* object) {
  return object != nullptr ? object->CloneObject() : nullptr;
}

}  // namespace

MPersistentAssociation::MPersistentAssociation(MPersistentObject* keyObject, MPersistentObject* valueObject,
                                               int32_t key)
    : MPersistentObject(key), keyObject_(keyObject), valueObject_(valueObject) {}

MPersistentAssociation::MPersistentAssociation(const MPersistentAssociation& other)
    : MPersistentObject(), keyObject_(CloneOrNull(other.Key())), valueObject_(CloneOrNull(other.Value())) {}

MPersistentAssociation& MPersistentAssociation::operator=(const MPersistentAssociation& other) {
  if (this == &other) return *this;
  keyObject_ = CloneOrNull(other.Key());
  valueObject_ = CloneOrNull(other.Value());
  return *this;
}

bool MPersistentAssociation::HasKeyObject(const MPersistentObject* keyObject) const {
  return SameObjects(Key(), keyObject);
}

bool MPersistentAssociation::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* association = SameClassAndKey<MPersistentAssociation>(other);
  return association != nullptr && SameObjects(Key(), association->Key()) && SameObjects(Value(), association->Value());
}

void MPersistentAssociation::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.Version(FormatVersion()) && archive.Object(keyObject_)) archive.Object(valueObject_);
}

void MAssociationList::Fields(GFieldArchive& archive) {
  MPersistentComposite::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}

void MAssociationList::AddChild(MPersistentObject* node) {
  if (node != nullptr && node->IsKindOf(kMPersistentAssociationClassID)) {
    Put(static_cast<MPersistentAssociation*>(node));
    return;
  }
  const GObjectRef dropped(node);
}

void MAssociationList::Put(MPersistentAssociation* association) {
  if (association == nullptr) return;
  // Hold the new association while the old one goes: it may own it.
  const GObjectRef held(association);
  delete RemoveChild(*association);
  MPersistentComposite::AddChild(association);
}

MPersistentAssociation* MAssociationList::RemoveChild(const MPersistentAssociation& association) {
  return Remove(association.Key());
}

MPersistentAssociation* MAssociationList::Remove(const MPersistentObject* keyObject) {
  MPersistentAssociation* found = Find(keyObject);
  return found != nullptr ? static_cast<MPersistentAssociation*>(MPersistentComposite::RemoveChild(found)) : nullptr;
}

MPersistentAssociation* MAssociationList::Find(const MPersistentObject* keyObject) {
  return FindByKeyObject(keyObject);
}

MPersistentObject* MAssociationList::FindValue(const MPersistentObject* keyObject) {
  const MPersistentAssociation* association = Find(keyObject);
  return association != nullptr ? association->Value() : nullptr;
}

MPersistentAssociation* MAssociationList::FindByKeyObject(const MPersistentObject* keyObject) {
  return static_cast<MPersistentAssociation*>(
      FindFirstChild(KeyObjectMatches, const_cast<MPersistentObject*>(keyObject)));
}

bool MAssociationList::KeyObjectMatches(const GCountedPtr& element, void* user) {
  const auto* association = dynamic_cast<const MPersistentAssociation*>(element.Get());
  return association != nullptr && association->HasKeyObject(static_cast<const MPersistentObject*>(user));
}
