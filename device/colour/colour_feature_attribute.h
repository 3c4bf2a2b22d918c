#pragma once

#include <cstdint>

#include "device/colour/colour_settings.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/attributes/peripheral.h"

// The colour features of a job: each holds one setting value, which a stage
// applies through its own handler and which the device description turns
// into a device code through a table.
//
// Stored part after the graphic-state attribute's: version 1, the value
// (32-bit).
class GColorFeatureAttribute : public GGraphicStateAttribute {
 public:
  // The setting value, as the handlers read it.
  int16_t GetValue() const { return static_cast<int16_t>(value_); }
  void SetValue(int32_t value) { value_ = value; }
  // The device code for the value in the feature's table of holder (the
  // device configuration); 0 when there is none.
  virtual int16_t GetDeviceValue(MPersistentObject& holder) const = 0;

  // Same class and value; keys are not compared.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  GColorFeatureAttribute(int32_t value, int32_t key) : GGraphicStateAttribute(key), value_(value) {}

  void Fields(GFieldArchive& archive) override;

 private:
  int32_t value_;
};

// What the seven features share beside the base: class ID, default value,
// device table and stage handler.
template <typename Derived, RWClassID kID, int32_t kDefaultValue, int16_t (*kTableValue)(MPersistentObject&, int16_t),
          uint16_t (GPeripheral::*kHandler)(Derived&)>
class GColorFeature : public GColorFeatureAttribute {
 public:
  static constexpr int32_t kDefault = kDefaultValue;

  GColorFeature() : GColorFeatureAttribute(kDefaultValue, 0) {}
  GColorFeature(int32_t value, int32_t key) : GColorFeatureAttribute(value, key) {}

  int16_t GetDeviceValue(MPersistentObject& holder) const override { return kTableValue(holder, GetValue()); }

  RWCollectable* NewInstance() const override { return new Derived; }
  RWCollectable* Clone() const override { return new Derived(static_cast<const Derived&>(*this)); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || GGraphicStateAttribute::IsKindOf(id); }
  uint16_t SendTo(GPeripheral& target) override { return (target.*kHandler)(static_cast<Derived&>(*this)); }
};

class GSRGBExtension : public GColorFeature<GSRGBExtension, kGSRGBExtensionClassID, 100, GetSRGBExtensionTableValue,
                                            &GPeripheral::ApplySRGBExtension> {
 public:
  using GColorFeature::GColorFeature;
};

class GEdgeControl : public GColorFeature<GEdgeControl, kGEdgeControlClassID, 93, GetEdgeControlTableValue,
                                          &GPeripheral::ApplyEdgeControl> {
 public:
  using GColorFeature::GColorFeature;
};

class GSRGBColor
    : public GColorFeature<GSRGBColor, kGSRGBColorClassID, 98, GetSRGBColorTableValue, &GPeripheral::ApplySRGBColor> {
 public:
  using GColorFeature::GColorFeature;
};

// GHalftoneEnhanced and GHalftone share class ID 790; a stored 790 restores
// as a GHalftoneEnhanced, which registers first.
class GHalftoneEnhanced : public GColorFeature<GHalftoneEnhanced, kGHalftoneEnhancedClassID, 40, GetHalftoneTableValue,
                                               &GPeripheral::ApplyHalftoneEnhanced> {
 public:
  using GColorFeature::GColorFeature;
};

class GHalftone
    : public GColorFeature<GHalftone, kGHalftoneClassID, 40, GetHalftoneTableValue, &GPeripheral::ApplyHalftone> {
 public:
  using GColorFeature::GColorFeature;
};

class GNeutralGrays : public GColorFeature<GNeutralGrays, kGNeutralGraysClassID, 70, GetNeutralGraysTableValue,
                                           &GPeripheral::ApplyNeutralGrays> {
 public:
  using GColorFeature::GColorFeature;
};

class GColorMap
    : public GColorFeature<GColorMap, kGColorMapClassID, 15, GetColorMapTableValue, &GPeripheral::ApplyColorMap> {
 public:
  using GColorFeature::GColorFeature;
};
