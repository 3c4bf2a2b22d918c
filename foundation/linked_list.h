#pragma once

#include <cstdint>

// An intrusive singly linked list. A GLink sits at the start of the caller's
// record; the list never allocates or frees links.
struct GLink {
  GLink* next = nullptr;
};

// Positions count from 0; a bad position raises the bounds error and the
// operation answers null (or does nothing).
class GLinkedList {
 public:
  GLinkedList();
  explicit GLinkedList(GLink* link);
  // The sentinels point into the object, so a list cannot be copied or moved.
  GLinkedList(const GLinkedList&) = delete;
  GLinkedList& operator=(const GLinkedList&) = delete;

  // Forgets every link without touching them.
  void Clear();

  uint32_t Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  // The first and last real links, null when empty.
  GLink* First() const { return Real(head_.next); }
  GLink* Last() const { return Real(last_); }

  void InsertAfter(GLink* link, GLink* newLink);
  // Unlinks the link after link; null when link is null or the last one.
  GLink* RemoveAfter(GLink* link);
  GLink* At(uint32_t i) const;
  void InsertAt(uint32_t i, GLink* newLink);
  GLink* RemoveAt(uint32_t i);
  bool Contains(const GLink* link) const;
  // The link whose next is link (the head for the first), null when absent.
  GLink* FindPredecessor(const GLink* link);
  // Unlinks link and clears its next pointer; null when it is not in the list.
  GLink* Remove(GLink* link);

  // The sentinels. The tail's next points at itself, so walking off the end
  // stays on it.
  GLink* Head() { return &head_; }
  GLink* Tail() { return &tail_; }
  bool IsSentinel(const GLink* link) const { return link == &head_ || link == &tail_; }

 private:
  GLink* Real(GLink* link) const { return IsSentinel(link) ? nullptr : link; }

  GLink head_;
  GLink tail_;
  GLink* last_;
  uint32_t count_ = 0;
};

// A cursor on a list; it may stand on the head (before the first link) or on
// the tail (past the last). Operations answer null rather than a sentinel.
class GLinkedListIterator {
 public:
  explicit GLinkedListIterator(GLinkedList& list) { Reset(list); }

  void Reset(GLinkedList& list);

  GLink* Current() const { return list_->IsSentinel(current_) ? nullptr : current_; }
  GLink* Advance(uint32_t n = 1);
  GLink* ToFirst();
  GLink* ToLast();
  bool IsAtFirst() const;
  bool IsAtLast() const;
  void InsertAfterCurrent(GLink* newLink);
  // Steps back to the predecessor and unlinks the link after it.
  GLink* RemoveCurrent();

 private:
  GLinkedList* list_ = nullptr;
  GLink* current_ = nullptr;
};
