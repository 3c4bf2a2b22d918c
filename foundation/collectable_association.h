#pragma once

#include <cstdint>

#include "foundation/rw_collectable.h"

// A key and a value, owning neither. It hashes, orders and tests equal like
// its key, so a hashed collection or a B-tree finds it from the bare key.
class RWCollectableAssociation : public RWCollectable {
 public:
  RWCollectableAssociation() = default;
  RWCollectableAssociation(RWCollectable* key, RWCollectable* value) : key_(key), value_(value) {}

  RWCollectable* NewInstance() const override;
  // A new association of the same two pointers.
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWCollectableAssociationClassID; }
  static RWClassID StaticClassID() { return kRWCollectableAssociationClassID; }
  // The key's references, value after key.
  uint32_t StoredSize() const override;
  // The negated order of the other object against the key.
  int32_t Compare(const RWCollectable* other) const override;
  uint32_t HashValue() const override;
  // The other object's Equals applied to the key.
  bool Equals(const RWCollectable* other) const override;
  // Key, then value, each as an object reference; restore first sets both
  // to null.
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;
  void SaveContentsToStream(GVirtualOutStream& stream) const override;
  void SaveContentsToFile(GBinaryFile& file) const override;

  RWCollectable* Key() const { return key_; }
  RWCollectable* Value() const { return value_; }
  // Stores the new value and answers the old one.
  RWCollectable* SetValue(RWCollectable* value);

 private:
  RWCollectable* key_ = nullptr;
  RWCollectable* value_ = nullptr;
};

// An association keyed by a class ID in place of a key object. The ID is
// never taken for an object: it hashes, orders, tests equal and is saved as
// the number it is.
class RWCollectableIDAssociation : public RWCollectableAssociation {
 public:
  RWCollectableIDAssociation() = default;
  RWCollectableIDAssociation(RWClassID id, RWCollectable* value) : RWCollectableAssociation(nullptr, value), id_(id) {}

  RWCollectable* NewInstance() const override;
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWCollectableIDAssociationClassID; }
  static RWClassID StaticClassID() { return kRWCollectableIDAssociationClassID; }
  // The 16-bit ID, then the value's reference.
  uint32_t StoredSize() const override;
  // By ID against another ID association; otherwise by address.
  int32_t Compare(const RWCollectable* other) const override;
  // id XOR (id >> 3).
  uint32_t HashValue() const override;
  // Another ID association with the same ID.
  bool Equals(const RWCollectable* other) const override;
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;
  void SaveContentsToStream(GVirtualOutStream& stream) const override;
  void SaveContentsToFile(GBinaryFile& file) const override;

  RWClassID ID() const { return id_; }

 private:
  RWClassID id_ = 0;
};
