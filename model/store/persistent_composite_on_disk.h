#pragma once

#include <cstdint>
#include <memory>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/objects/counted_ptr.h"
#include "model/objects/persistent_object.h"

class MPersistentCompositeOnDiskImp;

// A composite whose children live in a file: adding a child writes the
// child's object graph into a block of the store file, finding a child
// reads it back and takes it out of the file. The render side keeps its page
// spool files this way.
//
// The handle is small; the work is done by an implementation shared by
// every handle on the same file through the process-wide list of open
// stores. A handle is closed until it is opened, and any child operation
// opens it first. A restored handle opens its file at once.
//
// A restored handle's path came from stored data: it never creates a file
// and opens only the store files that GStoreFiles allows; a path it may not
// open fails the restore and leaves the handle failed. Whatever its path, a
// handle deletes only a file that a store of this process created.
//
// Stored contents after the base part: version 1, the state (1 open, 2
// closed), the file path (narrow string) and the option (1 = delete the
// file when the handle goes and no other handle uses it).
class MPersistentCompositeOnDisk : public MPersistentObject {
 public:
  static constexpr int32_t kOpen = 1;
  static constexpr int32_t kClosed = 2;
  static constexpr int32_t kDeleteFile = 1;

  // A closed handle with an empty path, key 0 and option 0.
  MPersistentCompositeOnDisk();
  // Opens the file at path (converted to narrow text), creating it when it
  // does not exist.
  MPersistentCompositeOnDisk(const RWWString& path, int32_t option, int32_t key);
  // Shares the source's implementation; a copy of an open handle is open.
  MPersistentCompositeOnDisk(const MPersistentCompositeOnDisk& other);
  MPersistentCompositeOnDisk& operator=(const MPersistentCompositeOnDisk&) = delete;
  // Closes the handle and deletes the file when the option says so.
  ~MPersistentCompositeOnDisk() override;

  RWCollectable* NewInstance() const override { return new MPersistentCompositeOnDisk; }
  RWCollectable* Clone() const override { return new MPersistentCompositeOnDisk(*this); }
  RWClassID ClassID() const override { return kMPersistentCompositeOnDiskClassID; }
  // Same class, path, state, implementation and option.
  bool SameContent(const MPersistentObject& other) const override;

  // Opens the handle on the file unless it is open: it shares the
  // implementation of another handle on the file, or makes one.
  void Open(const RWCString& path);
  // Closes the handle unless it is closed. The handle keeps its reference
  // to the implementation while another handle on the file is open.
  void Close();
  void FileName(RWCString& name);
  // Whether the store is unusable: asked of the implementation while open,
  // otherwise the answer kept from then.
  bool HasFailed();
  const RWCString& Path() const { return path_; }
  int32_t State() const { return state_; }
  int32_t Option() const { return option_; }
  // The implementation, or null while the handle is closed.
  const MPersistentCompositeOnDiskImp* Implementation() const;

  // Children, through the implementation (see there).
  void AddShared(const GObjectRef& node) override;
  void InsertShared(const GObjectRef& node) override;
  GObjectRef FindSharedByNode(const MPersistentObject* node) override;
  GObjectRef FindSharedByKey(int32_t key) override;
  GObjectRef FindSharedByClassId(RWClassID id) override;
  bool ReplaceSharedByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object) override;
  void RemoveAllChildren() override;
  GObjectRef SharedIfKey(int32_t key) override;
  GObjectRef SharedIfClassId(RWClassID id) override;
  GObjectRef SharedIfEqual(const MPersistentObject& other) override;
  MPersistentObject* AsComposite() override { return this; }
  uint32_t EntryCount() const override;
  uint32_t NodeCount() const override;
  std::unique_ptr<GIterator> NewChildIterator() override;
  // Replaces the stored child with the serial number of old.
  virtual bool ReplaceShared(const MPersistentObject& old, const MPersistentObject& object);
  virtual void NoOperation() {}
  // Calls function with a fresh copy of each top-level child, in order.
  void ForEachChild(void (*function)(GCountedPtr& element, void* user), void* user);

 protected:
  // The stored state is read and not used: a restored handle is opened, on
  // the terms of a path from stored data.
  void Fields(GFieldArchive& archive) override;

 private:
  // The implementation, opening the handle first; held for the call, which
  // runs under StoreLock.
  GObjectRef GetImplementation();
  // Runs call on the implementation under StoreLock; without one (a file
  // that could not be opened as a store) answers the result type's default.
  template <typename Call>
  auto Forward(Call call);
  // Leaves the handle open without an implementation, failed: its file is
  // being read by a store that holds it (a store inside itself, directly or
  // through others), or too many stores are being opened inside each other.
  void Refuse();

  RWCString path_;
  int32_t state_ = kClosed;
  GObjectRef implementation_;
  int32_t option_ = 0;
  int32_t failed_ = 0;
  // The path was read from stored data (this handle, or the one it copies,
  // was restored).
  bool fromData_ = false;
};
