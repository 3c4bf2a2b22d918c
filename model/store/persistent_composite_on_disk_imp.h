#pragma once

#include <cstdint>
#include <memory>

#include "foundation/rw_cstring.h"
#include "model/objects/counted_ptr.h"
#include "model/objects/persistent_object.h"
#include "model/store/record.h"
#include "model/store/record_composite.h"

class GDiskBTree;
class GFileSpaceManager;

// The work behind every handle on one store file: the file as a heap of
// blocks, its disk B-tree and the record index, whose child records are the
// top-level children of the store.
//
// Each stored object is one object graph in a block of its own, found in
// the B-tree under its record's key string (the serial number in
// hexadecimal). A composite is stored as a shell without children, its
// children each in a block of their own; a nested store (a handle, or a
// command list kept on disk) is written as itself and held by its record.
// While the store is open the record index lives in memory; closing writes
// it into the file under "IndexOfRecords", and opening reads it back. The
// index read stays in the file until a new one has been written whole, so a
// close that fails loses no record that the file held.
//
// Stored files are untrusted: opening checks that every block the store
// reaches is a block of its own, apart from free space, and that the index
// reads whole. A store that cannot read its file, or whose file is laid out
// otherwise, is failed: it hands out what it can read and writes nothing.
//
// Keys are unique: an object whose serial number is 0 or already a key of
// the file (a copy of a stored object, or an object of a tree whose serial
// numbers were cleared) is stored as a copy with a fresh serial number.
//
// Every operation takes StoreLock.
class MPersistentCompositeOnDiskImp : public MPersistentObject {
 public:
  static constexpr char kIndexKey[] = "IndexOfRecords";
  // The shape of a store's B-tree.
  static constexpr uint32_t kKeyLength = 16;
  static constexpr uint32_t kOrder = 10;
  static constexpr uint32_t kMinimumFill = 10;
  static constexpr uint32_t kCacheBlocks = 10;
  // Beyond this many top-level records only page ends are still taken.
  static constexpr uint32_t kMaxTopLevelRecords = 0x3FFFFFEF;

  // No file, no records, an empty path.
  MPersistentCompositeOnDiskImp();
  // Opens the file (see OpenFile); a file that is missing is created only
  // when mayCreate is set.
  MPersistentCompositeOnDiskImp(const RWCString& path, int32_t key, bool mayCreate);
  // Closes the file, writing the record index.
  ~MPersistentCompositeOnDiskImp() override;
  MPersistentCompositeOnDiskImp(const MPersistentCompositeOnDiskImp&) = delete;
  MPersistentCompositeOnDiskImp& operator=(const MPersistentCompositeOnDiskImp&) = delete;

  RWCollectable* NewInstance() const override { return new MPersistentCompositeOnDiskImp; }
  // An implementation of nothing: files are not copied.
  RWCollectable* Clone() const override { return new MPersistentCompositeOnDiskImp; }
  RWClassID ClassID() const override { return kMPersistentCompositeOnDiskImpClassID; }
  // Only implementations that share the very same records.
  bool SameContent(const MPersistentObject& other) const override;

  // Opens the file, or creates it when it does not exist, and reads the
  // record index of an existing one. A file that cannot be opened, or that
  // is not a store, leaves the implementation failed.
  void OpenFile();
  // Writes the record index into the file and closes it.
  void CloseFile();
  // Erases the file and starts it again empty, with no records.
  void Reset();

  const RWCString& Path() const { return path_; }
  void FileName(RWCString& name) const { name = path_; }
  // The failed flag, or the file's error flag.
  bool HasFailed() const;
  // Reading its file while being opened.
  bool IsOpening() const { return opening_; }

  // Stores the object; answers its record, or null when it could not be
  // stored. A top-level object's record goes to the record index.
  GRecord* StoreObject(const MPersistentObject& object, bool replacing);
  // The record's object read back, with the objects of its child records
  // attached; an empty reference when the file does not hold it. A take
  // removes the objects from the file, a fetch leaves them there.
  GObjectRef TakeObject(GRecord& record);
  GObjectRef FetchObject(GRecord& record);
  // Takes the record's object out and stores the object in its place, its
  // record appended to the record index (the caller moves it where the old
  // record was). False when the record's object is not in the file or the
  // object could not be stored.
  bool ReplaceObject(GRecord& record, const MPersistentObject& object);
  GRecordComposite& Records() { return records_; }
  const GRecordComposite& Records() const { return records_; }

  // Children of the store: adding stores a child, the finding operations
  // take the matching child out of the store, the SharedIf operations read
  // a copy, the replacing operations put another object in its place.
  void AddShared(const GObjectRef& node) override;
  void InsertShared(const GObjectRef& node) override;
  GObjectRef FindSharedByNode(const MPersistentObject* node) override;
  GObjectRef FindSharedByKey(int32_t key) override;
  GObjectRef FindSharedByClassId(RWClassID id) override;
  bool ReplaceSharedByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object) override;
  // Replaces the child with the serial number of old.
  bool ReplaceShared(const MPersistentObject& old, const MPersistentObject& object);
  void RemoveAllChildren() override;
  GObjectRef SharedIfKey(int32_t key) override;
  GObjectRef SharedIfClassId(RWClassID id) override;
  GObjectRef SharedIfEqual(const MPersistentObject& other) override;
  MPersistentObject* AsComposite() override { return this; }
  // The stored objects below the record index.
  uint32_t EntryCount() const override;
  uint32_t NodeCount() const override;
  // Walks the top-level records.
  std::unique_ptr<GIterator> NewChildIterator() override;
  // Calls function with a fresh copy of each top-level child, in order.
  void ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user);

 protected:
  // The version word alone.
  void Fields(GFieldArchive& archive) override;

 private:
  GRecordRef StoreRecord(const MPersistentObject& object, bool replacing, uint32_t depth);
  bool Admits(RWClassID id, bool replacing) const;
  GRecordRef StoreNestedStore(const MPersistentObject& object);
  GRecordRef StoreComposite(const MPersistentObject& object, bool replacing, uint32_t depth);
  GRecordRef StoreLeaf(const MPersistentObject& object);
  // The object itself, or a copy with a fresh serial number when its own is
  // not free in the file; null when no copy could be made.
  const MPersistentObject* UniquelyNumbered(const MPersistentObject& object, std::unique_ptr<MPersistentObject>& copy);
  // Free for a new object: not 0 and not a key of the file.
  bool KeyIsFree(uint32_t serialNumber);
  bool HasKey(uint32_t serialNumber);
  bool WriteObject(const MPersistentObject& object, const GRecord& record);
  GObjectRef RetrieveObject(GRecord& record, bool take);
  bool HoldsGraph(int32_t offset);
  GObjectRef ReadObjectAt(int32_t offset);
  void AttachChildren(const GObjectRef& object, GRecord& record, bool take);
  // Opens the file and its tree and reads the index; false when the file
  // cannot be opened or is no store.
  bool OpenStoreFile();
  bool LayoutIsSound();
  void RestoreIndex();
  void WriteIndex();
  bool Fail();
  bool FileIsUsable() const;

  std::unique_ptr<GFileSpaceManager> manager_;
  std::unique_ptr<GDiskBTree> tree_;
  GRecordComposite records_;
  RWCString path_;
  int32_t failed_ = 0;
  bool opening_ = false;
  bool mayCreate_ = false;
};
