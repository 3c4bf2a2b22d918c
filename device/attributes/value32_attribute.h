#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"

// A setting of the device description that holds one unsigned 32-bit
// number. No stage of the pipeline takes it: SendTo hands nothing on.
//
// Stored part after the attribute's: version 1, the value (32-bit).
class GValue32Attribute : public GAttribute {
 public:
  GValue32Attribute() = default;
  GValue32Attribute(uint32_t value, int32_t key) : GAttribute(key), value_(value) {}
  GValue32Attribute(const GValue32Attribute& other) = default;
  GValue32Attribute& operator=(const GValue32Attribute& other) = default;

  uint32_t GetValue() const { return value_; }
  uint32_t SetValue(uint32_t value) { return value_ = value; }

  RWCollectable* NewInstance() const override { return new GValue32Attribute; }
  RWCollectable* Clone() const override { return new GValue32Attribute(*this); }
  RWClassID ClassID() const override { return kGValue32AttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGValue32AttributeClassID || GAttribute::IsKindOf(id); }
  // Same class, key and value.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  uint32_t value_ = 0;
};
