#pragma once

#include <cstdint>

// An intrusive doubly linked list. A GDoubleLink sits at the start of the
// caller's own record, so a link pointer is also a record pointer; the list
// never allocates or frees links.
struct GDoubleLink {
  GDoubleLink* next = nullptr;
  GDoubleLink* previous = nullptr;
};

// Positions count from 0; a bad position raises the bounds error and the
// operation answers null (or does nothing).
class GDoubleLinkedList {
 public:
  GDoubleLinkedList();
  explicit GDoubleLinkedList(GDoubleLink* link);
  // The sentinels point at each other, so a list cannot be copied or moved.
  GDoubleLinkedList(const GDoubleLinkedList&) = delete;
  GDoubleLinkedList& operator=(const GDoubleLinkedList&) = delete;

  // Forgets every link without touching them.
  void Clear();

  uint32_t Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  GDoubleLink* At(uint32_t n) const;
  void InsertAt(uint32_t n, GDoubleLink* link);
  void InsertAfter(GDoubleLink* position, GDoubleLink* link);
  GDoubleLink* Remove(GDoubleLink* link);
  GDoubleLink* RemoveAt(uint32_t n);
  bool Contains(const GDoubleLink* link) const;

  // The sentinels: the head's previous and the tail's next point at
  // themselves, so walking off either end stays on the sentinel.
  GDoubleLink* Head() { return &head_; }
  GDoubleLink* Tail() { return &tail_; }
  bool IsSentinel(const GDoubleLink* link) const { return link == &head_ || link == &tail_; }

 private:
  GDoubleLink head_;
  GDoubleLink tail_;
  uint32_t count_ = 0;
};

// A cursor on a list. Operations answer null where they would otherwise hand
// out a sentinel, which is no record of the caller's.
class GDoubleLinkedListIterator {
 public:
  explicit GDoubleLinkedListIterator(GDoubleLinkedList& list) { Reset(list); }

  // Binds the iterator to list, before its first link.
  void Reset(GDoubleLinkedList& list);

  GDoubleLink* Current() const { return Real(current_); }
  GDoubleLink* Advance(uint32_t n = 1);
  GDoubleLink* Retreat(uint32_t n = 1);
  GDoubleLink* ToFirst();
  GDoubleLink* ToLast();
  bool IsAtFirst() const;
  bool IsAtLast() const;
  void InsertAfterCurrent(GDoubleLink* link);
  // Unlinks the current link and steps back to its predecessor.
  GDoubleLink* RemoveCurrent();

 private:
  GDoubleLink* Real(GDoubleLink* link) const { return list_->IsSentinel(link) ? nullptr : link; }

  GDoubleLinkedList* list_ = nullptr;
  GDoubleLink* current_ = nullptr;
};
