#include "pclxl/borzan/borzan_font_cache.h"

#include <memory>

#include "device/fonts/device_font_description.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/font_properties.h"
#include "pclxl/borzan/xl_font_facts.h"

namespace {

// The properties that fix how a font looks at one size.
constexpr GFontProperty kSizeProperties[] = {
    GFontProperty::kHeight,      GFontProperty::kRequestedWeight, GFontProperty::kRequestedItalic,
    GFontProperty::kOrientation, GFontProperty::kEscapementAngle, GFontProperty::kXScale,
    GFontProperty::kYScale,
};

constexpr GFontProperty kFaceProperties[] = {GFontProperty::kOwnEncoding, GFontProperty::kWeight,
                                             GFontProperty::kItalic};

template <size_t N>
bool SameProperties(const GFontInfo& info, const GFontMetrics& metrics, const GFont& font,
                    const GFontProperty (&properties)[N]) {
  for (GFontProperty property : properties) {
    if (FontProperty(info, metrics, property) != FontProperty(font.GetFontInfo(), font.GetMetricsRecord(), property))
      return false;
  }
  return true;
}

}  // namespace

bool GBorzanFontCache::Matches(const Node& node, const GFont& font) {
  const GFontInfo& info = font.GetFontInfo();
  const GFontMetrics& metrics = font.GetMetricsRecord();
  if (node.info.faceName != info.faceName || !SameProperties(node.info, node.metrics, font, kFaceProperties))
    return false;
  const int32_t style = font.GetKind();
  const bool sameSize = SameProperties(node.info, node.metrics, font, kSizeProperties);
  const int32_t kind = node.font->GetDownloadKind();
  if (FontPropertyValue(info, metrics, GFontProperty::kPrinterFont) != 0) {
    if (kind != GDownloadedFont::kResidentKind) return false;
    const GDeviceFontDescription* device = node.font->GetDeviceFont();
    return (device != nullptr && device->IsScalable()) || sameSize;
  }
  if ((style & xl_font::kScalableStyle) != 0) {
    return kind == GDownloadedFont::kOutlineKind &&
           SameProperties(node.info, node.metrics, font, {GFontProperty::kOrientation});
  }
  return kind == GDownloadedFont::kBitmapKind && (style & xl_font::kBitmapStyle) != 0 && sameSize;
}

bool GBorzanFontCache::Find(GFont& font) {
  for (const Node& node : Nodes()) {
    if (!Matches(node, font)) continue;
    font.SetDownloadedFontRef(std::unique_ptr<GDownloadedFontRef>(node.font->Duplicate()));
    return true;
  }
  return false;
}
