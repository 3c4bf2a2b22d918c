#pragma once

#include <cstdint>

#include "model/objects/persistent_composite.h"

// Ties the number the operating system uses for an item (a paper size, a
// paper source) to the number the device model uses for it and to the
// string resource that names it.
//
// Stored part after the root's: version 1, resource ID (32-bit), OS ID
// (unsigned 16-bit), device ID (signed 16-bit).
class GResourceMapping : public MPersistentObject {
 public:
  // The resource ID of a mapping without one.
  static constexpr uint32_t kNoResourceId = 0x0FFFFFFF;

  GResourceMapping() = default;
  GResourceMapping(uint32_t resourceId, uint16_t osId, int16_t deviceId, int32_t key)
      : MPersistentObject(key), resourceId_(resourceId), osId_(osId), deviceId_(deviceId) {}
  GResourceMapping(const GResourceMapping& other) = default;
  GResourceMapping& operator=(const GResourceMapping& other) = default;

  uint32_t ResourceId() const { return resourceId_; }
  uint16_t OsId() const { return osId_; }
  int16_t DeviceId() const { return deviceId_; }

  RWCollectable* NewInstance() const override { return new GResourceMapping; }
  RWCollectable* Clone() const override { return new GResourceMapping(*this); }
  RWClassID ClassID() const override { return kGResourceMappingClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGResourceMappingClassID || MPersistentObject::IsKindOf(id);
  }
  // Same class and key and all three IDs.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  uint32_t resourceId_ = kNoResourceId;
  uint16_t osId_ = 0;
  int16_t deviceId_ = 0;
};

// The mappings of one kind of item, looked up in either direction; the first
// mapping in order that matches wins. Mappings enter only through the two
// add operations and restore: AddChild takes nothing.
//
// Stored part: the composite's, then version 1 (read and not examined).
class GResourceMappingList : public MPersistentComposite {
 public:
  explicit GResourceMappingList(int32_t key = 0) : MPersistentComposite(key) {}
  // Shares the mappings.
  GResourceMappingList(const GResourceMappingList& other) = default;
  GResourceMappingList& operator=(const GResourceMappingList& other) = default;

  // The mapping, which stays the list's, or null.
  GResourceMapping* FindByOsId(uint16_t osId);
  GResourceMapping* FindByDeviceId(int16_t deviceId);
  GResourceMapping* FindByResourceId(uint32_t resourceId);
  // Appends the mapping and answers true, unless a mapping with its device
  // ID or its resource ID is present: then false, and the mapping is not
  // taken.
  bool AddIfNew(GResourceMapping* mapping);
  // The same with the device ID alone.
  bool AddIfNewDeviceId(GResourceMapping* mapping);
  // Detach the first matching mapping and hand it to the caller (the
  // mapping itself, or a copy when it is still held elsewhere); null when
  // none matches.
  GResourceMapping* RemoveByOsId(uint16_t osId);
  GResourceMapping* RemoveByDeviceId(int16_t deviceId);
  GResourceMapping* RemoveByResourceId(uint32_t resourceId);

  RWCollectable* NewInstance() const override { return new GResourceMappingList; }
  RWCollectable* Clone() const override { return new GResourceMappingList(*this); }
  RWClassID ClassID() const override { return kGResourceMappingListClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGResourceMappingListClassID || MPersistentComposite::IsKindOf(id);
  }
  // Takes nothing: the node is neither stored nor deleted.
  void AddChild(MPersistentObject*) override {}
  // A new list with this one's key holding deep copies of the mappings
  // (which AddChild would refuse).
  MPersistentObject* DeepCopy() const override;

 protected:
  // The base's part, then this class's version word, read and not examined.
  void Fields(GFieldArchive& archive) override;

 private:
  template <typename Match>
  GResourceMapping* Find(const Match& match);
  GResourceMapping* Remove(GResourceMapping* found);
};
