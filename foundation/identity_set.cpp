#include "foundation/identity_set.h"

#include "foundation/class_registrar.h"
#include "foundation/slist_collectables.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(CreateCollectable<RWIdentitySet>, kRWIdentitySetClassID, "RWIdentitySet");

}  // namespace

RWCollectable* RWIdentitySet::NewInstance() const { return new RWIdentitySet; }

RWCollectable* RWIdentitySet::Clone() const { return new RWIdentitySet(*this); }

bool RWIdentitySet::Equals(const RWCollectable* other) const {
  // The general table comparison merges equal members through a plain set,
  // which would let one of two equal pointers stand for the other here.
  if (other == nullptr || other->ClassID() != kRWIdentitySetClassID) return false;
  const auto* set = dynamic_cast<const RWIdentitySet*>(other);
  return set != nullptr && set->Count() == Count() && IsSubsetOf(*set);
}

RWCollectable* RWIdentitySet::Find(const RWCollectable* object) const {
  const RWSlistCollectables* list = BucketList(BucketOfAddress(object));
  return list != nullptr ? list->PointerList().FindSame(object) : nullptr;
}

RWCollectable* RWIdentitySet::Insert(RWCollectable* member) {
  if (RWCollectable* present = Find(member)) return present;
  return AppendToBucket(BucketOfAddress(member), member);
}

RWCollectable* RWIdentitySet::Remove(const RWCollectable* object) {
  RWSlistCollectables* list = BucketList(BucketOfAddress(object));
  return list != nullptr ? Uncount(list->PointerList().RemoveSame(object)) : nullptr;
}
