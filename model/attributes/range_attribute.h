#pragma once

#include <cstdint>

#include "model/attributes/attribute.h"

// A bounded signed 16-bit setting with a step. The constructor makes
// minimum <= value <= maximum and the step nonzero; SetMin and SetMax keep
// minimum <= maximum but leave the value where it is, and SetStep takes any
// step, 0 included.
//
// Stored part after the attribute's: version 1, minimum, maximum, step and
// value (16-bit each).
class GRangeAttribute : public GAttribute {
 public:
  GRangeAttribute() = default;
  GRangeAttribute(int16_t minimum, int16_t maximum, int16_t step, int16_t value, int32_t key);
  GRangeAttribute(const GRangeAttribute& other) = default;
  GRangeAttribute& operator=(const GRangeAttribute& other) = default;

  int16_t Min() const { return minimum_; }
  int16_t Max() const { return maximum_; }
  int16_t Step() const { return step_; }
  int16_t Value() const { return value_; }
  // The value clamped into [minimum, maximum].
  void SetValue(int16_t value) { value_ = Clamped(value); }
  // The smaller of minimum and the maximum.
  void SetMin(int16_t minimum) { minimum_ = minimum < maximum_ ? minimum : maximum_; }
  // The larger of maximum and the minimum.
  void SetMax(int16_t maximum) { maximum_ = maximum > minimum_ ? maximum : minimum_; }
  void SetStep(int16_t step) { step_ = step; }
  // One step up or down, clamped.
  void StepUp() { value_ = Clamped(int32_t{value_} + step_); }
  void StepDown() { value_ = Clamped(int32_t{value_} - step_); }
  bool Contains(int32_t value) const { return minimum_ <= value && value <= maximum_; }

  RWCollectable* NewInstance() const override { return new GRangeAttribute; }
  RWCollectable* Clone() const override { return new GRangeAttribute(*this); }
  RWClassID ClassID() const override { return kGRangeAttributeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGRangeAttributeClassID || GAttribute::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;
  // Every class derived from this one merges as a range attribute.
  RWClassID BaseTypeId() const override { return kGRangeAttributeClassID; }
  // ApplyRangeAttribute of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  // The four fields are read whole: a restore that cannot read them all
  // changes none.
  void Fields(GFieldArchive& archive) override;

 private:
  // Into [minimum, maximum]; stored data may hold a minimum above the
  // maximum, which the minimum then wins.
  int16_t Clamped(int32_t value) const;
  // The four fields in stored order, read whole.
  void Assign(const int16_t (&fields)[4]);

  int16_t minimum_ = 0;
  int16_t maximum_ = 0;
  int16_t step_ = 1;
  int16_t value_ = 0;
};
