#pragma once

#include <cstdint>

#include "foundation/rw_collectable.h"
#include "model/objects/class_ids.h"
#include "model/objects/field_archive.h"
#include "model/objects/object_ref.h"

class MPersistentObject;

// A counted reference to a model object that is itself a collectable: the
// element of composites' child vectors. It follows GObjectRef's rules;
// saving it writes the pointee as an object reference (an empty pointer as
// the nil object), restoring it takes the object read and lets go of the
// previous one. The factory knows the class but never makes one: a stored
// counted pointer is restored only as part of its owner.
class GCountedPtr : public GArchivedCollectable {
 public:
  GCountedPtr() = default;
  explicit GCountedPtr(MPersistentObject* object) : ref_(object) {}
  explicit GCountedPtr(GObjectRef ref) : ref_(static_cast<GObjectRef&&>(ref)) {}
  GCountedPtr(const GCountedPtr& other) = default;
  GCountedPtr(GCountedPtr&& other) noexcept = default;
  GCountedPtr& operator=(const GCountedPtr& other) = default;
  GCountedPtr& operator=(GCountedPtr&& other) noexcept = default;
  GCountedPtr& operator=(MPersistentObject* object) {
    ref_ = object;
    return *this;
  }

  MPersistentObject* Get() const { return ref_.Get(); }
  MPersistentObject* operator->() const { return ref_.Get(); }
  bool IsEmpty() const { return ref_.IsEmpty(); }
  const GObjectRef& Ref() const { return ref_; }
  GObjectRef& Ref() { return ref_; }

  // A deep copy of the pointee that belongs to the caller alone; null when
  // empty.
  MPersistentObject* CopyPointee() const;

  // No copies through the collectable interface.
  RWCollectable* NewInstance() const override { return nullptr; }
  RWCollectable* Clone() const override { return nullptr; }
  RWClassID ClassID() const override { return kGCountedPtrClassID; }

  // 773 and the model root's 751.
  bool IsKindOf(RWClassID id) const { return id == kGCountedPtrClassID || id == kMPersistentObjectClassID; }

  // Counted pointers match when they hold the same object.
  friend bool SameElement(const GCountedPtr& a, const GCountedPtr& b) { return a.Get() == b.Get(); }

  // The factory's create function, which makes nothing.
  static RWCollectable* Create() { return nullptr; }

 protected:
  // The pointee as an object reference; a restore that fails keeps the
  // present pointee.
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef ref_;
};
