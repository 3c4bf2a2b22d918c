#pragma once

#include <cstdint>

#include "model/objects/object_ref.h"
#include "model/objects/persistent_composite.h"
#include "model/objects/persistent_object.h"

// A persistent pair of a key object and a value object, which it owns: a
// copy holds clones of both, and both go when the pair goes, is assigned or
// is restored over.
//
// Key() and Value() answer the two objects; the pair's own numeric key, by
// which trees find it, is MPersistentObject::Key().
//
// Stored contents after the base part: version 1, the key object and the
// value object as object references (a missing one as the nil object).
class MPersistentAssociation : public MPersistentObject {
 public:
  MPersistentAssociation() = default;
  // Takes both objects.
  MPersistentAssociation(MPersistentObject* keyObject, MPersistentObject* valueObject, int32_t key);
  // A new base part (key 0, a new serial number) with clones of both
  // objects.
  MPersistentAssociation(const MPersistentAssociation& other);
  // Lets go of both objects and takes clones of the source's; the base part
  // stays as it is.
  MPersistentAssociation& operator=(const MPersistentAssociation& other);

  RWCollectable* NewInstance() const override { return new MPersistentAssociation; }
  RWCollectable* Clone() const override { return new MPersistentAssociation(*this); }
  RWClassID ClassID() const override { return kMPersistentAssociationClassID; }
  // Same class and key, key objects and value objects of the same content.
  bool SameContent(const MPersistentObject& other) const override;

  MPersistentObject* Key() const { return keyObject_.Get(); }
  MPersistentObject* Value() const { return valueObject_.Get(); }

  // Whether the association's key object has the same content as the given
  // object (two missing objects match).
  bool HasKeyObject(const MPersistentObject* keyObject) const;

 protected:
  // Restoring lets go of each object before it reads its replacement.
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef keyObject_;
  GObjectRef valueObject_;
};

// A composite of associations with distinct key objects, found by key
// object. Adding an association whose key object matches one held replaces
// that one.
//
// Stored contents: the composite's, then a version word of its own (1),
// which restore reads without examining it.
class MAssociationList : public MPersistentComposite {
 public:
  MAssociationList() = default;
  explicit MAssociationList(int32_t key) : MPersistentComposite(key) {}
  MAssociationList(const MAssociationList& other) = default;

  RWCollectable* NewInstance() const override { return new MAssociationList; }
  RWCollectable* Clone() const override { return new MAssociationList(*this); }
  RWClassID ClassID() const override { return kMAssociationListClassID; }

  // Associations go through Put; any other node is not taken (and is
  // deleted unless somebody else owns it).
  void AddChild(MPersistentObject* node) override;
  // Replaces a held association with a matching key object (which is
  // deleted), then appends this one.
  void Put(MPersistentAssociation* association);

  using MPersistentComposite::RemoveChild;
  // Takes out the association whose key object matches the given
  // association's; null when none. The caller owns the answer.
  MPersistentAssociation* RemoveChild(const MPersistentAssociation& association);
  // Takes out the association with a matching key object; null when none.
  MPersistentAssociation* Remove(const MPersistentObject* keyObject);
  // The association with a matching key object, or its value object; null
  // when none.
  MPersistentAssociation* Find(const MPersistentObject* keyObject);
  MPersistentObject* FindValue(const MPersistentObject* keyObject);
  MPersistentAssociation* FindByKeyObject(const MPersistentObject* keyObject);

  // The test of FindByKeyObject: user is the key object.
  static bool KeyObjectMatches(const GCountedPtr& element, void* user);

 protected:
  // The composite's part, then this class's version word, read and not
  // examined.
  void Fields(GFieldArchive& archive) override;
};
