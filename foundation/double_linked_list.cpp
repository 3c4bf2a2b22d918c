#include "foundation/double_linked_list.h"

#include "foundation/error.h"

GDoubleLinkedList::GDoubleLinkedList() { Clear(); }

GDoubleLinkedList::GDoubleLinkedList(GDoubleLink* link) : GDoubleLinkedList() { InsertAfter(&head_, link); }

void GDoubleLinkedList::Clear() {
  head_.next = &tail_;
  head_.previous = &head_;
  tail_.next = &tail_;
  tail_.previous = &head_;
  count_ = 0;
}

GDoubleLink* GDoubleLinkedList::At(uint32_t n) const {
  if (!CheckIndex(n, count_)) return nullptr;
  GDoubleLink* link = head_.next;
  while (n-- > 0) link = link->next;
  return link;
}

void GDoubleLinkedList::InsertAt(uint32_t n, GDoubleLink* link) {
  if (n != count_ && !CheckIndex(n, count_)) return;
  InsertAfter(n == 0 ? &head_ : At(n - 1), link);
}

void GDoubleLinkedList::InsertAfter(GDoubleLink* position, GDoubleLink* link) {
  link->next = position->next;
  link->previous = position;
  position->next->previous = link;
  position->next = link;
  ++count_;
}

GDoubleLink* GDoubleLinkedList::Remove(GDoubleLink* link) {
  if (link == nullptr) return nullptr;
  link->previous->next = link->next;
  link->next->previous = link->previous;
  link->next = link->previous = nullptr;
  --count_;
  return link;
}

GDoubleLink* GDoubleLinkedList::RemoveAt(uint32_t n) {
  if (!CheckIndex(n, count_)) return nullptr;
  return Remove(At(n));
}

bool GDoubleLinkedList::Contains(const GDoubleLink* link) const {
  if (link == nullptr) return false;
  for (const GDoubleLink* walk = head_.next; walk != &tail_; walk = walk->next) {
    if (walk == link) return true;
  }
  return false;
}

void GDoubleLinkedListIterator::Reset(GDoubleLinkedList& list) {
  list_ = &list;
  current_ = list.Head();
}

GDoubleLink* GDoubleLinkedListIterator::Advance(uint32_t n) {
  while (n-- > 0 && current_ != list_->Tail()) current_ = current_->next;
  return Real(current_);
}

GDoubleLink* GDoubleLinkedListIterator::Retreat(uint32_t n) {
  while (n-- > 0 && current_ != list_->Head()) current_ = current_->previous;
  return Real(current_);
}

GDoubleLink* GDoubleLinkedListIterator::ToFirst() {
  current_ = list_->IsEmpty() ? list_->Tail() : list_->Head()->next;
  return Real(current_);
}

GDoubleLink* GDoubleLinkedListIterator::ToLast() {
  current_ = list_->IsEmpty() ? list_->Tail() : list_->Tail()->previous;
  return Real(current_);
}

bool GDoubleLinkedListIterator::IsAtFirst() const {
  return Real(current_) != nullptr && current_ == list_->Head()->next;
}

bool GDoubleLinkedListIterator::IsAtLast() const {
  return Real(current_) != nullptr && current_ == list_->Tail()->previous;
}

void GDoubleLinkedListIterator::InsertAfterCurrent(GDoubleLink* link) {
  // Nothing may follow the tail sentinel: there the link becomes the last one.
  GDoubleLink* position = current_ == list_->Tail() ? current_->previous : current_;
  list_->InsertAfter(position, link);
}

GDoubleLink* GDoubleLinkedListIterator::RemoveCurrent() {
  GDoubleLink* removed = Real(current_);
  if (removed == nullptr) return nullptr;
  current_ = removed->previous;
  return list_->Remove(removed);
}
