#pragma once

#include <cstdint>
#include <memory>

#include "foundation/hash_table.h"

// A hash table in which no two members are equal by Equals.
class RWSet : public RWHashTable {
 public:
  using RWHashTable::RWHashTable;

  RWCollectable* NewInstance() const override;
  RWCollectable* Clone() const override;
  RWClassID ClassID() const override { return kRWSetClassID; }
  static RWClassID StaticClassID() { return kRWSetClassID; }

  // Answers the member already equal to the new one (adding nothing), else
  // adds the new member and answers it.
  RWCollectable* Insert(RWCollectable* member) override;
  // 1 or 0.
  uint32_t Occurrences(const RWCollectable* object) const override;
  // Members are distinct, so each is deleted once without further checks.
  void DeleteAll() override;

  // Every member is contained in the other collection.
  bool IsSubsetOf(const GCollection& other) const;
  // A subset with fewer members than the other.
  bool IsProperSubsetOf(const GCollection& other) const;
  // Removes every member the other does not contain.
  void IntersectWith(const GCollection& other);
  // Inserts into result every member of the smaller of the two that the
  // larger one contains.
  void IntersectInto(const GCollection& other, GCollection& result) const;
  // A new set of Count / 2 buckets holding the members of any hash table,
  // equal members merged.
  static std::unique_ptr<RWSet> CopyAsSet(const RWHashTable& table);
};
