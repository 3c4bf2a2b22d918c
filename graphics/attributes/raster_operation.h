#pragma once

#include <cstdint>

#include "model/attributes/graphic_state_attribute.h"

// How what is drawn combines with what is on the page: a ternary raster
// operation code and the way it is sent.
//
// Stored part after the graphic-state attribute's: version 1; the code
// (16-bit); the mode (32-bit).
class GRasterOperation : public GGraphicStateAttribute {
 public:
  // The code that the page filters build: the pattern copied.
  static constexpr uint16_t kPatternCopy = 240;
  // The code alone.
  static constexpr int32_t kCodeOnly = 0;
  // The code, and source transparency derived from it.
  static constexpr int32_t kCodeAndTransparency = 1;
  // The generators send nothing for it.
  static constexpr int32_t kNotSet = 2;

  // Code 0, not set.
  GRasterOperation() = default;
  GRasterOperation(uint16_t code, int32_t mode, int32_t key) : GGraphicStateAttribute(key), code_(code), mode_(mode) {}
  GRasterOperation(const GRasterOperation& other) = default;

  uint16_t GetCode() const { return code_; }
  int32_t GetMode() const { return mode_; }

  RWCollectable* NewInstance() const override { return new GRasterOperation; }
  RWCollectable* Clone() const override { return new GRasterOperation(*this); }
  RWClassID ClassID() const override { return kGRasterOperationClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGRasterOperationClassID || GGraphicStateAttribute::IsKindOf(id);
  }
  // Same class, code and mode; keys are not compared.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyRasterOperation of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  uint16_t code_ = 0;
  int32_t mode_ = kNotSet;
};
