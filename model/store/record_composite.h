#pragma once

#include <cstdint>

#include "foundation/double_linked_list.h"
#include "model/store/record.h"

// One link of a composite record's list, holding a counted reference to a
// child record. The link comes first, so a link pointer is an entry pointer.
struct GRecordEntry {
  GDoubleLink link;
  GRecordRef record;

  static GRecordEntry* Of(GDoubleLink* link) { return reinterpret_cast<GRecordEntry*>(link); }
};

// The record of a stored composite. The composite itself is stored as a
// shell without children; its children are stored separately, each under a
// child record of this one, in the order they had. The record index of a
// store is a record of this kind too: its child list holds the top-level
// records.
//
// Stored form: the GRecord part, version 1 (32-bit), the number of child
// records (32-bit) and each child record as an object reference.
class GRecordComposite : public GRecord {
 public:
  GRecordComposite() = default;
  // A record of the composite, with no child records yet.
  explicit GRecordComposite(const MPersistentObject& object);
  // Shares the child records of the source.
  GRecordComposite(const GRecordComposite& other);
  ~GRecordComposite() override;

  RWCollectable* NewInstance() const override { return new GRecordComposite; }
  RWCollectable* Clone() const override { return new GRecordComposite(*this); }
  RWClassID ClassID() const override { return kGRecordCompositeClassID; }

  GDoubleLinkedList* ChildList() override { return &records_; }
  void AddRecord(GRecord* record) override;

  // This record first: when it matches, the whole composite is taken,
  // fetched or replaced. Otherwise the children, in order: a child that
  // matches directly ends the search with its answer (a taken child leaves
  // the list); any other child searches below itself, and the first object
  // found (or the first replacement made) ends the search.
  GObjectRef Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) override;
  GObjectRef Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) override;
  bool Replace(const GRecordMatch& match, const MPersistentObject& object,
               MPersistentCompositeOnDiskImp& store) override;
  uint32_t ObjectCount() const override;

  // The searches among the children alone, as the record index of a store
  // (which stands for no object) is searched.
  GObjectRef TakeFromChildren(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store);
  GObjectRef FetchFromChildren(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store);
  bool ReplaceInChildren(const GRecordMatch& match, const MPersistentObject& object,
                         MPersistentCompositeOnDiskImp& store);

  // Lets go of every child record.
  void ClearRecords();
  uint32_t RecordCount() const { return records_.Count(); }

  // Unlinks the entry and lets go of its record.
  void RemoveEntry(GRecordEntry* entry);
  // Replaces the record of entry by the matching record's replacement. A
  // store appends the record of a replacement to its top-level records;
  // lastBefore is the last top-level link before the replacement, so a
  // link after it is the new record, which moves into the entry.
  static void TakeOverReplacement(GRecordEntry& entry, GDoubleLink* lastBefore, MPersistentCompositeOnDiskImp& store);
  // The last link of the list, the head sentinel when empty.
  GDoubleLink* LastLink() { return records_.Tail()->previous; }

 protected:
  // Every record of a stored list appears once: a child must be a record
  // that its own reference made. Anything else (a record named again, which
  // would share or cycle, or an object of another kind) stops the restore;
  // the records read before it stay.
  void Fields(GFieldArchive& archive) override;

 private:
  GDoubleLinkedList records_;
};
