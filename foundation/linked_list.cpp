#include "foundation/linked_list.h"

#include "foundation/error.h"

GLinkedList::GLinkedList() { Clear(); }

GLinkedList::GLinkedList(GLink* link) : GLinkedList() { InsertAfter(&head_, link); }

void GLinkedList::Clear() {
  head_.next = &tail_;
  tail_.next = &tail_;
  last_ = &head_;
  count_ = 0;
}

void GLinkedList::InsertAfter(GLink* link, GLink* newLink) {
  newLink->next = link->next;
  link->next = newLink;
  if (link == last_) last_ = newLink;
  ++count_;
}

GLink* GLinkedList::RemoveAfter(GLink* link) {
  if (link == nullptr || link->next == &tail_) return nullptr;
  GLink* removed = link->next;
  link->next = removed->next;
  if (removed == last_) last_ = link;
  removed->next = nullptr;
  --count_;
  return removed;
}

GLink* GLinkedList::At(uint32_t i) const {
  if (!CheckIndex(i, count_)) return nullptr;
  GLink* link = head_.next;
  while (i-- > 0) link = link->next;
  return link;
}

void GLinkedList::InsertAt(uint32_t i, GLink* newLink) {
  if (i != count_ && !CheckIndex(i, count_)) return;
  InsertAfter(i == 0 ? &head_ : At(i - 1), newLink);
}

GLink* GLinkedList::RemoveAt(uint32_t i) {
  if (!CheckIndex(i, count_)) return nullptr;
  return RemoveAfter(i == 0 ? &head_ : At(i - 1));
}

bool GLinkedList::Contains(const GLink* link) const {
  if (link == nullptr) return false;
  for (const GLink* walk = head_.next; walk != &tail_; walk = walk->next) {
    if (walk == link) return true;
  }
  return false;
}

GLink* GLinkedList::FindPredecessor(const GLink* link) {
  if (link == nullptr || IsSentinel(link)) return nullptr;
  // With the tail pointing at the link for the search, the walk stops either
  // at the predecessor or, when the link is absent, at the tail.
  tail_.next = const_cast<GLink*>(link);
  GLink* walk = &head_;
  while (walk->next != link) walk = walk->next;
  tail_.next = &tail_;
  return walk == &tail_ ? nullptr : walk;
}

GLink* GLinkedList::Remove(GLink* link) {
  GLink* predecessor = FindPredecessor(link);
  return predecessor == nullptr ? nullptr : RemoveAfter(predecessor);
}

void GLinkedListIterator::Reset(GLinkedList& list) {
  list_ = &list;
  current_ = list.Head();
}

GLink* GLinkedListIterator::Advance(uint32_t n) {
  while (n-- > 0 && current_ != list_->Tail()) current_ = current_->next;
  return Current();
}

GLink* GLinkedListIterator::ToFirst() {
  current_ = list_->Head()->next;
  return Current();
}

GLink* GLinkedListIterator::ToLast() {
  current_ = list_->IsEmpty() ? list_->Tail() : list_->Last();
  return Current();
}

bool GLinkedListIterator::IsAtFirst() const { return Current() != nullptr && current_ == list_->First(); }

bool GLinkedListIterator::IsAtLast() const { return Current() != nullptr && current_ == list_->Last(); }

void GLinkedListIterator::InsertAfterCurrent(GLink* newLink) {
  // Nothing may follow the tail sentinel: there the link is appended.
  GLink* position = current_;
  if (position == list_->Tail()) position = list_->IsEmpty() ? list_->Head() : list_->Last();
  list_->InsertAfter(position, newLink);
}

GLink* GLinkedListIterator::RemoveCurrent() {
  if (Current() == nullptr) return nullptr;
  current_ = list_->FindPredecessor(current_);
  return list_->RemoveAfter(current_);
}
