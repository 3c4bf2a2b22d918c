#pragma once

#include <cstdint>

class MPersistentObject;

// A counted reference to a model object: holding one makes the holder an
// owner. Taking an object adds a reference, letting go releases it, and the
// owner whose release finds no other owner deletes the object. Counts are
// atomic, so references to one object may be taken and dropped on several
// threads; the object itself is not made thread-safe by this.
class GObjectRef {
 public:
  GObjectRef() = default;
  // Takes the object (adds a reference) unless it is null.
  explicit GObjectRef(MPersistentObject* object);
  GObjectRef(const GObjectRef& other);
  GObjectRef(GObjectRef&& other) noexcept;
  ~GObjectRef();

  // Nothing happens when the new object is the one already held; otherwise
  // the old one is released (deleted when this was its last owner) and the
  // new one taken.
  GObjectRef& operator=(const GObjectRef& other);
  GObjectRef& operator=(GObjectRef&& other) noexcept;
  GObjectRef& operator=(MPersistentObject* object);

  MPersistentObject* Get() const { return pointee_; }
  MPersistentObject* operator->() const { return pointee_; }
  MPersistentObject& operator*() const { return *pointee_; }
  bool IsEmpty() const { return pointee_ == nullptr; }
  explicit operator bool() const { return pointee_ != nullptr; }

  // Lets go of the object and hands it to the caller as its only owner:
  // the object itself, unowned, when nobody else held it; otherwise a
  // Clone, so that the other owners keep theirs. Null when empty.
  MPersistentObject* HandOver();

 private:
  void Release();

  MPersistentObject* pointee_ = nullptr;
};
