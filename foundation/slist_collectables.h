#pragma once

#include <cstdint>

#include "foundation/collection.h"
#include "foundation/pointer_list.h"

// A singly linked list of collectables in insertion order. Members are
// shared, never owned: the destructor frees the links only.
class RWSlistCollectables : public GSequenceable {
 public:
  RWSlistCollectables() = default;
  RWSlistCollectables(const RWSlistCollectables& other) = default;
  RWSlistCollectables& operator=(const RWSlistCollectables& other) = default;

  RWCollectable* NewInstance() const override;
  // A list holding the same pointers in the same order.
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWSlistCollectablesClassID; }
  static RWClassID StaticClassID() { return kRWSlistCollectablesClassID; }
  // Lists of the same class whose members Equals pairwise, in order.
  bool Equals(const RWCollectable* other) const override;

  void ForEach(GCollectableFunction function, void* user) const override;
  void Clear() override;
  uint32_t Count() const override { return items_.Count(); }
  RWCollectable* Find(const RWCollectable* object) const override;
  // Appends.
  RWCollectable* Insert(RWCollectable* member) override;
  bool IsEmpty() const override { return items_.IsEmpty(); }
  uint32_t Occurrences(const RWCollectable* object) const override;
  RWCollectable* Remove(const RWCollectable* object) override;

  RWCollectable* Append(RWCollectable* item) override;
  RWCollectable* At(uint32_t position) const override;
  RWCollectable*& AtRef(uint32_t position) override;
  RWCollectable* First() const override;
  uint32_t IndexOf(const RWCollectable* object) const override;
  RWCollectable* InsertAt(uint32_t position, RWCollectable* item) override;
  RWCollectable* Last() const override;
  RWCollectable* Prepend(RWCollectable* item) override;
  RWCollectable* InsertAfterIndex(uint32_t position, RWCollectable* item) override;

  // The links themselves, for iterators and for searches by identity.
  GPointerList& PointerList() { return items_; }
  const GPointerList& PointerList() const { return items_; }

 protected:
  // True when the other object is a list of class id and both lists,
  // walked in step, Equals pairwise and end together.
  bool EqualsListOf(RWClassID id, const RWCollectable* other) const;

 private:
  GPointerList items_;
};

// The same list used as a stack whose top is the first item. Insert pushes
// and Remove pops, whatever its argument.
class RWSlistCollectablesStack : public RWSlistCollectables {
 public:
  RWCollectable* NewInstance() const override;
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWSlistCollectablesStackClassID; }
  static RWClassID StaticClassID() { return kRWSlistCollectablesStackClassID; }
  bool Equals(const RWCollectable* other) const override;

  RWCollectable* Push(RWCollectable* item) { return Prepend(item); }
  // Unlinks and answers the top item; null when the stack is empty.
  RWCollectable* Pop();

  RWCollectable* Insert(RWCollectable* member) override { return Push(member); }
  RWCollectable* Remove(const RWCollectable* object) override;
  // A stack only grows at its top: answers null and adds nothing.
  RWCollectable* Append(RWCollectable* item) override;
  // Popping would delete whatever is on top rather than the object asked
  // for, so nothing is removed or deleted.
  void RemoveAndDelete(const RWCollectable* object) override;

  // Read the count and push each member below the ones read before, so the
  // stack comes back in its saved order with the same top. The stack is not
  // cleared first.
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;
};
