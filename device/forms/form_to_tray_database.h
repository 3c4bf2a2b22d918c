#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/attributes/attribute.h"
#include "model/attributes/attribute_composite.h"
#include "model/objects/object_ref.h"

class GShortArray;

// What the user has loaded in one input tray: the paper size (form) by its
// media id, and the media type by its string resource id (11913 is
// "Unspecified"), with the form's name when the association was made from
// one. The three ids are value settings of their own (key 0) that the
// association owns alone.
//
// Stored part after the attribute's: version 1, the media id, tray id and
// media type id settings as object references, the form name (32-bit
// character count, then UTF-16 units).
class GFormToTrayAssociation : public GAttribute {
 public:
  GFormToTrayAssociation();
  GFormToTrayAssociation(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId,
                         const RWWString& formName = RWWString());
  // Copies the ids into settings of its own.
  GFormToTrayAssociation(const GFormToTrayAssociation& other);
  GFormToTrayAssociation& operator=(const GFormToTrayAssociation& other) = delete;

  uint16_t GetTrayId() const { return ValueOf(trayId_); }
  uint16_t GetMediaId() const { return ValueOf(mediaId_); }
  uint16_t GetMediaTypeId() const { return ValueOf(mediaTypeId_); }
  const RWWString& GetFormName() const { return formName_; }

  RWCollectable* NewInstance() const override { return new GFormToTrayAssociation; }
  RWCollectable* Clone() const override { return new GFormToTrayAssociation(*this); }
  RWClassID ClassID() const override { return kGFormToTrayAssociationClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGFormToTrayAssociationClassID || GAttribute::IsKindOf(id);
  }
  // Same class and key, ids of the same content and the same form name.
  bool SameContent(const MPersistentObject& other) const override;
  // Hands nothing on; answers 1.
  uint16_t SendTo(GPeripheral&) override { return 1; }

 protected:
  // A stored id that is not a value setting made by this very read fails
  // the input and keeps the id held before.
  void Fields(GFieldArchive& archive) override;

 private:
  static uint16_t ValueOf(const GObjectRef& setting);

  GObjectRef mediaId_;
  GObjectRef trayId_;
  GObjectRef mediaTypeId_;
  RWWString formName_;
};

// The printer's form-to-tray assignment: one association per tray, kept in
// the order they were set (a changed association moves to the end). The
// settings keep it under key 510 inside the installed options (365).
//
// A tray without an association, or whose association holds both defaults
// (media id 0, media type 11913), has nothing assigned. The defaults are
// constants, neither stored nor restored. Searches walk the associations in
// order and stop at the first match; children that are no associations
// (from a stored form) are passed over.
//
// Stored part after the attribute's: version 1, then the associations as
// the stored part of an attribute composite, in place.
class GFormToTrayDatabase : public GAttribute {
 public:
  static constexpr int32_t kSettingsKey = 510;
  static constexpr uint16_t kDefaultMediaTypeId = 11913;
  static constexpr uint16_t kDefaultMediaId = 0;

  GFormToTrayDatabase() = default;
  explicit GFormToTrayDatabase(int32_t key) : GAttribute(key) {}
  // Shares the associations.
  GFormToTrayDatabase(const GFormToTrayDatabase& other) = default;
  GFormToTrayDatabase& operator=(const GFormToTrayDatabase& other);

  // Replaces the tray's association by a new last one.
  void SetAssociation(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId);
  // The same, with the form name converted to wide text.
  void SetAssociationWithName(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId, const RWCString& formName);
  // Replaces the tray's association by one holding the defaults.
  void ResetAssociation(uint16_t trayId);
  void RemoveAssociation(uint16_t trayId);
  void RemoveAll() { associations_.RemoveAllChildren(); }

  // The tray's media id, else the default 0.
  uint16_t GetFirstValueFor(uint16_t trayId) const;
  // The tray's media type id, else the default 11913.
  uint16_t GetSecondValueFor(uint16_t trayId) const;
  // The first media id other than 0, else 0.
  uint16_t GetFirstNonDefaultValue() const;
  // The first media type id other than 11913, else 11913.
  uint16_t GetSecondNonDefaultValue() const;
  // The media type id of the first association with the media id, else
  // 11913.
  uint16_t GetSecondValueForFirst(uint16_t mediaId) const;
  // The media id of the first association with the media type id, else 0.
  uint16_t GetFirstValueForSecond(uint16_t mediaTypeId) const;
  bool HasTray(uint16_t trayId) const;
  bool HasAssociationWithValue(uint16_t mediaId) const;
  bool HasAssociationWithSecondValue(uint16_t mediaTypeId) const;
  bool HasAssociationWithPair(uint16_t mediaId, uint16_t mediaTypeId) const;
  // One association with the media id and exactly the form name.
  bool HasAssociationWithValueAndName(uint16_t mediaId, const RWWString& formName) const;
  // Some association holds a media id other than 0 or a media type id
  // other than 11913.
  bool HasNonDefaultAssociation() const;
  // Appends the tray id of every association, in order.
  void CollectValues(GShortArray& trayIds) const;

  const GAttributeComposite& Associations() const { return associations_; }

  RWCollectable* NewInstance() const override { return new GFormToTrayDatabase; }
  RWCollectable* Clone() const override { return new GFormToTrayDatabase(*this); }
  RWClassID ClassID() const override { return kGFormToTrayDatabaseClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGFormToTrayDatabaseClassID || GAttribute::IsKindOf(id); }
  // Same class and key, and associations of the same content in the same
  // order.
  bool SameContent(const MPersistentObject& other) const override;
  // Hands nothing on; answers 1.
  uint16_t SendTo(GPeripheral&) override { return 1; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // The first association that passes the test, or null.
  template <typename Test>
  const GFormToTrayAssociation* Find(const Test& test) const;
  const GFormToTrayAssociation* FindTray(uint16_t trayId) const;

  GAttributeComposite associations_;
};
