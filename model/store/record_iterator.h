#pragma once

#include "foundation/double_linked_list.h"
#include "model/objects/child_iterator.h"
#include "model/objects/object_ref.h"

class MPersistentCompositeOnDiskImp;

// Walks the top-level records of an on-disk store. The store's objects
// exist only in its file: Current and CurrentShared answer a copy of the
// current object read from it (Current's copy lives until the iterator
// moves or goes), and the other operations change the store at the current
// record. The iterator keeps the store alive.
class GRecordIterator : public GEmptyIterator {
 public:
  explicit GRecordIterator(MPersistentCompositeOnDiskImp& store);
  ~GRecordIterator() override;
  GRecordIterator(const GRecordIterator&) = delete;
  GRecordIterator& operator=(const GRecordIterator&) = delete;

  MPersistentObject* Current() override;
  // Puts the node in the place of the current record's object.
  void Insert(MPersistentObject* node) override;
  // To the next record; false, back before the first, after the last.
  bool Advance() override;
  void Reset() override;

  GObjectRef CurrentShared() override;
  // Takes the current object out of the store; the iterator steps back to
  // the record before it, so Advance goes on with the one after.
  void RemoveCurrent() override;
  // Puts the node in the place of the current record's object; the new
  // record takes the old one's place in the list.
  void ReplaceCurrent(MPersistentObject* node) override;
  bool Retreat() override;

 private:
  MPersistentCompositeOnDiskImp& Store() const;
  GDoubleLinkedList& Records() const;

  GObjectRef store_;
  GDoubleLinkedListIterator position_;
  // The copy Current handed out, read once per position.
  GObjectRef current_;
};
