#pragma once

#include <cstdint>
#include <memory>

#include "model/objects/object_ref.h"
#include "model/objects/persistent_composite.h"
#include "model/objects/persistent_object.h"

class GDeviceFontList;

// Every font list of a printer, one per storage slot, found by the slot's
// key. The driver object keeps one of the added fonts, and the device
// description one (key 414) into which those are merged.
//
// The lists live in a composite of their own, which this object always
// holds. Stored part after the root's: version 1, then that composite as
// an object reference.
class GDeviceFontListComposite : public MPersistentObject {
 public:
  static constexpr int32_t kDefaultKey = 414;

  GDeviceFontListComposite();
  // Shares the other's lists through a composite of its own.
  GDeviceFontListComposite(const GDeviceFontListComposite& other);
  GDeviceFontListComposite& operator=(const GDeviceFontListComposite& other);

  // Forwarders to the composite of lists: a removed list belongs to the
  // caller, a replacement puts a deep copy in place.
  void AddList(MPersistentObject* list) { Lists().AddChild(list); }
  void InsertFirstList(MPersistentObject* list) { Lists().InsertFirstChild(list); }
  MPersistentObject* RemoveList(int32_t key) { return Lists().RemoveChildByKey(key); }
  bool ReplaceList(int32_t key, const MPersistentObject& list) { return Lists().ReplaceChildByKey(key, list); }
  void RemoveAll() { Lists().RemoveAllChildren(); }
  MPersistentObject* FindList(int32_t key) { return Lists().FindByKey(key); }
  uint32_t GetListCount() const { return Lists().EntryCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return Lists().NewChildIterator(); }

  // Appends a deep copy of every list of the other.
  void AddCopiesOf(const GDeviceFontListComposite& other);
  // For each list of the other, in order: a deep copy replaces the list of
  // the same key, or goes to the front when no list has that key.
  void MergeFrom(const GDeviceFontListComposite& other);
  // A copy whose lists are deep copies, sharing nothing with this one.
  GDeviceFontListComposite* DeepClone() const;

  RWCollectable* NewInstance() const override { return new GDeviceFontListComposite; }
  RWCollectable* Clone() const override { return new GDeviceFontListComposite(*this); }
  RWClassID ClassID() const override { return kGDeviceFontListCompositeClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGDeviceFontListCompositeClassID || MPersistentObject::IsKindOf(id);
  }
  // Same class and key and composites of the same content.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // Restoring takes only a plain composite that the read itself made;
  // anything else leaves the lists empty.
  void Fields(GFieldArchive& archive) override;

 private:
  MPersistentComposite& Lists() const { return static_cast<MPersistentComposite&>(*lists_); }

  GObjectRef lists_;
};
