#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/double_linked_list.h"
#include "foundation/rw_cstring.h"
#include "model/objects/object_ref.h"

class MPersistentCompositeOnDiskImp;

// The process-wide lock of the on-disk stores. It guards the list of open
// stores, opening and closing handles, and every operation on a store's
// file and records. It is recursive, as a critical section is: restoring a
// store handle opens it, and that happens inside store operations (reading a
// record index that holds nested stores, taking a stored object that is a
// handle). Every reference to an implementation is let go of under it, so
// that no implementation is found by one thread while another deletes it.
std::recursive_mutex& StoreLock();

// One open handle's entry: the file name and a reference to the
// implementation that every handle on that file shares.
struct GOpenStoreEntry {
  GDoubleLink link;
  RWCString fileName;
  GObjectRef implementation;
};

// The list of open stores: one entry for each open handle, the entries of
// one file next to each other. It also knows every implementation alive,
// whether or not an open handle refers to it, so that a file is never opened
// by two implementations at once. All of it is used under StoreLock.
class GOpenStoreList {
 public:
  // Created on first use; emptied once when the process ends.
  static GOpenStoreList& Instance();

  GOpenStoreList() = default;
  GOpenStoreList(const GOpenStoreList&) = delete;
  GOpenStoreList& operator=(const GOpenStoreList&) = delete;

  GOpenStoreEntry* FirstEntry(const RWCString& fileName);
  // A new entry right after position, or at the end when position is null.
  void AddEntry(GOpenStoreEntry* position, const RWCString& fileName, const GObjectRef& implementation);
  // Unlinks the first entry of the file and lets go of its reference;
  // false when there is none.
  bool RemoveFirstEntry(const RWCString& fileName);
  // Lets go of every entry.
  void Empty();

  void AddImplementation(MPersistentCompositeOnDiskImp* implementation);
  void RemoveImplementation(MPersistentCompositeOnDiskImp* implementation);
  // The implementation alive on the file, or null.
  MPersistentCompositeOnDiskImp* ImplementationOf(const RWCString& fileName) const;
  // How many implementations are reading their files at the moment: more
  // than one when a store is opened while another one is read.
  uint32_t OpeningCount() const;

 private:
  void Remove(GOpenStoreEntry* entry);

  GDoubleLinkedList entries_;
  std::vector<MPersistentCompositeOnDiskImp*> implementations_;
};
