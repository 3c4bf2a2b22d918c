#include "model/objects/object_ref.h"

#include <utility>

#include "model/objects/persistent_object.h"

GObjectRef::GObjectRef(MPersistentObject* object) : pointee_(object) {
  if (pointee_ != nullptr) pointee_->AddReference();
}

GObjectRef::GObjectRef(const GObjectRef& other) : GObjectRef(other.pointee_) {}

GObjectRef::GObjectRef(GObjectRef&& other) noexcept : pointee_(std::exchange(other.pointee_, nullptr)) {}

GObjectRef::~GObjectRef() { Release(); }

GObjectRef& GObjectRef::operator=(const GObjectRef& other) { return *this = other.pointee_; }

GObjectRef& GObjectRef::operator=(GObjectRef&& other) noexcept {
  if (pointee_ == other.pointee_) {
    // Both hold a reference to the same object; the moved-from one lets go.
    other.Release();
    return *this;
  }
  Release();
  pointee_ = std::exchange(other.pointee_, nullptr);
  return *this;
}

GObjectRef& GObjectRef::operator=(MPersistentObject* object) {
  if (pointee_ == object) return *this;
  // Take the new object before letting go of the old one, which may own it.
  if (object != nullptr) object->AddReference();
  Release();
  pointee_ = object;
  return *this;
}

MPersistentObject* GObjectRef::HandOver() {
  MPersistentObject* object = pointee_;
  if (object == nullptr) return nullptr;
  if (object->ReleaseIfSole()) {
    pointee_ = nullptr;
    return object;
  }
  // Copy while still an owner, so that the object cannot go away meanwhile.
  MPersistentObject* copy = object->CloneObject();
  Release();
  return copy;
}

void GObjectRef::Release() {
  MPersistentObject* object = std::exchange(pointee_, nullptr);
  if (object != nullptr && object->ReleaseReference() == 0) delete object;
}
