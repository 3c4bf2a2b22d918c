#pragma once

#include <cstdint>
#include <optional>

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "foundation/virtual_stream.h"
#include "model/objects/object_ref.h"
#include "model/objects/reference_reader.h"

class GCountedPtrVector;
class MPersistentObject;

// A class's stored part, written once as a list of fields, from which its
// stored size, its saves to a binary file and to a virtual stream and its
// restores from both are all derived.
//
// Usage: a persistent class overrides Fields, calls its base's Fields first,
// then gives its version word and its fields in stored order:
//
//   void GValueAttribute::Fields(GFieldArchive& archive) {
//     GAttribute::Fields(archive);
//     if (!archive.Version(FormatVersion())) return;
//     archive.Int16(value_);
//   }
//
// The same list runs for every operation: while the archive saves or sizes
// it only reads the fields it is handed (so a const object may be saved);
// while it restores it sets them. Each field answers whether it was saved,
// or read and set; a number whose read fails keeps its value. Code that must
// run only on restore (values read together, a check after reading) asks
// IsRestoring and reads into locals.
//
// A version word the class does not read stops the restore: Version answers
// false, and every field after it (of this class and of the classes derived
// from it) reads nothing and answers false. A class that reads older stored
// versions too passes the oldest it reads and asks StoredVersion which one
// came.
//
// GArchivedCollectable, below, runs the list for the five collectable
// operations; MPersistentObject and the store's records derive from it.
class GFieldArchive {
 public:
  GFieldArchive(const GFieldArchive&) = delete;
  GFieldArchive& operator=(const GFieldArchive&) = delete;

  bool IsRestoring() const { return restoring_; }
  bool IsRestoringFromFile() const { return mode_ == Mode::kRestoreFile; }
  // On restore: nothing has stopped the restore and the input has neither
  // failed nor reached its end. Always true while saving or sizing.
  bool Good();

  // The version word of a class part. Saving writes current. Restoring
  // reads the word and answers whether it lies from oldest to current;
  // otherwise the restore stops here.
  bool Version(uint32_t current) { return Version(current, current); }
  bool Version(uint32_t current, uint32_t oldest);
  // The word the last Version read (current while saving).
  uint32_t StoredVersion() const { return storedVersion_; }
  // The version word of a part without fields of its own: saved, read back
  // and not examined.
  void TrailingVersion(uint32_t current);

  // Integers in their stored width.
  bool Int8(int8_t& value);
  bool UInt8(uint8_t& value);
  bool Int16(int16_t& value);
  bool UInt16(uint16_t& value);
  bool Int32(int32_t& value);
  bool UInt32(uint32_t& value);
  // A flag stored as a 32-bit number, 1 or 0; any number but 0 reads true.
  bool Bool32(bool& value);

  // Strings in their counted forms: the 32-bit length, then the narrow
  // characters or the UTF-16 units.
  bool String(RWCString& text);
  bool WideString(RWWString& text);

  // A stored 32-bit count of items that take at least minimumItemSize bytes
  // each. Restoring checks it against the bytes left before the caller
  // allocates or loops: a count the input cannot hold fails the input and
  // answers false.
  bool Count(uint32_t& count, uint32_t minimumItemSize);
  // On restore, whether the input left can hold count items of at least
  // minimumItemSize bytes each; failing the input otherwise. For counts
  // stored in other forms (a number of bits, a 16-bit count). True while
  // saving or sizing.
  bool Holds(uint32_t count, uint32_t minimumItemSize);
  // length bytes, back to back; the caller has sized the block (after a
  // Count on restore).
  bool Bytes(uint8_t* bytes, uint32_t length);

  // An object that this one owns, as an object reference (empty as the nil
  // object). Restoring lets go of the held object, then reads; a read that
  // fails, or that the reference reader refuses (a cycle, an object that is
  // not a model object, which also fails the input), leaves the reference
  // empty and answers false.
  bool Object(GObjectRef& object);
  // The same for a reference that must name a T or the nil object:
  // restoring refuses any other class the same way.
  template <typename T>
  bool ObjectOf(GObjectRef& object);
  // A T that this object holds in place (not through a pointer) and stores
  // as an object reference. Saving writes a reference to value itself;
  // restoring reads a T and copies it into value. The nil object or another
  // class leaves value as it was, fails the input and answers false.
  template <typename T>
  bool ObjectValue(T& value);
  // An object kept inside this one, stored in place: its own stored part,
  // with no reference around it.
  bool Embedded(RWCollectable& part);
  // A child list: the count, then each child as an object reference, an
  // empty slot as the nil object. Restoring lets go of every child first;
  // reading stops at the first reference that fails, and the children read
  // before it stay.
  bool Children(GCountedPtrVector& children);

  // The same stored form for any list. List provides:
  //   uint32_t Count() const;
  //   template <typename Visit> void ForEach(Visit visit) const;
  //     (visit takes each child as a const RWCollectable*)
  //   void Clear();
  //   bool ReadChild(GFieldArchive& archive);  (false ends the list)
  template <typename List>
  bool ChildList(List& list);

