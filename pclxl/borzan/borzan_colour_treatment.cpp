// The colour treatment of a page: the page's colour-control settings, in
// either of their two forms, turned into the printer's colour-treatment
// operators right after BeginPage. Each setting byte goes through the
// device table of its colour feature (in the stage's configuration) to
// become the value the printer understands.
#include "pclxl/borzan/borzan.h"

#include <cstdint>

#include "device/colour/colour_feature_attribute.h"
#include "device/colour/tintwise_attribute.h"
#include "device/driver/tree_lookup.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "pclxl/xl_graphics_state_operators.h"

namespace {

// Page settings.
constexpr int32_t kColourControlKey = 797;
constexpr int32_t kColourControlVer2Key = 1201;

// Where a setting sits: the index is the object type (0 text, 1 vector,
// 2 raster; 3 stands for all objects), the kind the setting.
constexpr int32_t kAllObjects = 3;
constexpr int32_t kNeutralGraysKind = 0;
constexpr int32_t kHalftoneKind = 1;
constexpr int32_t kEdgeControlKind = 2;
// The colour treatment: one byte for all objects in the first form, one
// per object type in the second.
constexpr int32_t kColourKind = 3;

// One setting byte as the device value of the colour feature Feature; 0
// when the stage has no configuration or its table has no entry.
template <typename Feature, typename Settings>
uint8_t DeviceValue(const Settings& settings, int32_t index, int32_t kind, MPersistentObject* configuration) {
  uint8_t byte = 0;
  settings.GetSetting(index, kind, byte);
  if (configuration == nullptr) return 0;
  const Feature feature(byte, 0);
  return static_cast<uint8_t>(feature.GetDeviceValue(*configuration));
}

struct ObjectValues {
  uint8_t text;
  uint8_t vector;
  uint8_t raster;
};

template <typename Feature, typename Settings>
ObjectValues PerObject(const Settings& settings, int32_t kind, MPersistentObject* configuration) {
  return {DeviceValue<Feature>(settings, 0, kind, configuration),
          DeviceValue<Feature>(settings, 1, kind, configuration),
          DeviceValue<Feature>(settings, 2, kind, configuration)};
}

// Both forms start with the neutral axis and the halftone method of each
// object type.
template <typename Settings>
void SendNeutralAxisAndHalftone(XLStream* stream, const Settings& settings, MPersistentObject* configuration) {
  const ObjectValues neutral = PerObject<GNeutralGrays>(settings, kNeutralGraysKind, configuration);
  XLSetNeutralAxis(stream, neutral.text, neutral.vector, neutral.raster);
  const ObjectValues halftone = PerObject<GHalftoneEnhanced>(settings, kHalftoneKind, configuration);
  XLSetHalftoneMethodByObject(stream, halftone.text, halftone.vector, halftone.raster);
}

// The edge control of all objects: adaptive halftoning is on whenever the
// printer traps colours at all.
template <typename Settings>
uint8_t EdgeControl(const Settings& settings, MPersistentObject* configuration) {
  return DeviceValue<GEdgeControl>(settings, kAllObjects, kEdgeControlKind, configuration);
}

uint8_t AdaptiveHalftoning(uint8_t edgeControl) { return edgeControl != 0 ? 1 : 0; }

void SendColourControl(XLStream* stream, const GTintwiseEnhancedAttribute& settings, MPersistentObject* configuration) {
  SendNeutralAxisAndHalftone(stream, settings, configuration);
  const uint8_t edge = EdgeControl(settings, configuration);
  const uint8_t adaptive = AdaptiveHalftoning(edge);
  XLSetAdaptiveHalftoning(stream, adaptive, adaptive, adaptive);
  XLSetColorTrapping(stream, edge);
  XLSetColorTreatment(stream, DeviceValue<GSRGBColor>(settings, kAllObjects, kColourKind, configuration));
}

void SendColourControl(XLStream* stream, const GTintwiseEnhancedAttributeVer2& settings,
                       MPersistentObject* configuration) {
  SendNeutralAxisAndHalftone(stream, settings, configuration);
  const ObjectValues colour = PerObject<GSRGBExtension>(settings, kColourKind, configuration);
  XLSetColorTreatmentByObject(stream, colour.text, colour.vector, colour.raster);
  const uint8_t edge = EdgeControl(settings, configuration);
  XLSetAdaptiveHalftoning(stream, XLObjectType::All, AdaptiveHalftoning(edge));
  XLSetColorTrapping(stream, edge);
}

}  // namespace

// A setting of another class under either key is not read as colour
// control: the byte layouts of the forms differ.
void GBorzan::SendColourTreatment() {
  GState* page = PageSettings();
  if (const auto* settings = FindAs<GTintwiseEnhancedAttribute>(page, kColourControlKey)) {
    SendColourControl(stream_.get(), *settings, GetConfiguration());
  }
  if (const auto* settings = FindAs<GTintwiseEnhancedAttributeVer2>(page, kColourControlVer2Key)) {
    SendColourControl(stream_.get(), *settings, GetConfiguration());
  }
}
