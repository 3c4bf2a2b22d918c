#pragma once

#include "foundation/rw_set.h"

// A set of distinct pointers: members are hashed and compared by address,
// never through their own virtual operations, so two equal objects are both
// kept and objects may be held while they are being destroyed.
class RWIdentitySet : public RWSet {
 public:
  using RWSet::RWSet;

  RWCollectable* NewInstance() const override;
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWIdentitySetClassID; }
  static RWClassID StaticClassID() { return kRWIdentitySetClassID; }
  // Another identity set holding the same pointers.
  bool Equals(const RWCollectable* other) const override;

  // The pointer when that very pointer is stored, else null.
  RWCollectable* Find(const RWCollectable* object) const override;
  // Answers the stored pointer when present, else adds it.
  RWCollectable* Insert(RWCollectable* member) override;
  // Unlinks that very pointer.
  RWCollectable* Remove(const RWCollectable* object) override;

 private:
  uint32_t BucketOfAddress(const void* object) const { return BucketOfHash(AddressHash(object)); }
};
