#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/objects/persistent_object.h"

// One device request as a provider describes it: the name it stores the
// request under, a value and the request bytes. Descriptors are the same
// content when their keys and names are equal, and ordered by name.
//
// Stored part after the root's: version 1, the name (wide string), the
// value (32-bit) and the data (narrow string).
class GPMLDescriptor : public MPersistentObject {
 public:
  GPMLDescriptor() = default;
  GPMLDescriptor(const RWWString& name, int32_t value) : name_(name), value_(value) {}
  GPMLDescriptor(const RWWString& name, int32_t value, const RWCString& data)
      : name_(name), value_(value), data_(data) {}
  GPMLDescriptor(const GPMLDescriptor& other) = default;
  GPMLDescriptor& operator=(const GPMLDescriptor& other) = default;

  const RWWString& GetName() const { return name_; }
  const RWCString& GetData() const { return data_; }
  int32_t GetValue() const { return value_; }
  void SetNameAndValue(const RWWString& name, int32_t value) {
    name_ = name;
    value_ = value;
  }
  void SetData(const RWCString& data) { data_ = data; }
  // Whether this name sorts below the other's.
  bool LessThan(const GPMLDescriptor& other) const;

  RWCollectable* NewInstance() const override { return new GPMLDescriptor; }
  RWCollectable* Clone() const override { return new GPMLDescriptor(*this); }
  RWClassID ClassID() const override { return kGPMLDescriptorClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPMLDescriptorClassID || MPersistentObject::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  RWWString name_;
  int32_t value_ = 0;
  RWCString data_;
};
