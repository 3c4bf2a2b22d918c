#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"
#include "model/objects/child_iterator.h"
#include "model/objects/class_ids.h"
#include "model/objects/field_archive.h"
#include "model/objects/object_ref.h"

class MPersistentComposite;

// The root of every model class: settings attributes, composites, device
// objects, graphics, commands, page filters and generators. It adds to the
// collectable base a reference count shared by the object's owners, a 32-bit
// key by which nodes are found in trees, and a serial number that tells
// objects apart within the process. It also declares the whole tree
// interface with the answers of a leaf; composites override it.
//
// Ownership: an object starts unowned. Each owner (a GObjectRef, a counted
// pointer, a composite's child vector) adds a reference; the owner whose
// release leaves nobody deletes the object. An object that never had an
// owner is deleted by whoever made it.
//
// Stored part: the version word 1, the key and the serial number, 32 bits
// each. Every subclass lists its stored part in Fields (see GFieldArchive):
// its base part, then its own version word, then its fields.
class MPersistentObject : public GArchivedCollectable {
 public:
  MPersistentObject();
  explicit MPersistentObject(int32_t key);
  // Key and serial number are copied (a copy carries the same serial
  // number); the copy starts unowned.
  MPersistentObject(const MPersistentObject& other);
  // Copies key and serial number, never the reference count.
  MPersistentObject& operator=(const MPersistentObject& other);
  // Releases nothing: by the time an object is destroyed it has no owner.
  ~MPersistentObject() override = default;

  // The format version of this class's stored part.
  static uint32_t FormatVersion() { return 1; }

  int32_t Key() const { return key_; }
  void SetKey(int32_t key) { key_ = key; }

  // Reference counting. The count is the number of owners minus one.
  // ReleaseReference answers the count from before, so 0 tells the caller
  // that it was the last owner and must delete the object.
  int32_t ReferenceCount() const { return references_.load(std::memory_order_acquire); }
  void AddReference();
  int32_t ReleaseReference();

  // Takes the next number of the process-wide counter (which skips 0).
  void NextSerialNumber();
  void SetSerialNumber(uint32_t serialNumber) { serialNumber_ = serialNumber; }
  // Sets the serial number of this node and of every node below it to 0.
  void ClearSerialNumbers();

  // Collectable operations.
  // Orders by address.
  int32_t Compare(const RWCollectable* other) const override;
  // Same class ID and SameContent.
  bool Equals(const RWCollectable* other) const override;

  // True for the class's own ID and the IDs on its base chain up to 751,
  // as the class-ID table gives them.
  virtual bool IsKindOf(RWClassID id) const;
  // Same key; subclasses add their class ID and their own data.
  virtual bool SameContent(const MPersistentObject& other) const;
  bool DiffersFrom(const MPersistentObject& other) const { return !SameContent(other); }

