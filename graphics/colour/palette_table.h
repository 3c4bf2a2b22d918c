#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/colour/rgb_color.h"
#include "model/objects/object_ref.h"

// The colours of an indexed image, in index order. The table owns its
// entries; copies and assignments clone them.
//
// Stored part after the root's: version 1; the entry count (32-bit); each
// entry as an object reference.
class GPaletteTable : public MPersistentObject {
 public:
  // White (255, 255, 255) then black (0, 0, 0), both with 255 in the
  // fourth component.
  GPaletteTable();
  // A clone of each colour, in order.
  explicit GPaletteTable(std::span<const GRGBColor> colors);
  // Clones of the other's entries under key 0 and a serial number of this
  // table's own.
  GPaletteTable(const GPaletteTable& other);
  // Lets go of the entries held and takes clones of the other's; the key
  // and serial number stay.
  GPaletteTable& operator=(const GPaletteTable& other);

  // The colour at the index, still the table's; for an index not below the
  // count, the class library's index error is raised and the answer is
  // null.
  GRGBColor* GetEntry(uint32_t index) const;
  uint32_t GetCount() const { return static_cast<uint32_t>(entries_.size()); }
  // True when every entry has red, green and blue equal.
  bool IsGray() const;

  RWCollectable* NewInstance() const override { return new GPaletteTable; }
  RWCollectable* Clone() const override { return new GPaletteTable(*this); }
  RWClassID ClassID() const override { return kGPaletteTableClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPaletteTableClassID || MPersistentObject::IsKindOf(id); }
  // Same class, key and count, and entries of equal content in order.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // Restoring lets go of the entries held first; an entry that is not a
  // colour (the nil object included) fails the input and ends the list.
  void Fields(GFieldArchive& archive) override;

 private:
  class EntryList;

  void AppendClonesOf(const std::vector<GObjectRef>& entries);

  std::vector<GObjectRef> entries_;
};
