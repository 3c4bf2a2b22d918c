#pragma once

#include <cstdint>
#include <memory>

#include "model/objects/persistent_composite.h"

// The tree's lookups for an object whose children live in a composite it
// embeds rather than in itself (a command list, a graphic list, a stage
// that holds stages): the searches, collections and selections, the
// counts, the child iterator and the composite view are all answered by
// that list. The object keeps its own adding, removing and replacing
// rules; Derived hands over the list through ChildList().
template <class Derived, class Base>
class GChildListLookups : public Base {
 public:
  using Base::Base;

  MPersistentObject* FindByKey(int32_t key) override { return List().FindByKey(key); }
  MPersistentObject* FindByClassId(RWClassID id) override { return List().FindByClassId(id); }
  MPersistentObject* FindEqual(const MPersistentObject& other) override { return List().FindEqual(other); }
  MPersistentObject* FindKindOf(RWClassID id) override { return List().FindKindOf(id); }
  MPersistentObject& CollectByClassId(RWClassID id, MPersistentObject& composite) override {
    return List().CollectByClassId(id, composite);
  }
  MPersistentObject& CollectByKey(int32_t key, MPersistentObject& composite) override {
    return List().CollectByKey(key, composite);
  }
  MPersistentObject& CollectKindOf(RWClassID id, MPersistentObject& composite) override {
    return List().CollectKindOf(id, composite);
  }
  MPersistentObject* SelectByKey(int32_t key) override { return List().SelectByKey(key); }
  MPersistentObject* SelectByClassId(RWClassID id) override { return List().SelectByClassId(id); }
  MPersistentObject* SelectKindOf(RWClassID id) override { return List().SelectKindOf(id); }
  // The embedded list.
  MPersistentObject* AsComposite() override { return &List(); }
  uint32_t EntryCount() const override { return List().EntryCount(); }
  uint32_t NodeCount() const override { return List().NodeCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return List().NewChildIterator(); }
  // The children in order.
  const GCountedPtrVector& Children() const { return List().Children(); }

 private:
  MPersistentComposite& List() { return static_cast<Derived&>(*this).ChildList(); }
  const MPersistentComposite& List() const { return static_cast<const Derived&>(*this).ChildList(); }
};
