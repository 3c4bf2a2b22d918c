#pragma once

#include <cstdint>

#include "model/attributes/graphic_state_attribute.h"

// The rule that decides which areas of a path are inside.
//
// Stored part after the graphic-state attribute's: version 1; the mode
// (32-bit).
class GFillMode : public GGraphicStateAttribute {
 public:
  static constexpr int32_t kEvenOdd = 0;
  static constexpr int32_t kNonZeroWinding = 1;
  // The generators send nothing for it.
  static constexpr int32_t kNotSet = 2;

  // Not set.
  GFillMode() = default;
  GFillMode(int32_t mode, int32_t key) : GGraphicStateAttribute(key), mode_(mode) {}
  GFillMode(const GFillMode& other) = default;

  int32_t GetMode() const { return mode_; }

  RWCollectable* NewInstance() const override { return new GFillMode; }
  RWCollectable* Clone() const override { return new GFillMode(*this); }
  RWClassID ClassID() const override { return kGFillModeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGFillModeClassID || GGraphicStateAttribute::IsKindOf(id); }
  // Same class and mode; keys are not compared.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyFillMode of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t mode_ = kNotSet;
};
