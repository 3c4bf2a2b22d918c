#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graphics/fonts/font_info.h"

// The font properties that the generators and the text graphic read by
// meaning, and the one place that says which field of the font description
// or of the metrics record holds each. Code that needs a font's weight asks
// for kWeight here rather than for "font value 9".
enum class GFontProperty : uint8_t {
  kXResolution,      // font value 2
  kItalic,           // font value 6: 0 upright
  kWeight,           // font value 9
  kOwnEncoding,      // font value 10: the encoding number of the font's codes
  kXScale,           // font value 11
  kYScale,           // font value 12
  kWholeRun,         // font value 14: 1 lets a run go out as one piece (fixed pitch)
  kOrientation,      // font value 22
  kEscapementAngle,  // float metric 2, degrees
  kRequestedWeight,  // metric value 3
  kRequestedItalic,  // metric value 4: 1 asks for italic
  kBreakCode,        // the code that receives word spacing
  kHeight,           // height: in resolution units; a bitmap font's pixel size
  kPrinterFont,      // metrics flags bit value 2: 1 for a font the printer holds
};

struct GFontPropertyRow {
  GFontProperty property;
  // What the property is, and the field that holds it.
  std::string_view name;
  std::string_view field;
  double (*read)(const GFontInfo& info, const GFontMetrics& metrics);
};

inline constexpr std::array<GFontPropertyRow, 14> kFontProperties = {{
    {GFontProperty::kXResolution, "x resolution", "font value 2",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue2; }},
    {GFontProperty::kItalic, "italic", "font value 6",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue6; }},
    {GFontProperty::kWeight, "weight", "font value 9",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue9; }},
    {GFontProperty::kOwnEncoding, "own encoding", "font value 10",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue10; }},
    {GFontProperty::kXScale, "x scale", "font value 11",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue11; }},
    {GFontProperty::kYScale, "y scale", "font value 12",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue12; }},
    {GFontProperty::kWholeRun, "whole run", "font value 14",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue14; }},
    {GFontProperty::kOrientation, "orientation", "font value 22",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.fontValue22; }},
    {GFontProperty::kEscapementAngle, "escapement angle", "float metric 2",
     [](const GFontInfo&, const GFontMetrics& m) -> double { return m.floatMetric2.Get(); }},
    {GFontProperty::kRequestedWeight, "requested weight", "metric value 3",
     [](const GFontInfo&, const GFontMetrics& m) -> double { return m.metric3; }},
    {GFontProperty::kRequestedItalic, "requested italic", "metric value 4",
     [](const GFontInfo&, const GFontMetrics& m) -> double { return m.metric4; }},
    {GFontProperty::kBreakCode, "break code", "break code",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.breakCode; }},
    {GFontProperty::kHeight, "height", "height",
     [](const GFontInfo& i, const GFontMetrics&) -> double { return i.height; }},
    {GFontProperty::kPrinterFont, "printer font", "metrics flags bit value 2",
     [](const GFontInfo&, const GFontMetrics& m) -> double { return m.IsResident() ? 1 : 0; }},
}};

// The row of a property.
constexpr const GFontPropertyRow& FontPropertyRow(GFontProperty property) {
  return kFontProperties[static_cast<size_t>(property)];
}

// A property's value; whole-number properties come back exactly.
inline double FontProperty(const GFontInfo& info, const GFontMetrics& metrics, GFontProperty property) {
  return FontPropertyRow(property).read(info, metrics);
}

// A whole-number property (every one but the scales and the angle).
inline int32_t FontPropertyValue(const GFontInfo& info, const GFontMetrics& metrics, GFontProperty property) {
  return static_cast<int32_t>(FontProperty(info, metrics, property));
}

// The rows are in the order of the enumeration, so a property is its own
// index.
static_assert([] {
  for (size_t i = 0; i < kFontProperties.size(); ++i) {
    if (static_cast<size_t>(kFontProperties[i].property) != i) return false;
  }
  return true;
}());
