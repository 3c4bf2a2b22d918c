#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/rw_wstring.h"
#include "graphics/fonts/keyed_pool.h"

class GLock;
class GTTFontFile;
class GTTFontFileImp;

// An object of the host that belongs with one font's data; the pool deletes
// it when the font's last handle lets go of the font.
class GTTAttachedObject {
 public:
  GTTAttachedObject() = default;
  GTTAttachedObject(const GTTAttachedObject&) = delete;
  GTTAttachedObject& operator=(const GTTAttachedObject&) = delete;
  virtual ~GTTAttachedObject() = default;

  virtual const GTTFontFileImp* GetFontData() const = 0;
};

// The process's TrueType fonts, keyed by font key: each font's data is
// read once and shared by every job. The pool counts one use of a font for
// its entry and one per handle; a font's data is deleted with its last use.
//
// A job is named by an owner value (its graphics device's handle). The job
// saves the fonts it used beside its spooled pages and reads them back
// later, merged with what the process holds by then; see SaveToStream and
// RestoreFromStream.
//
// Every operation takes the pool's lock first and lets it go last; the
// pool's lock always comes before a font data's lock. A failed lock is fatal
// error 301, a failed release 302.
class GTTFontPool {
 public:
  GTTFontPool();
  GTTFontPool(const GTTFontPool&) = delete;
  GTTFontPool& operator=(const GTTFontPool&) = delete;
  // Deletes the attached objects; the fonts must have been released.
  virtual ~GTTFontPool();

  // The process's pool, which the host makes and hands over with
  // SetInstance; null before.
  static GTTFontPool* Instance();
  // The pool becomes the process's; the previous one is deleted.
  static void SetInstance(std::unique_ptr<GTTFontPool> pool);
  // Deletes the process's pool and forgets it.
  static void Destroy();

  // A new handle on the font data; the caller owns it.
  GTTFontFile* NewFontFile(GTTFontFileImp* fontData);
  // The key counter, raised by one.
  uint32_t NextKey();
  // Enters the font data under its key and counts the entry's use; 0 when
  // the key is taken.
  int32_t Add(GTTFontFileImp* fontData);
  // The font data of the key when its change count is at least the
  // minimum, with one more use; null otherwise, and null for a handle met
  // inside the pool's own stored form while it is restored.
  GTTFontFileImp* Find(uint32_t key, uint32_t minimumChangeCount);
  // Drops one use of the font data (a handle's); 1 when that deleted it.
  int32_t Release(GTTFontFileImp* fontData);
  // Takes the entry out and hands over its font data, uses unchanged.
  GTTFontFileImp* Remove(uint32_t key);
  // Takes the entry out and drops its use, deleting the font data when
  // nothing else uses it; 1 when the key was there.
  int32_t ReleaseKey(uint32_t key);
  int32_t Contains(uint32_t key);
  // ReleaseKey for every key.
  void ReleaseAll();
  // The job lets go of the fonts it restored: a font whose last owner it
  // was and that only the pool uses is deleted.
  void ReleaseOwner(uint32_t owner);
  // Deletes the attached objects and forgets every entry, giving back the
  // entry's use: font data that handles still use stays with them and goes
  // with their last use. The key counter starts again at 0.
  void Clear();

  // Write the fonts whose user list names the owner, as the keyed pool's
  // stored form, and take the owner out of each written font's user list:
  // a job saves a font once after each use. 1 when every counted font was
  // written and the output shows no error.
  int32_t SaveToStream(GVirtualOutStream& stream, uint32_t owner);
  int32_t SaveToFile(GBinaryFile& file, uint32_t owner);
  // The same into a binary file stream that the OS factory opens on the
  // name; 0 when there is no such stream.
  int32_t SaveToNamedFile(const RWWString& fileName, uint32_t owner);
  // Read saved fonts and merge them into the pool. A font under a new key
  // enters with the pool's use. Over a font the pool holds, a restored font
  // with a higher change count replaces the pool's when no handle uses it,
  // or else lends it its caches and change count; a restored font that is
  // not newer is dropped. 1 when every saved font was read whole.
  int32_t RestoreFromStream(GVirtualInStream& stream);
  int32_t RestoreFromFile(GBinaryFile& file);
  // The same from a binary file stream that the OS factory opens on the
  // name; the owner enters the owner list of every font it restores, so
  // that ReleaseOwner lets go of them again.
  int32_t RestoreFromNamedFile(const RWWString& fileName, uint32_t owner);

  // Keeps an object of the host until its font's last handle goes.
  void Attach(std::unique_ptr<GTTAttachedObject> object);
  // Deletes the first attached object of the font data.
  virtual void DetachFont(GTTFontFileImp* fontData);

 private:
  class Locked;

  int32_t ReleaseKeyUnlocked(uint32_t key);
  void DetachFontUnlocked(const GTTFontFileImp* fontData);
  template <typename Output>
  int32_t SaveTo(Output& output, uint32_t owner);
  template <typename Input>
  int32_t RestoreFrom(Input& input, std::optional<uint32_t> owner);
  static int32_t Conflict(MPersistentObject* object, MPersistentObject* other, int32_t event);
  static int32_t SaveFilter(MPersistentObject* value, int32_t phase, void* owner);

  std::atomic<GLock*> lock_{nullptr};
  std::vector<std::unique_ptr<GTTAttachedObject>> attached_;
  std::unique_ptr<GKeyedPool> fonts_;
  uint32_t keyCounter_ = 0;
};
