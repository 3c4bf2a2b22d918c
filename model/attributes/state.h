#pragma once

#include <cstdint>

#include "model/attributes/attribute_composite.h"

// A state block: an attribute composite in which each base type and key
// occurs at most once, so that adding or merging an attribute replaces the
// one it supersedes. The render pipeline keeps its current and initial
// states in blocks, and merges what each command carries into them with
// UpdateFrom; the changed flags then mark what has to be sent on.
//
// Stored part: the composite's, then version 1 (read and not examined).
class GState : public GAttributeComposite {
 public:
  GState() = default;
  explicit GState(int32_t key) : GAttributeComposite(key) {}
  GState(const GState& other) = default;

  RWCollectable* NewInstance() const override { return new GState; }
  RWCollectable* Clone() const override { return new GState(*this); }
  RWClassID ClassID() const override { return kGStateClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGStateClassID || GAttributeComposite::IsKindOf(id); }

  // A node with the base type and key of a held child takes that child's
  // place, unless the two have the same content: then the held child stays
  // and this block lets go of the node (which is deleted only when nobody
  // else holds it). Other attributes are appended, anything else let go of.
  void AddChild(MPersistentObject* node) override;
  // Another state of this block's base type and key is merged child by
  // child: a held state merges recursively, a held attribute of other
  // content is replaced by the other's child, a missing one is appended, and
  // each child taken over (shared, not copied) is marked changed. Anything
  // else is added as one child and marked changed. Answers 1 when this block
  // took something over, else 0.
  int32_t UpdateFrom(GAttribute* other) override;

 protected:
  // The base's part, then this class's version word, read and not examined.
  void Fields(GFieldArchive& archive) override;

 private:
  // Takes one child of another state: answers whether it was taken.
  bool Merge(GAttribute& child);
};
