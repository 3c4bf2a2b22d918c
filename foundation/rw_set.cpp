#include "foundation/rw_set.h"

#include <vector>

#include "foundation/class_registrar.h"
#include "foundation/slist_collectables.h"

namespace {

// Registered with the class factory under its class ID and name.
const GClassRegistrar registrar(CreateCollectable<RWSet>, kRWSetClassID, "RWSet");

}  // namespace

RWCollectable* RWSet::NewInstance() const { return new RWSet; }

RWCollectable* RWSet::Clone() const { return new RWSet(*this); }

RWCollectable* RWSet::Insert(RWCollectable* member) {
  if (const RWSlistCollectables* list = ListOf(member)) {
    if (RWCollectable* present = list->Find(member)) return present;
  }
  return RWHashTable::Insert(member);
}

uint32_t RWSet::Occurrences(const RWCollectable* object) const { return Find(object) != nullptr ? 1 : 0; }

void RWSet::DeleteAll() {
  ForEachMember([](RWCollectable* member) { delete member; });
  Clear();
}

bool RWSet::IsSubsetOf(const GCollection& other) const {
  bool subset = true;
  ForEachMember([&](RWCollectable* member) {
    if (subset) subset = other.Contains(member);
  });
  return subset;
}

bool RWSet::IsProperSubsetOf(const GCollection& other) const { return Count() < other.Count() && IsSubsetOf(other); }

void RWSet::IntersectWith(const GCollection& other) {
  if (other.IsEmpty()) {
    Clear();
    return;
  }
  // Collected first: removing while the buckets are walked would cut the
  // walk short.
  std::vector<RWCollectable*> absent;
  ForEachMember([&](RWCollectable* member) {
    if (!other.Contains(member)) absent.push_back(member);
  });
  for (RWCollectable* member : absent) Remove(member);
}

void RWSet::IntersectInto(const GCollection& other, GCollection& result) const {
  const bool thisIsSmaller = Count() <= other.Count();
  const GCollection& smaller = thisIsSmaller ? static_cast<const GCollection&>(*this) : other;
  const GCollection& larger = thisIsSmaller ? other : static_cast<const GCollection&>(*this);
  smaller.ForEachMember([&](RWCollectable* member) {
    if (larger.Contains(member)) result.Insert(member);
  });
}

std::unique_ptr<RWSet> RWSet::CopyAsSet(const RWHashTable& table) {
  auto set = std::make_unique<RWSet>(table.Count() / 2);
  set->InsertAll(table);
  return set;
}
