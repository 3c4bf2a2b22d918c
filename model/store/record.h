#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/objects/class_ids.h"
#include "model/objects/field_archive.h"
#include "model/objects/object_ref.h"

class GDoubleLinkedList;
class GRecord;
class MPersistentCompositeOnDiskImp;
class MPersistentObject;

// What a search of the records of an on-disk store looks for: objects of a
// class, objects with a key, or the object with the serial number of a given
// object. It tests a record, and asks a nested store the same question.
class GRecordMatch {
 public:
  static GRecordMatch ClassId(RWClassID id);
  static GRecordMatch Key(int32_t key);
  static GRecordMatch Same(const MPersistentObject& object);

  bool Matches(const GRecord& record) const;
  // The nested store's own answers: it takes out, fetches or replaces its
  // matching child.
  GObjectRef TakeFrom(MPersistentObject& store) const;
  GObjectRef FetchFrom(MPersistentObject& store) const;
  bool ReplaceIn(MPersistentObject& store, const MPersistentObject& object) const;
  bool IsSame() const { return kind_ == Kind::kSame; }

 private:
  enum class Kind { kClassId, kKey, kSame };

  explicit GRecordMatch(Kind kind) : kind_(kind) {}

  Kind kind_;
  RWClassID id_ = 0;
  int32_t key_ = 0;
  const MPersistentObject* object_ = nullptr;
};

// The memory of one object kept in an on-disk store: its class ID, serial
// number and key, so that the store finds the object's block (through the
// record's key string) and selects objects without reading them. GRecord
// stands for a leaf; GRecordComposite and GRecordProxy extend it for
// composites and nested stores.
//
// Records are shared by counted references (GRecordRef); the count holds the
// owners minus one and changes under this unit's lock.
//
// Stored form after the collectable part (which is empty): version 1
// (32-bit), class ID (16-bit), serial number (32-bit), key (32-bit).
class GRecord : public GArchivedCollectable {
 public:
  static constexpr uint32_t kFormatVersion = 1;

  GRecord() = default;
  explicit GRecord(const MPersistentObject& object);
  // Copies the three values; the copy starts unowned.
  GRecord(const GRecord& other);
  GRecord& operator=(const GRecord&) = delete;

  RWCollectable* NewInstance() const override { return new GRecord; }
  RWCollectable* Clone() const override { return new GRecord(*this); }
  RWClassID ClassID() const override { return kGRecordClassID; }

  void AddReference();
  // The count from before: 0 tells the caller it was the last owner.
  int32_t ReleaseReference();

  RWClassID ObjectClassID() const { return classId_; }
  uint32_t SerialNumber() const { return serialNumber_; }
  int32_t Key() const { return key_; }
  // The key of the object's block in the store's B-tree: the serial number
  // in lowercase hexadecimal without leading zeros.
  RWCString KeyString() const;
  static RWCString KeyString(uint32_t serialNumber);

  // The child records of a composite; null for the others.
  virtual GDoubleLinkedList* ChildList();
  // Appends a child record to a composite; the others ignore it.
  virtual void AddRecord(GRecord* record);

  // Searches. A take answers the matching object and removes it from the
  // store; a fetch answers a freshly read copy and leaves the store as it
  // is; a replace puts another object in the matching one's place. Takes
  // and fetches answer an empty reference when nothing matched.
  GObjectRef TakeIfClassId(RWClassID id, MPersistentCompositeOnDiskImp& store);
  GObjectRef TakeIfKey(int32_t key, MPersistentCompositeOnDiskImp& store);
  GObjectRef TakeIfSame(const MPersistentObject& object, MPersistentCompositeOnDiskImp& store);
  bool ReplaceIfClassId(RWClassID id, const MPersistentObject& object, MPersistentCompositeOnDiskImp& store);
  bool ReplaceIfKey(int32_t key, const MPersistentObject& object, MPersistentCompositeOnDiskImp& store);
  bool ReplaceIfSame(const MPersistentObject& old, const MPersistentObject& object,
                     MPersistentCompositeOnDiskImp& store);
  GObjectRef FetchIfClassId(RWClassID id, MPersistentCompositeOnDiskImp& store);
  GObjectRef FetchIfKey(int32_t key, MPersistentCompositeOnDiskImp& store);
  GObjectRef FetchIfSame(const MPersistentObject& object, MPersistentCompositeOnDiskImp& store);

  // The same searches for any criterion. A leaf record takes, fetches or
  // replaces its own object when it matches.
  virtual GObjectRef Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store);
  virtual GObjectRef Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store);
  virtual bool Replace(const GRecordMatch& match, const MPersistentObject& object,
                       MPersistentCompositeOnDiskImp& store);

  // The stored objects the record stands for: 1 for a leaf or a nested
  // store, the sum of the children for a composite.
  virtual uint32_t ObjectCount() const;

 protected:
  // The three values are read whole: a restore that cannot read them all
  // changes none.
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t references_ = -1;
  RWClassID classId_ = 0;
  uint32_t serialNumber_ = 0;
  int32_t key_ = 0;
};

// A counted reference to a record: holding one makes the holder an owner,
// and the last owner to let go deletes the record.
class GRecordRef {
 public:
  GRecordRef() = default;
  // Takes the record (adds a reference) unless it is null.
  explicit GRecordRef(GRecord* record);
  GRecordRef(const GRecordRef& other) : GRecordRef(other.record_) {}
  GRecordRef(GRecordRef&& other) noexcept : record_(other.record_) { other.record_ = nullptr; }
  ~GRecordRef() { Reset(); }
  GRecordRef& operator=(GRecordRef other) noexcept;

  GRecord* Get() const { return record_; }
  GRecord* operator->() const { return record_; }
  GRecord& operator*() const { return *record_; }
  explicit operator bool() const { return record_ != nullptr; }
  // Lets go of the record.
  void Reset();

 private:
  GRecord* record_ = nullptr;
};
