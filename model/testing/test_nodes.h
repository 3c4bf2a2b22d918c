#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

// Small model classes for tests, registered under IDs that no class of the
// system uses.

// A leaf without fields of its own: only the root's stored part.
class BareNode : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7E10;

  using MPersistentObject::MPersistentObject;
  RWCollectable* NewInstance() const override { return new BareNode; }
  RWCollectable* Clone() const override { return new BareNode(*this); }
  RWClassID ClassID() const override { return kID; }
};

// A leaf with one 32-bit value, compared by SameContent.
class ValueNode : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7E11;

  explicit ValueNode(int32_t key = 0, int32_t value = 0) : MPersistentObject(key), value(value) {}
  RWCollectable* NewInstance() const override { return new ValueNode; }
  RWCollectable* Clone() const override { return new ValueNode(*this); }
  RWClassID ClassID() const override { return kID; }
  bool SameContent(const MPersistentObject& other) const override;

  int32_t value;

 protected:
  void Fields(GFieldArchive& archive) override;
};

// The same fields under another class ID.
class OtherNode : public ValueNode {
 public:
  static constexpr RWClassID kID = 0x7E12;

  using ValueNode::ValueNode;
  RWCollectable* NewInstance() const override { return new OtherNode; }
  RWCollectable* Clone() const override { return new OtherNode(*this); }
  RWClassID ClassID() const override { return kID; }
};

// A leaf that counts its deletions, for tests of ownership.
class TrackedNode : public ValueNode {
 public:
  explicit TrackedNode(int* deletions, int32_t key = 0) : ValueNode(key), deletions_(deletions) {}
  ~TrackedNode() override { ++*deletions_; }
  RWCollectable* Clone() const override { return new TrackedNode(*this); }

 private:
  int* deletions_;
};

// A collectable that is not a model object.
class PlainCollectable : public RWCollectable {
 public:
  static constexpr RWClassID kID = 0x7E1F;

  RWCollectable* NewInstance() const override { return new PlainCollectable; }
  RWClassID ClassID() const override { return kID; }
};
