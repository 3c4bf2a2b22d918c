#pragma once

#include "model/objects/object_ref.h"

class MPersistentObject;

// Walks the children of a model node. A new iterator stands before the
// first child: call Advance first and read Current while Advance answers
// true. Whoever asks a node for an iterator deletes it.
class GIterator {
 public:
  GIterator() = default;
  GIterator(const GIterator&) = default;
  GIterator& operator=(const GIterator&) = default;
  virtual ~GIterator() = default;

  // The child at the position, or null; the caller gets no reference.
  virtual MPersistentObject* Current() = 0;
  // Stores a child at the position.
  virtual void Insert(MPersistentObject* node) = 0;
  // Moves to the next child; false, back before the first, at the end.
  virtual bool Advance() = 0;
  // Back to before the first child.
  virtual void Reset() = 0;
};

// The iterator of a leaf, which has no children. It also carries the
// operations of stores that hand out counted copies of their children and
// can walk backwards; here they find nothing and change nothing.
class GEmptyIterator : public GIterator {
 public:
  MPersistentObject* Current() override { return nullptr; }
  void Insert(MPersistentObject*) override {}
  bool Advance() override { return false; }
  void Reset() override {}

  // The current child as a counted reference.
  virtual GObjectRef CurrentShared() { return GObjectRef(); }
  virtual void RemoveCurrent() {}
  virtual void ReplaceCurrent(MPersistentObject*) {}
  // Moves to the previous child; false at the start.
  virtual bool Retreat() { return false; }
};
