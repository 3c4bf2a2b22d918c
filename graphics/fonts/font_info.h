#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "graphics/clips/float_value.h"

// The description of a font, passed and copied by value. Fields named by
// number carry values whose meaning is the rendering host's; the system
// copies, stores and scales them as they come. What the generators and the
// text graphic read by meaning (weight, encoding, orientation, ...) they
// read through the property table of font_properties.h.
struct GFontInfo {
  // Units per inch of the size fields (a size is value x 72 / resolution
  // points).
  int16_t resolution = 0;
  int16_t fontValue2 = 0;
  // Scaled by a y factor.
  int16_t verticalSize1 = 0;
  int16_t verticalSize2 = 0;
  int16_t verticalSize3 = 0;
  int32_t fontValue6 = 0;
  int32_t fontValue7 = 0;
  int32_t fontValue8 = 0;
  uint16_t fontValue9 = 0;
  int32_t fontValue10 = 0;
  float fontValue11 = 0.0F;
  float fontValue12 = 0.0F;
  // Scaled by a y factor.
  int16_t height = 0;
  int32_t fontValue14 = 0;
  int32_t fontValue15 = 0;
  // Scaled by an x factor.
  int16_t horizontalSize1 = 0;
  int16_t horizontalSize2 = 0;
  // The codes the font covers, the code that stands for codes outside
  // them, and the code that receives word spacing.
  uint16_t firstCode = 0;
  uint16_t lastCode = 0;
  uint16_t defaultCode = 0;
  uint16_t breakCode = 0;
  RWCString faceName;
  int32_t fontValue22 = 0;
  // Written by the generators when they download the font.
  int16_t downloadMode = 0;

  // Every field equal; the floats as numbers, the face name by its bytes.
  bool operator==(const GFontInfo& other) const = default;
};

// The metrics of a font, copied as a block beside its description.
struct GFontMetrics {
  // A font the printer holds itself: the preparation hooks do nothing.
  static constexpr uint32_t kResidentFlag = 2;

  GFloatValue floatMetric1;
  GFloatValue floatMetric2;
  uint16_t metric3 = 0;
  int32_t metric4 = 0;
  int32_t metric5 = 0;
  int32_t metric6 = 0;
  uint32_t flags = 0;
  GFloatValue floatMetric8;
  int32_t metric9 = 0;
  uint32_t metric10 = 0;

  bool IsResident() const { return (flags & kResidentFlag) != 0; }
  // The fields two font bodies must share to be equal: float metrics 1
  // and 2 as numbers and metric values 3 to 6, 9 and 10 (not the flags,
  // not float metric 8).
  bool SameMeasures(const GFontMetrics& other) const;
};
