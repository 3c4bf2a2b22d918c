#pragma once

#include <cstdint>

#include "foundation/linked_list.h"
#include "foundation/rw_collectable.h"

// Calls made for each member of a collection, and tests that choose members.
using GCollectableFunction = void (*)(RWCollectable* item, void* user);
using GCollectableRefFunction = void (*)(RWCollectable** item, void* user);
using GCollectableTest = bool (*)(const RWCollectable* item, const void* user);

// The test by which collections search: the item's own Equals accepts the
// object that user points to.
bool ItemEqualsObject(const RWCollectable* item, const void* object);

// A singly linked list of item pointers. The list allocates one link per item
// it receives and frees it when the item leaves; it never deletes items. The
// same pointer may be stored several times. Positions count from 0; a bad
// position raises the bounds error and the operation changes nothing.
class GPointerList : private GLinkedList {
 public:
  GPointerList() = default;
  GPointerList(const GPointerList& other);
  GPointerList& operator=(const GPointerList& other);
  ~GPointerList();

  using GLinkedList::Count;
  using GLinkedList::IsEmpty;

  // Each answers the item, or null when the position was refused.
  RWCollectable* Append(RWCollectable* item);
  RWCollectable* Prepend(RWCollectable* item);
  // The item gets that position; position == Count() appends.
  RWCollectable* InsertAt(uint32_t position, RWCollectable* item);
  // The item goes right after the item at position.
  RWCollectable* InsertAfterIndex(uint32_t position, RWCollectable* item);

  // Null for a bad position.
  RWCollectable* At(uint32_t position) const;
  // The stored pointer itself. For a bad position, a scratch slot holding
  // null that belongs to no list.
  RWCollectable*& AtRef(uint32_t position);
  // Null when the list is empty.
  RWCollectable* First() const;
  RWCollectable* Last() const;

  void ForEach(GCollectableFunction function, void* user) const;
  void ForEachRef(GCollectableRefFunction function, void* user);
  RWCollectable* FindIf(GCollectableTest test, const void* user) const;
  // The item when that very pointer is stored, else null.
  RWCollectable* FindSame(const RWCollectable* item) const;
  // RW_NPOS (0xFFFFFFFF) when no item passes.
  uint32_t IndexIf(GCollectableTest test, const void* user) const;
  uint32_t CountIf(GCollectableTest test, const void* user) const;
  uint32_t CountSame(const RWCollectable* item) const;
  // Unlink the first matching link, free it and answer its item; null when
  // none matches.
  RWCollectable* RemoveIf(GCollectableTest test, const void* user);
  RWCollectable* RemoveSame(const RWCollectable* item);
  // Unlinks the item at position; null for a bad position.
  RWCollectable* RemoveAt(uint32_t position);

  // Frees every link; the items are untouched.
  void ClearAndFree();
  // Replaces the items with those of other, in order.
  void CopyFrom(const GPointerList& other);

 private:
  friend class GPointerListIterator;
  struct Link;

  static RWCollectable*& ItemOf(GLink* link);
  // The sentinels are reached through the base's non-const accessors; a
  // const list changes nothing through them.
  GLinkedList& Self() const { return const_cast<GPointerList&>(*this); }
  // Calls visit (link) from the first link on until it answers true; true
  // when one did.
  template <typename Visit>
  bool WalkLinks(Visit visit) const {
    for (GLink* link = Self().Head()->next; link != Self().Tail(); link = link->next) {
      if (visit(link)) return true;
    }
    return false;
  }
  RWCollectable* InsertAfterLink(GLink* position, RWCollectable* item);
  // The link before the first one after start whose item passes the test;
  // null when none does.
  GLink* PredecessorIf(GLink* start, GCollectableTest test, const void* user) const;
  RWCollectable* TakeAfter(GLink* predecessor);
};

// A cursor on a pointer list. It starts before the first item; past the last
// item it stays at the end. Items are answered, never links.
class GPointerListIterator {
 public:
  explicit GPointerListIterator(GPointerList& list);
  GPointerListIterator(const GPointerListIterator&) = default;
  GPointerListIterator& operator=(const GPointerListIterator&) = default;
  virtual ~GPointerListIterator() = default;

  // Moves on to the next item that Equals the object; null at the end.
  virtual RWCollectable* FindNext(const RWCollectable* object);
  // Null before the first item and after the last.
  virtual RWCollectable* Current() const;
  // Moves one item on; null at the end.
  virtual RWCollectable* Next();
  // Back to before the first item.
  virtual void Reset();

  RWCollectable* FindNext(GCollectableTest test, const void* user);
  RWCollectable* Skip(uint32_t n);
  RWCollectable* FindNextSame(const RWCollectable* item);
  // Links the item after the current one (at the end, appends it).
  void InsertAfterCurrent(RWCollectable* item);
  // Unlink the first matching item after the current one; the cursor stays.
  RWCollectable* RemoveNextIf(GCollectableTest test, const void* user);
  RWCollectable* RemoveNextSame(const RWCollectable* item);
  // Unlinks the current item and steps back to its predecessor, so that
  // Next continues with the item that followed it. Null, changing nothing,
  // before the first item or at the end.
  RWCollectable* RemoveCurrent();

 private:
  GPointerList* list_;
  GLink* current_;
};
