#include "foundation/slist_collectables.h"

#include "foundation/class_registrar.h"

namespace {

// Registered with the class factory under their class IDs and names.
const GClassRegistrar listRegistrar(CreateCollectable<RWSlistCollectables>, kRWSlistCollectablesClassID,
                                    "RWSlistCollectables");
const GClassRegistrar stackRegistrar(CreateCollectable<RWSlistCollectablesStack>, kRWSlistCollectablesStackClassID,
                                     "RWSlistCollectablesStack");

}  // namespace

RWCollectable* RWSlistCollectables::NewInstance() const { return new RWSlistCollectables; }

RWCollectable* RWSlistCollectables::Clone() const { return new RWSlistCollectables(*this); }

bool RWSlistCollectables::Equals(const RWCollectable* other) const {
  return EqualsListOf(kRWSlistCollectablesClassID, other);
}

bool RWSlistCollectables::EqualsListOf(RWClassID id, const RWCollectable* other) const {
  if (other == nullptr || other->ClassID() != id) return false;
  const auto* list = dynamic_cast<const RWSlistCollectables*>(other);
  if (list == nullptr || Count() != list->Count()) return false;
  GPointerListIterator mine(const_cast<GPointerList&>(items_));
  GPointerListIterator theirs(const_cast<GPointerList&>(list->items_));
  for (uint32_t i = 0; i < Count(); ++i) {
    if (!mine.Next()->Equals(theirs.Next())) return false;
  }
  return true;
}

void RWSlistCollectables::ForEach(GCollectableFunction function, void* user) const { items_.ForEach(function, user); }

void RWSlistCollectables::Clear() { items_.ClearAndFree(); }

RWCollectable* RWSlistCollectables::Find(const RWCollectable* object) const {
  return items_.FindIf(ItemEqualsObject, object);
}

RWCollectable* RWSlistCollectables::Insert(RWCollectable* member) { return items_.Append(member); }

uint32_t RWSlistCollectables::Occurrences(const RWCollectable* object) const {
  return items_.CountIf(ItemEqualsObject, object);
}

RWCollectable* RWSlistCollectables::Remove(const RWCollectable* object) {
  return items_.RemoveIf(ItemEqualsObject, object);
}

RWCollectable* RWSlistCollectables::Append(RWCollectable* item) { return items_.Append(item); }

RWCollectable* RWSlistCollectables::At(uint32_t position) const { return items_.At(position); }

RWCollectable*& RWSlistCollectables::AtRef(uint32_t position) { return items_.AtRef(position); }

RWCollectable* RWSlistCollectables::First() const { return items_.First(); }

uint32_t RWSlistCollectables::IndexOf(const RWCollectable* object) const {
  return items_.IndexIf(ItemEqualsObject, object);
}

RWCollectable* RWSlistCollectables::InsertAt(uint32_t position, RWCollectable* item) {
  return items_.InsertAt(position, item);
}

RWCollectable* RWSlistCollectables::Last() const { return items_.Last(); }

RWCollectable* RWSlistCollectables::Prepend(RWCollectable* item) { return items_.Prepend(item); }

RWCollectable* RWSlistCollectables::InsertAfterIndex(uint32_t position, RWCollectable* item) {
  return items_.InsertAfterIndex(position, item);
}

RWCollectable* RWSlistCollectablesStack::NewInstance() const { return new RWSlistCollectablesStack; }

RWCollectable* RWSlistCollectablesStack::Clone() const { return new RWSlistCollectablesStack(*this); }

bool RWSlistCollectablesStack::Equals(const RWCollectable* other) const {
  return EqualsListOf(kRWSlistCollectablesStackClassID, other);
}

RWCollectable* RWSlistCollectablesStack::Pop() { return IsEmpty() ? nullptr : PointerList().RemoveAt(0); }

RWCollectable* RWSlistCollectablesStack::Remove(const RWCollectable*) { return Pop(); }

RWCollectable* RWSlistCollectablesStack::Append(RWCollectable*) { return nullptr; }

void RWSlistCollectablesStack::RemoveAndDelete(const RWCollectable*) {}

namespace {

// Below the members restored before it: the stack comes back top first.
bool AppendBelow(GCollection& stack, RWCollectable* member, bool) {
  static_cast<RWSlistCollectables&>(stack).PointerList().Append(member);
  return true;
}

}  // namespace

void RWSlistCollectablesStack::RestoreContentsFromStream(GVirtualInStream& stream) {
  ReadMembersFromStream(stream, AppendBelow);
}

void RWSlistCollectablesStack::RestoreContentsFromFile(GBinaryFile& file) { ReadMembersFromFile(file, AppendBelow); }
