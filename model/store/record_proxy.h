#pragma once

#include <cstdint>

#include "model/objects/object_ref.h"
#include "model/store/record.h"

// The record of a nested store: an on-disk store handle, or a command list
// that keeps its commands in a store of its own, kept as a child of another
// store. Its children live in the nested store's file, so the proxy holds a
// clone of the nested object and passes searches that it does not match
// itself on to it.
//
// Stored form: the GRecord part, version 1 (32-bit) and the held object as
// an object reference.
class GRecordProxy : public GRecord {
 public:
  GRecordProxy() = default;
  // Holds a clone of the nested object.
  explicit GRecordProxy(const MPersistentObject& object);
  // Holds its own clone of the source's object.
  GRecordProxy(const GRecordProxy& other);

  RWCollectable* NewInstance() const override { return new GRecordProxy; }
  RWCollectable* Clone() const override { return new GRecordProxy(*this); }
  RWClassID ClassID() const override { return kGRecordProxyClassID; }

  // Its own match first, then the nested store's answer. A replacement by
  // identity never matches a proxy and never reaches the nested store.
  GObjectRef Take(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) override;
  GObjectRef Fetch(const GRecordMatch& match, MPersistentCompositeOnDiskImp& store) override;
  bool Replace(const GRecordMatch& match, const MPersistentObject& object,
               MPersistentCompositeOnDiskImp& store) override;

  MPersistentObject* HeldObject() const { return held_.Get(); }

 protected:
  // The held object is a model object, read under the model's rules of
  // ownership; anything else leaves the proxy empty.
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef held_;
};
