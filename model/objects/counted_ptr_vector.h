#pragma once

#include <cstdint>

#include "model/objects/child_iterator.h"
#include "model/objects/counted_ptr.h"
#include "model/objects/slot_vector.h"

class MPersistentObject;

// The child vector that every composite embeds: counted pointers to its
// children, matched by pointee identity. A slot may be empty (a stored nil
// child).
class GCountedPtrVector : public GSlotVector<GCountedPtr> {
 public:
  explicit GCountedPtrVector(uint32_t capacity = kGrowth) : GSlotVector(capacity) {}
};

// The name under which other parts of the system check indexes of a
// counted-pointer vector.
using GObjectPtrVector = GCountedPtrVector;

// Walks a composite's child vector. Current hands out the child without a
// reference; Insert puts a node at the position, in place of the child there.
class GCountedPtrVectorIterator : public GIterator {
 public:
  GCountedPtrVectorIterator(MPersistentObject* owner, GCountedPtrVector& vector) : owner_(owner), vector_(&vector) {}

  // The child at the position; before the first child or past the last one
  // this raises the bounds error and answers null.
  MPersistentObject* Current() override;
  // On a positioned iterator the node replaces the current child (which is
  // released); on an empty vector it becomes the only child; before the
  // first child of a non-empty vector the bounds error is raised.
  void Insert(MPersistentObject* node) override;
  bool Advance() override;
  void Reset() override { index_ = -1; }

  MPersistentObject* Owner() const { return owner_; }
  int32_t Index() const { return index_; }

 private:
  MPersistentObject* owner_;
  GCountedPtrVector* vector_;
  int32_t index_ = -1;
};
