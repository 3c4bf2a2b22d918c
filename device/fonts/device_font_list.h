#pragma once

#include <cstdint>
#include <vector>

#include "device/fonts/device_font_description.h"
#include "foundation/rw_cstring.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

class MAssociationList;

// The fonts of one storage slot of the printer, in catalogue order, keyed
// by the slot. Two optional lookup tables map ids to selection texts: the
// first a description's 16-bit lookup id, the second a 32-bit id. The
// catalogue count is the number of fonts the slot's catalogue reported
// when the list was read.
//
// Stored part after the root's: version 3, the description count and each
// description as an object reference, the catalogue count (from version 2),
// then both tables as object references, the nil object for a missing one
// (from version 3).
class GDeviceFontList : public MPersistentObject {
 public:
  using Predicate = bool (*)(const GDeviceFontDescription& description, void* user);

  static uint32_t FormatVersion() { return 3; }

  GDeviceFontList() = default;
  explicit GDeviceFontList(int32_t key) : MPersistentObject(key) {}
  // Copies the descriptions and the catalogue count, and holds copies of
  // both tables of its own.
  GDeviceFontList(const GDeviceFontList& other);
  GDeviceFontList& operator=(const GDeviceFontList& other);

  // Appends a copy of the description.
  void AddDescription(const GDeviceFontDescription& description);
  uint32_t GetCount() const { return static_cast<uint32_t>(descriptions_.size()); }
  // Assigns the description at the index to target; false, changing
  // nothing, when the index is not below the count.
  bool GetDescription(uint32_t index, GDeviceFontDescription& target) const;
  // The first description the predicate accepts, held by the list, through
  // found; false, leaving found as it was, when none does.
  virtual bool FindDescription(Predicate predicate, void* user, const GDeviceFontDescription*& found) const;
  // The index of the first description the predicate accepts, -1 when none.
  int32_t FindIndex(Predicate predicate, void* user) const;
  // The descriptions in order.
  auto begin() const { return descriptions_.begin(); }
  auto end() const { return descriptions_.end(); }

  uint32_t GetCatalogueCount() const { return catalogueCount_; }
  void SetCatalogueCount(uint32_t count) { catalogueCount_ = count; }

  // Take the table (null for none), letting go of the one held.
  void SetFirstTable(MAssociationList* table);
  void SetSecondTable(MAssociationList* table);
  // The selection text the table maps the id to; null without the table or
  // without that id.
  const RWCString* LookupInFirstList(uint16_t id) const { return Lookup(firstTable_, id); }
  const RWCString* LookupInSecondList(uint32_t id) const { return Lookup(secondTable_, id); }

  // Drops every description and both tables; the catalogue count goes to 0.
  void Clear();

  RWCollectable* NewInstance() const override { return new GDeviceFontList; }
  RWCollectable* Clone() const override { return new GDeviceFontList(*this); }
  RWClassID ClassID() const override { return kGDeviceFontListClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGDeviceFontListClassID || MPersistentObject::IsKindOf(id);
  }
  // Same class and key, tables of the same content (or both missing) and
  // descriptions of the same content in order; the catalogue count does
  // not count.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // Reads versions 1 to 3: a version-1 list has catalogue count 0, lists
  // before version 3 have no tables. The description count is checked
  // against the bytes left; a stored table that is not an association list
  // is dropped.
  void Fields(GFieldArchive& archive) override;

 private:
  static const RWCString* Lookup(const GObjectRef& table, uint32_t id);
  void DescriptionsField(GFieldArchive& archive);

  std::vector<GDeviceFontDescription> descriptions_;
  uint32_t catalogueCount_ = 0;
  GObjectRef firstTable_;
  GObjectRef secondTable_;
};