  // Tree operations. A leaf has no children: adding does nothing, removing
  // and replacing find nothing. Removed nodes belong to the caller.
  virtual void AddChild(MPersistentObject* node);
  virtual void InsertFirstChild(MPersistentObject* node);
  virtual MPersistentObject* RemoveChild(const MPersistentObject* node);
  virtual MPersistentObject* RemoveChildByKey(int32_t key);
  virtual MPersistentObject* RemoveChildByClassId(RWClassID id);
  // Replacements put a deep copy of the object in the tree and answer
  // whether a node was replaced; the object itself is not taken.
  virtual bool ReplaceChildByKey(int32_t key, const MPersistentObject& object);
  virtual bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object);
  virtual bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object);
  virtual bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object);

  // Shared children, which stores that keep their children outside memory
  // implement; everything else finds nothing and changes nothing.
  virtual void AddShared(const GObjectRef& node);
  virtual void InsertShared(const GObjectRef& node);
  virtual GObjectRef FindSharedByNode(const MPersistentObject* node);
  virtual GObjectRef FindSharedByKey(int32_t key);
  virtual GObjectRef FindSharedByClassId(RWClassID id);
  virtual bool ReplaceSharedByKey(int32_t key, const MPersistentObject& object);
  virtual bool ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object);

  virtual void RemoveAllChildren();

  // Searches. A leaf answers itself when it passes the test; a composite
  // searches below itself, depth first.
  virtual MPersistentObject* FindByKey(int32_t key);
  virtual MPersistentObject* FindByClassId(RWClassID id);
  virtual MPersistentObject* FindEqual(const MPersistentObject& other);
  virtual MPersistentObject* FindKindOf(RWClassID id);

  // Collecting adds every matching leaf to the given composite (a leaf adds
  // itself) and answers that composite.
  virtual MPersistentObject& CollectByClassId(RWClassID id, MPersistentObject& composite);
  virtual MPersistentObject& CollectByKey(int32_t key, MPersistentObject& composite);
  virtual MPersistentObject& CollectKindOf(RWClassID id, MPersistentObject& composite);
  // Selecting collects into a new composite that belongs to the caller;
  // null when nothing matched.
  virtual MPersistentObject* SelectByKey(int32_t key);
  virtual MPersistentObject* SelectByClassId(RWClassID id);
  virtual MPersistentObject* SelectKindOf(RWClassID id);

  // Counted references to this object when it passes the test, else empty.
  virtual GObjectRef SharedIfKey(int32_t key);
  virtual GObjectRef SharedIfClassId(RWClassID id);
  virtual GObjectRef SharedIfEqual(const MPersistentObject& other);

  // This node when it is a composite (it has a child vector), null for a
  // leaf.
  virtual MPersistentObject* AsComposite();
  virtual uint32_t SerialNumber() const { return serialNumber_; }
  // Direct children (1 for a leaf) and nodes of the subtree (this one too).
  virtual uint32_t EntryCount() const;
  virtual uint32_t NodeCount() const;
  virtual std::unique_ptr<GIterator> NewChildIterator();
  // The class ID that families of classes share for merging; the class ID
  // itself unless a family says otherwise.
  virtual RWClassID BaseTypeId() const { return ClassID(); }
  // A leaf's Clone; for a composite, a new node with the same key holding
  // deep copies of the children. The copy is unowned.
  virtual MPersistentObject* DeepCopy() const;

  // Clone and NewInstance as model objects.
  MPersistentObject* CloneObject() const;
  MPersistentObject* NewObject() const;

 protected:
  // other as a T when it is of this object's class and has this object's
  // key, else null: where every SameContent starts.
  template <typename T>
  const T* SameClassAndKey(const MPersistentObject& other) const {
    if (other.ClassID() != ClassID() || other.key_ != key_) return nullptr;
    return dynamic_cast<const T*>(&other);
  }

  // Key and serial number; a stored serial number of 0 keeps the object's
  // own, and a truncated part changes neither.
  void Fields(GFieldArchive& archive) override;

 private:
  const MPersistentObject* RestoredOwner() const override { return this; }

  friend class GObjectRef;

  // Gives up the reference of an owner that is the only one, leaving the
  // object unowned; false, changing nothing, when other owners exist.
  bool ReleaseIfSole();
  // The test of Select and Collect: this leaf, put into a composite when
  // it passes.
  MPersistentObject* SelectIf(bool passes);

  std::atomic<int32_t> references_{-1};
  int32_t key_ = 0;
  uint32_t serialNumber_ = 0;
};

// Typed reads of an object pointer, for every model class: each reads one
// object reference into a variable that starts from null. A stored object
// that is not a T leaves the variable null and is deleted once the restore
// is over (unless something read meanwhile owns it).
MPersistentObject* ReadModelObject(GBinaryFile& file, bool (*accepts)(const MPersistentObject& object));
MPersistentObject* ReadModelObject(GVirtualInStream& stream, bool (*accepts)(const MPersistentObject& object));

// Whether a model object read is a T.
template <typename T>
bool IsModelObjectOf(const MPersistentObject& object) {
  if constexpr (std::is_same_v<T, MPersistentObject>) {
    return true;
  } else {
    return dynamic_cast<const T*>(&object) != nullptr;
  }
}

template <typename T>
requires std::is_base_of_v<MPersistentObject, T> GBinaryFile& ReadObjectFromFile(GBinaryFile& file, T*& object) {
  object = static_cast<T*>(ReadModelObject(file, IsModelObjectOf<T>));
  return file;
}

template <typename T>
requires std::is_base_of_v<MPersistentObject, T> GVirtualInStream& ReadObjectFromStream(GVirtualInStream& stream,
                                                                                        T*& object) {
  object = static_cast<T*>(ReadModelObject(stream, IsModelObjectOf<T>));
  return stream;
}
