#pragma once

#include <set>
#include <string>

#include "foundation/rw_cstring.h"

// Which files the on-disk stores may create, open and delete.
//
// A path that code hands a store handle is the code's own choice: the store
// opens the file there, creating it when it is missing. A path read from
// stored data (a restored handle, which printer data and spool files can
// hold) is untrusted: such a handle never creates a file, and opens only a
// store file that a store of this process created, or an existing file
// inside the directories where the system keeps temporary and spool files
// (GOSFactory::GetSpoolDirectories). Whatever its path, a handle deletes its
// file only when a store of this process created it.
//
// Paths are compared as the file system resolves them (links followed,
// "." and ".." taken out). Used under StoreLock.
class GStoreFiles {
 public:
  static GStoreFiles& Instance();

  GStoreFiles() = default;
  GStoreFiles(const GStoreFiles&) = delete;
  GStoreFiles& operator=(const GStoreFiles&) = delete;

  // A store of this process created the file, or it deleted it.
  void NoteCreated(const RWCString& path);
  void NoteDeleted(const RWCString& path);
  bool WasCreated(const RWCString& path) const;

  // Whether a path read from stored data may be opened: an existing,
  // non-empty regular file that this process created or that lies inside
  // one of the spool directories.
  bool MayOpenFromData(const RWCString& path) const;

 private:
  std::set<std::string> created_;
};
