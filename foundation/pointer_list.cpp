#include "foundation/pointer_list.h"

#include "foundation/error.h"
#include "foundation/string_block.h"

namespace {

bool IsSameItem(const RWCollectable* item, const void* user) { return item == user; }

}  // namespace

bool ItemEqualsObject(const RWCollectable* item, const void* object) {
  return item->Equals(static_cast<const RWCollectable*>(object));
}

struct GPointerList::Link : GLink {
  RWCollectable* item = nullptr;
};

GPointerList::GPointerList(const GPointerList& other) : GLinkedList() { CopyFrom(other); }

GPointerList& GPointerList::operator=(const GPointerList& other) {
  CopyFrom(other);
  return *this;
}

GPointerList::~GPointerList() { ClearAndFree(); }

RWCollectable*& GPointerList::ItemOf(GLink* link) { return static_cast<Link*>(link)->item; }

RWCollectable* GPointerList::InsertAfterLink(GLink* position, RWCollectable* item) {
  auto* link = new Link;
  link->item = item;
  InsertAfter(position, link);
  return item;
}

RWCollectable* GPointerList::Append(RWCollectable* item) {
  return InsertAfterLink(IsEmpty() ? Head() : GLinkedList::Last(), item);
}

RWCollectable* GPointerList::Prepend(RWCollectable* item) { return InsertAfterLink(Head(), item); }

RWCollectable* GPointerList::InsertAt(uint32_t position, RWCollectable* item) {
  if (position == Count()) return Append(item);
  if (!CheckIndex(position, Count())) return nullptr;
  return InsertAfterLink(position == 0 ? Head() : GLinkedList::At(position - 1), item);
}

RWCollectable* GPointerList::InsertAfterIndex(uint32_t position, RWCollectable* item) {
  GLink* link = GLinkedList::At(position);
  return link != nullptr ? InsertAfterLink(link, item) : nullptr;
}

RWCollectable* GPointerList::At(uint32_t position) const {
  GLink* link = GLinkedList::At(position);
  return link != nullptr ? ItemOf(link) : nullptr;
}

RWCollectable*& GPointerList::AtRef(uint32_t position) {
  GLink* link = GLinkedList::At(position);
  if (link != nullptr) return ItemOf(link);
  // Only reached under an error handler that returns; a write through the
  // answer must not land in any list.
  thread_local RWCollectable* scratch;
  scratch = nullptr;
  return scratch;
}

RWCollectable* GPointerList::First() const {
  GLink* link = GLinkedList::First();
  return link != nullptr ? ItemOf(link) : nullptr;
}

RWCollectable* GPointerList::Last() const {
  GLink* link = GLinkedList::Last();
  return link != nullptr ? ItemOf(link) : nullptr;
}

void GPointerList::ForEach(GCollectableFunction function, void* user) const {
  WalkLinks([&](GLink* link) {
    function(ItemOf(link), user);
    return false;
  });
}

void GPointerList::ForEachRef(GCollectableRefFunction function, void* user) {
  WalkLinks([&](GLink* link) {
    function(&ItemOf(link), user);
    return false;
  });
}

GLink* GPointerList::PredecessorIf(GLink* start, GCollectableTest test, const void* user) const {
  if (start == Self().Tail()) return nullptr;
  for (GLink* walk = start; walk->next != Self().Tail(); walk = walk->next) {
    if (test(ItemOf(walk->next), user)) return walk;
  }
  return nullptr;
}

RWCollectable* GPointerList::FindIf(GCollectableTest test, const void* user) const {
  GLink* predecessor = PredecessorIf(Self().Head(), test, user);
  return predecessor != nullptr ? ItemOf(predecessor->next) : nullptr;
}

RWCollectable* GPointerList::FindSame(const RWCollectable* item) const { return FindIf(IsSameItem, item); }

uint32_t GPointerList::IndexIf(GCollectableTest test, const void* user) const {
  uint32_t position = 0;
  const bool found = WalkLinks([&](GLink* link) {
    if (test(ItemOf(link), user)) return true;
    ++position;
    return false;
  });
  return found ? position : RW_NPOS;
}

uint32_t GPointerList::CountIf(GCollectableTest test, const void* user) const {
  uint32_t count = 0;
  WalkLinks([&](GLink* link) {
    count += test(ItemOf(link), user) ? 1 : 0;
    return false;
  });
  return count;
}

uint32_t GPointerList::CountSame(const RWCollectable* item) const { return CountIf(IsSameItem, item); }

RWCollectable* GPointerList::TakeAfter(GLink* predecessor) {
  if (predecessor == nullptr) return nullptr;
  auto* link = static_cast<Link*>(RemoveAfter(predecessor));
  if (link == nullptr) return nullptr;
  RWCollectable* item = link->item;
  delete link;
  return item;
}

RWCollectable* GPointerList::RemoveIf(GCollectableTest test, const void* user) {
  return TakeAfter(PredecessorIf(Head(), test, user));
}

RWCollectable* GPointerList::RemoveSame(const RWCollectable* item) { return RemoveIf(IsSameItem, item); }

RWCollectable* GPointerList::RemoveAt(uint32_t position) {
  if (!CheckIndex(position, Count())) return nullptr;
  return TakeAfter(position == 0 ? Head() : GLinkedList::At(position - 1));
}

void GPointerList::ClearAndFree() {
  while (!IsEmpty()) TakeAfter(Head());
}

void GPointerList::CopyFrom(const GPointerList& other) {
  if (this == &other) return;
  ClearAndFree();
  other.ForEach([](RWCollectable* item, void* self) { static_cast<GPointerList*>(self)->Append(item); }, this);
}

GPointerListIterator::GPointerListIterator(GPointerList& list) : list_(&list), current_(list.Head()) {}

RWCollectable* GPointerListIterator::Current() const {
  return list_->IsSentinel(current_) ? nullptr : GPointerList::ItemOf(current_);
}

RWCollectable* GPointerListIterator::Next() { return Skip(1); }

void GPointerListIterator::Reset() { current_ = list_->Head(); }

RWCollectable* GPointerListIterator::Skip(uint32_t n) {
  while (n-- > 0 && current_ != list_->Tail()) current_ = current_->next;
  return Current();
}

RWCollectable* GPointerListIterator::FindNext(GCollectableTest test, const void* user) {
  GLink* predecessor = list_->PredecessorIf(current_, test, user);
  current_ = predecessor != nullptr ? predecessor->next : list_->Tail();
  return Current();
}

RWCollectable* GPointerListIterator::FindNext(const RWCollectable* object) {
  return FindNext(ItemEqualsObject, object);
}

RWCollectable* GPointerListIterator::FindNextSame(const RWCollectable* item) { return FindNext(IsSameItem, item); }

void GPointerListIterator::InsertAfterCurrent(RWCollectable* item) {
  if (current_ == list_->Tail()) {
    list_->Append(item);
  } else {
    list_->InsertAfterLink(current_, item);
  }
}

RWCollectable* GPointerListIterator::RemoveNextIf(GCollectableTest test, const void* user) {
  return list_->TakeAfter(list_->PredecessorIf(current_, test, user));
}

RWCollectable* GPointerListIterator::RemoveNextSame(const RWCollectable* item) {
  return RemoveNextIf(IsSameItem, item);
}

RWCollectable* GPointerListIterator::RemoveCurrent() {
  if (list_->IsSentinel(current_)) return nullptr;
  current_ = list_->FindPredecessor(current_);
  return list_->TakeAfter(current_);
}
