#pragma once

#include <cstdint>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/rw_wstring.h"
#include "foundation/virtual_stream.h"
#include "graphics/fonts/keyed_pool.h"

class GFontImp;
class GGraphicsDevice;

// The job's font database, owned by the job's graphics device: the job's
// font bodies keyed by font ID, each entry holding one use of its body, and
// the process-wide counter that gives every body its font ID.
//
// Between spooling and replay the job's fonts move through a file beside
// the spooled pages. The file holds two keyed-pool records: the TrueType
// fonts the job used since its last save (the process's TrueType pool,
// with the job's owner value, its device's handle), then the bodies whose
// handles were saved since the last save (their save marks). Saving to a
// file unloads the job's fonts that nothing else holds; loading a file
// unloads first and merges what it reads with what the process holds. The
// files a database saved are deleted when it releases everything.
//
// The database has no lock of its own: a job's database is used by the
// job's thread only. Only the font ID counter is shared.
class GFontDatabase {
 public:
  explicit GFontDatabase(GGraphicsDevice* device);
  GFontDatabase(const GFontDatabase&) = delete;
  GFontDatabase& operator=(const GFontDatabase&) = delete;
  // ReleaseAll.
  ~GFontDatabase();

  GGraphicsDevice* GetDevice() const { return device_; }
  // For a device that is going: its handle can no longer be asked for, so
  // later releases leave the process's TrueType pool to its own clearing.
  void DetachDevice() { device_ = nullptr; }

  // The counter's value, raised by one, under the counter's lock (a lock
  // that fails is fatal). IDs are unique in the process: the counter only
  // grows, wrapping after 2^32 IDs.
  static uint32_t NextFontId();

  // Enters the body under its font ID and counts the entry's use; 0 when
  // the ID is taken.
  int32_t Add(GFontImp* body);
  // The body of the ID when its change count is at least the minimum, with
  // one more use; null otherwise.
  GFontImp* Find(uint32_t fontId, uint32_t minimumChangeCount);
  // Takes the entry out and hands over its body, uses unchanged.
  GFontImp* Remove(uint32_t fontId);
  // Takes the entry out and drops its use, deleting the body when no use
  // is left; 1 when the ID was there.
  int32_t Release(uint32_t fontId);
  bool Contains(uint32_t fontId) const;
  uint32_t GetCount() const;

  // Saves the job's fonts into the named file (created anew), then unloads
  // them when both parts were written. The name joins the saved files
  // whenever the file was opened. 1 on success.
  int32_t SaveToFile(const RWWString& fileName);
  // Loads the job's fonts from the named file. The file this database
  // loaded last is not read again (1 at once); a load that fails leaves no
  // such file. 1 on success.
  int32_t LoadFromFile(const RWWString& fileName);
  // The two parts on an open stream or file; the TrueType part failing
  // stops the bodies' part. The file save then unloads (the stream save
  // does not); each restore unloads first. 1 when every part was written or
  // read whole and the output or input shows no error.
  int32_t SaveToStream(GVirtualOutStream& stream);
  int32_t SaveToBinaryFile(GBinaryFile& file);
  int32_t RestoreFromStream(GVirtualInStream& stream);
  int32_t RestoreFromBinaryFile(GBinaryFile& file);

  // Lets go of the bodies that only the database holds and of the job's
  // hold on the process's TrueType fonts.
  void Unload();
  // Releases every body and the job's TrueType fonts, deletes every file
  // this database saved, and forgets the file it loaded.
  void ReleaseAll();

 private:
  // The job's owner value: its device's handle, 0 without a device.
  uint32_t Owner() const;
  template <typename Output>
  int32_t SaveTo(Output& output);
  template <typename Input>
  int32_t RestoreFrom(Input& input);
  static int32_t Conflict(MPersistentObject* object, MPersistentObject* other, int32_t event);
  static int32_t SaveFilter(MPersistentObject* value, int32_t phase, void* userData);

  // The owner; its handle names the job to the TrueType pool.
  GGraphicsDevice* device_;
  GKeyedPool fonts_;
  // The file last loaded successfully; empty otherwise.
  RWWString currentFileName_;
  // One name per file opened for saving.
  std::vector<RWWString> savedFiles_;
};
