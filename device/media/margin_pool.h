#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/objects/persistent_object.h"

// One record of unprintable margins in micrometres: four values per
// orientation, for 0, 90, 180 and 270 degrees in that order, each group
// holding the left, top, right and bottom margin.
using GMarginRecord = std::array<int32_t, 16>;

// The printer's margin records, which arrive with its stored configuration
// (key 959); the media builder reads record 0. Two pools with equal keys
// count as equal whatever their records.
//
// Stored part after the root's: version 1, the record count (32-bit), then
// the sixteen values of each record as unsigned 32-bit numbers.
class GMarginPool : public MPersistentObject {
 public:
  static constexpr int32_t kDefaultKey = 959;

  GMarginPool() : MPersistentObject(kDefaultKey) {}
  explicit GMarginPool(int32_t key) : MPersistentObject(key) {}
  GMarginPool(const GMarginPool& other) = default;
  GMarginPool& operator=(const GMarginPool& other) = default;

  // Appends a copy of the record and answers its index; -1, changing
  // nothing, for a null record.
  int32_t Add(const GMarginRecord* record);
  // The record at the index, or null.
  const GMarginRecord* GetRecord(uint32_t index) const;
  uint32_t Count() const { return static_cast<uint32_t>(records_.size()); }

  RWCollectable* NewInstance() const override { return new GMarginPool; }
  RWCollectable* Clone() const override { return new GMarginPool(*this); }
  RWClassID ClassID() const override { return kGMarginPoolClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGMarginPoolClassID || MPersistentObject::IsKindOf(id); }

 protected:
  // Restoring starts from an empty pool; a stored count is checked against
  // the bytes left before records are made, and a pool whose records do not
  // all arrive is left empty.
  void Fields(GFieldArchive& archive) override;

 private:
  std::vector<GMarginRecord> records_;
};
