#pragma once

#include <cstdint>
#include <memory>

#include "model/objects/persistent_composite.h"
#include "model/testing/test_peripheral.h"

// A pipeline stage that holds further stages, for device descriptions that
// tests load before the printer classes exist: the device root, the
// pipeline head and the head's child stages. Besides its stage part (its
// configuration among it) it keeps ordered children, which the tree
// operations reach: key and class searches, removals and the child
// iterator go through them as through any composite's.
//
// Stored part after the stage's: version 1, the child count and each child
// as an object reference.
class TestPeripheralComposite : public TestPeripheral {
 public:
  static constexpr RWClassID kID = 0x7E68;
  static constexpr const char* kName = "TestPeripheralComposite";

  TestPeripheralComposite() = default;
  explicit TestPeripheralComposite(int32_t key) : TestPeripheral(key) {}
  // Shares the other's children, as its stage part shares the states.
  TestPeripheralComposite(const TestPeripheralComposite& other) = default;

  RWCollectable* NewInstance() const override { return new TestPeripheralComposite; }
  RWCollectable* Clone() const override { return new TestPeripheralComposite(*this); }
  RWClassID ClassID() const override { return kID; }
  // The stage's equality, and children of equal content in the same order.
  bool SameContent(const MPersistentObject& other) const override;
  // The stage's deep copy holding deep copies of the children.
  MPersistentObject* DeepCopy() const override;

  // Null is ignored.
  void AddChild(MPersistentObject* node) override { children_.AddChild(node); }
  MPersistentObject* RemoveChild(const MPersistentObject* node) override { return children_.RemoveChild(node); }
  MPersistentObject* RemoveChildByKey(int32_t key) override { return children_.RemoveChildByKey(key); }
  MPersistentObject* RemoveChildByClassId(RWClassID id) override { return children_.RemoveChildByClassId(id); }
  void RemoveAllChildren() override { children_.RemoveAllChildren(); }

  MPersistentObject* FindByKey(int32_t key) override { return children_.FindByKey(key); }
  MPersistentObject* FindByClassId(RWClassID id) override { return children_.FindByClassId(id); }
  MPersistentObject* FindKindOf(RWClassID id) override { return children_.FindKindOf(id); }

  MPersistentObject* AsComposite() override { return this; }
  uint32_t EntryCount() const override { return children_.EntryCount(); }
  uint32_t NodeCount() const override { return children_.NodeCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return children_.NewChildIterator(); }

  const GCountedPtrVector& Children() const { return children_.Children(); }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // The composite's child vector, searches and removals, reused whole.
  class ChildList : public MPersistentComposite {
   public:
    using MPersistentComposite::MutableChildren;
  };

  ChildList children_;
};
