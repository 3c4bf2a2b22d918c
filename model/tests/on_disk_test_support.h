#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/rw_wstring.h"
#include "foundation/testing/scratch_files.h"
#include "model/objects/persistent_composite.h"
#include "model/store/persistent_composite_on_disk.h"

// Helpers of the on-disk store's tests.

inline RWWString WidePath(const std::string& path) { return RWWString(path.c_str()); }

// A 16-bit value as a binary file stores it (little-endian).
std::string Half(uint16_t value);

// Stands in for the render side's command list kept on disk: an object of
// that class (606) whose children live in an embedded store, to which it
// passes the nested store's operations with the same arguments and results.
// It saves the embedded handle in place.
class DiskCommandList : public MPersistentObject {
 public:
  DiskCommandList() = default;
  DiskCommandList(const std::string& path, int32_t key);
  DiskCommandList(const DiskCommandList& other) = default;

  RWCollectable* NewInstance() const override { return new DiskCommandList; }
  RWCollectable* Clone() const override { return new DiskCommandList(*this); }
  RWClassID ClassID() const override { return kGCommandCompositeOnDiskClassID; }
  bool SameContent(const MPersistentObject& other) const override;

  void AddShared(const GObjectRef& node) override { store_.AddShared(node); }
  GObjectRef FindSharedByNode(const MPersistentObject* node) override { return store_.FindSharedByNode(node); }
  GObjectRef FindSharedByKey(int32_t key) override { return store_.FindSharedByKey(key); }
  GObjectRef FindSharedByClassId(RWClassID id) override { return store_.FindSharedByClassId(id); }
  bool ReplaceSharedByKey(int32_t key, const MPersistentObject& object) override {
    return store_.ReplaceSharedByKey(key, object);
  }
  bool ReplaceSharedByClassId(RWClassID id, const MPersistentObject& object) override {
    return store_.ReplaceSharedByClassId(id, object);
  }
  GObjectRef SharedIfKey(int32_t key) override { return store_.SharedIfKey(key); }
  GObjectRef SharedIfClassId(RWClassID id) override { return store_.SharedIfClassId(id); }
  GObjectRef SharedIfEqual(const MPersistentObject& other) override { return store_.SharedIfEqual(other); }

  MPersistentCompositeOnDisk& Store() { return store_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  MPersistentCompositeOnDisk store_;
};

// A composite that takes shared children as its own children, as the
// render side's command composites do.
class SharingComposite : public MPersistentComposite {
 public:
  static constexpr RWClassID kID = 0x7E40;

  using MPersistentComposite::MPersistentComposite;
  RWCollectable* NewInstance() const override { return new SharingComposite; }
  RWCollectable* Clone() const override { return new SharingComposite(*this); }
  RWClassID ClassID() const override { return kID; }
  void AddShared(const GObjectRef& node) override { AddChild(node.Get()); }
};