  // A field whose stored form the two kinds of input carry by themselves
  // (strings, references, or a layout of a class's own that no field kind
  // above describes): save(file|stream), size() and restore(file|stream)
  // answering success.
  template <typename Save, typename Size, typename Restore>
  bool Field(const Save& save, const Size& size, const Restore& restore);

  // Reads one reference that must be an object made by this very read (an
  // object stored once, never a back-reference) accepted by accepts and
  // read whole; null otherwise, after failing the input. For lists whose children belong to
  // one place alone.
  RWCollectable* ReadFreshObject(bool (*accepts)(const RWCollectable& object));

  // On restore, marks the input failed: for a value read that the class
  // refuses.
  void FailInput();

 private:
  friend class GArchivedCollectable;

  enum class Mode { kSize, kSaveFile, kSaveStream, kRestoreFile, kRestoreStream };

  explicit GFieldArchive(uint32_t& size);
  explicit GFieldArchive(GBinaryFile& file, bool restoring, const MPersistentObject* owner);
  explicit GFieldArchive(GVirtualOutStream& stream);
  GFieldArchive(GVirtualInStream& stream, const MPersistentObject* owner);

  template <typename Value>
  bool Number(Value& value);
  // The fewest bytes a stored object reference takes in this input.
  uint32_t MinimumReferenceSize() const;
  void WriteReference(const RWCollectable* object);
  const GReferenceReader& Reader();

  Mode mode_;
  bool restoring_;
  bool stopped_ = false;
  uint32_t storedVersion_ = 0;
  uint32_t* size_ = nullptr;
  GBinaryFile* file_ = nullptr;
  GVirtualOutStream* out_ = nullptr;
  GVirtualInStream* in_ = nullptr;
  const MPersistentObject* owner_ = nullptr;
  // Made when a restore starts and kept to its end, so that every object
  // read while the object restores (by its fields or by code of its own
  // that reads references) stays alive as long as a later back-reference
  // of the same restore may name it.
  std::optional<GReferenceReader> reader_;
};

// A collectable whose stored part is its field list: the five collectable
// operations (stored size, two saves, two restores) run Fields through an
// archive. Classes derived from it override Fields only; the saves and
// restores are final, so that no class writes a form its stored size and
// its restore do not know.
class GArchivedCollectable : public RWCollectable {
 public:
  GArchivedCollectable() = default;
  GArchivedCollectable(const GArchivedCollectable&) = default;
  GArchivedCollectable& operator=(const GArchivedCollectable&) = default;

  // Left open only for tests that need an object misreporting its size.
  uint32_t StoredSize() const override;
  void RestoreContentsFromStream(GVirtualInStream& stream) final;
  void RestoreContentsFromFile(GBinaryFile& file) final;
  void SaveContentsToStream(GVirtualOutStream& stream) const final;
  void SaveContentsToFile(GBinaryFile& file) const final;

 protected:
  // The stored part of the collectable base is empty.
  virtual void Fields(GFieldArchive&) {}

 private:
  // The object itself while it is restored, so that the references it reads
  // cannot make it own itself; null for collectables that are no model
  // objects.
  virtual const MPersistentObject* RestoredOwner() const { return nullptr; }
  // Fields of an object the archive only reads (saving and sizing).
  void ReadOnlyFields(GFieldArchive& archive) const { const_cast<GArchivedCollectable*>(this)->Fields(archive); }
};

template <typename T>
bool GFieldArchive::ObjectOf(GObjectRef& object) {
  if (!Object(object)) return false;
  if (!restoring_ || object.IsEmpty() || dynamic_cast<const T*>(object.Get()) != nullptr) return true;
  object = nullptr;
  FailInput();
  return false;
}

template <typename T>
bool GFieldArchive::ObjectValue(T& value) {
  if (stopped_) return false;
  if (!restoring_) {
    WriteReference(&value);
    return true;
  }
  // What was read stays alive until the restore ends, as later references
  // may name it.
  GObjectRef read;
  if (!ObjectOf<T>(read)) return false;
  if (read.IsEmpty()) {
    FailInput();
    return false;
  }
  value = static_cast<const T&>(*read);
  return true;
}

template <typename List>
bool GFieldArchive::ChildList(List& list) {
  if (stopped_) return false;
  if (!restoring_) {
    uint32_t count = list.Count();
    Count(count, 0);
    list.ForEach([this](const RWCollectable* child) { WriteReference(child); });
    return true;
  }
  list.Clear();
  uint32_t count = 0;
  if (!Count(count, MinimumReferenceSize())) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (!list.ReadChild(*this)) return false;
  }
  return true;
}

template <typename Save, typename Size, typename Restore>
bool GFieldArchive::Field(const Save& save, const Size& size, const Restore& restore) {
  if (stopped_) return false;
  switch (mode_) {
    case Mode::kSize:
      *size_ += size();
      return true;
    case Mode::kSaveFile:
      save(*file_);
      return true;
    case Mode::kSaveStream:
      save(*out_);
      return true;
    case Mode::kRestoreFile:
      return restore(*file_);
    case Mode::kRestoreStream:
      return restore(*in_);
  }
  return false;
}
