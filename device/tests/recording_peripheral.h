#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/colour/colour_feature_attribute.h"
#include "device/paper/tray.h"
#include "model/testing/test_peripheral.h"

// A pipeline stage that records which handler each device attribute
// reached, and answers a fixed status.
class RecordingPeripheral : public TestPeripheral {
 public:
  static constexpr uint16_t kStatus = 7;

  struct Call {
    std::string handler;
    const GAttribute* attribute;
  };

  uint16_t ApplyTray(GTray& tray) override { return Record("tray", tray); }
  uint16_t ApplyColorMap(GColorMap& map) override { return Record("color_map", map); }
  uint16_t ApplyHalftone(GHalftone& halftone) override { return Record("halftone", halftone); }
  uint16_t ApplyHalftoneEnhanced(GHalftoneEnhanced& halftone) override { return Record("halftone_enhanced", halftone); }
  uint16_t ApplyNeutralGrays(GNeutralGrays& grays) override { return Record("neutral_grays", grays); }
  uint16_t ApplyEdgeControl(GEdgeControl& control) override { return Record("edge_control", control); }
  uint16_t ApplySRGBColor(GSRGBColor& color) override { return Record("srgb_color", color); }
  uint16_t ApplySRGBExtension(GSRGBExtension& extension) override { return Record("srgb_extension", extension); }

  std::vector<Call> calls;

 private:
  uint16_t Record(const char* handler, const GAttribute& attribute) {
    calls.push_back({handler, &attribute});
    return kStatus;
  }
};
