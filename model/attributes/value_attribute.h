#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"

// A setting that holds one signed 16-bit number: the most used accessor of
// the model, also used as a flag (0 clear, 1 set).
//
// Stored part after the attribute's: version 1, the value (16-bit).
class GValueAttribute : public GAttribute {
 public:
  GValueAttribute() = default;
  GValueAttribute(int16_t value, int32_t key) : GAttribute(key), value_(value) {}
  GValueAttribute(const GValueAttribute& other) = default;
  GValueAttribute& operator=(const GValueAttribute& other) = default;

  int16_t Value() const { return value_; }
  int16_t SetValue(int16_t value) { return value_ = value; }
  // Stores 1 for any nonzero flag, else 0.
  void SetFlag(int32_t flag) { value_ = flag != 0 ? 1 : 0; }
  bool IsSet() const { return value_ != 0; }
  bool IsClear() const { return value_ == 0; }

  RWCollectable* NewInstance() const override { return new GValueAttribute; }
  RWCollectable* Clone() const override { return new GValueAttribute(*this); }
  RWClassID ClassID() const override { return kGValueAttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGValueAttributeClassID || GAttribute::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;
  // Every class derived from this one merges as a value attribute.
  RWClassID BaseTypeId() const override { return kGValueAttributeClassID; }
  // ApplyValueAttribute of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int16_t value_ = 0;
};
