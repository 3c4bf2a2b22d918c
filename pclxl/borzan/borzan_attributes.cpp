// The PCL XL generator's graphic attributes: clips, line attributes, pens
// and brushes with their colours, the printer's colour extensions and the
// page transform.
#include "pclxl/borzan/borzan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "device/colour/colour_feature_attribute.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/gray_conversion.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/device/graphics_device.h"
#include "graphics/display/path_graphic.h"
#include "model/attributes/configuration.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_path_operators.h"
#include "pclxl/xl_session_operators.h"

namespace {

constexpr uint32_t kColorMapExtension = 0x71761001;
constexpr uint32_t kHalftoneExtension = 0x71761002;
// The longest dash list the format takes.
constexpr uint32_t kMaxDashes = 20;

// Values of the format.
constexpr uint8_t kNonZeroWindingMode = 0;
constexpr uint8_t kEvenOddMode = 1;
constexpr uint8_t kInteriorRegion = 0;
constexpr uint8_t kExteriorRegion = 1;
constexpr uint8_t kGrayColorSpace = 1;
constexpr uint8_t kRGBColorSpace = 2;

// The clip mode a clip selects, none when it leaves the mode alone.
std::optional<uint8_t> ClipModeOf(const GClip& clip) {
  if (clip.GetRegion() == GClip::kOutside) return kEvenOddMode;
  switch (clip.GetFillRule()) {
    case GClip::kEvenOdd:
      return kEvenOddMode;
    case GClip::kWinding:
      return kNonZeroWindingMode;
    default:
      return std::nullopt;
  }
}

void SendClipMode(XLStream* stream, const GClip& clip) {
  if (const std::optional<uint8_t> mode = ClipModeOf(clip)) XLSetClipMode(stream, *mode);
}

// An unset or unknown region clips to the interior.
uint8_t ClipRegionOf(const GClip& clip) {
  return clip.GetRegion() == GClip::kOutside ? kExteriorRegion : kInteriorRegion;
}

XLBox<int16_t> Box(const GRectangle& rectangle) {
  return {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
}

// Widths and offsets are unsigned in the format; a negative one is taken
// as 0.
uint16_t NotNegative(int16_t value) { return static_cast<uint16_t>(std::max<int16_t>(value, 0)); }

// The miter limit rounded to the format's 16-bit length.
uint16_t MiterLength(float limit) {
  if (!(limit > 0.0F)) return 0;
  return static_cast<uint16_t>(std::lround(std::min(limit, 65535.0F)));
}

// A paint's colour as red, green and blue; a paint without an RGB colour
// paints black, the colour's default.
GRGBColor ColourOf(const GColorPaint& paint) {
  GRGBColor colour;
  if (const GColor* held = paint.GetColor(); held != nullptr) held->CopyTo(colour);
  return colour;
}

// A colour's grey level in the job's conversion: the low byte of what
// the conversion answers.
uint8_t GrayLevelOf(GGrayFunction conversion, const GRGBColor& colour) {
  return static_cast<uint8_t>(conversion(colour.GetRed(), colour.GetGreen(), colour.GetBlue()) & 0xFF);
}

// How every handler ends: the attribute is marked applied, and the answer
// is the failure of an inner operation (a paint or a clip path), else the
// failure of a write during the handler itself.
uint16_t Applied(GBorzan& generator, GAttribute& attribute, uint16_t inner = 0) {
  attribute.SetChangedFlag(0);
  const uint16_t pending = generator.TakeStatus();
  return inner != 0 ? inner : pending;
}

// Sends the colour of a paint as one source: the colour space first, then
// the colour in it through the source's writers.
using RGBSourceWriter = void (*)(XLStream*, std::span<const uint8_t>);
using GraySourceWriter = void (*)(XLStream*, uint8_t);
void SendColour(GBorzan& generator, const GColorPaint& paint, RGBSourceWriter rgb, GraySourceWriter gray) {
  const GRGBColor colour = ColourOf(paint);
  if (generator.IsColour()) {
    XLSetColorSpace(generator.Stream(), kRGBColorSpace);
    const std::array<uint8_t, 3> components = {colour.GetRed(), colour.GetGreen(), colour.GetBlue()};
    rgb(generator.Stream(), components);
  } else {
    XLSetColorSpace(generator.Stream(), kGrayColorSpace);
    gray(generator.Stream(), GrayLevelOf(generator.GrayConversion(), colour));
  }
}

// What plain and dashed pens send after their line style.
uint16_t SendPenWidthAndPaint(GBorzan& generator, GPen& pen) {
  XLSetPenWidth(generator.Stream(), NotNegative(pen.GetWidth()));
  const uint16_t painted = pen.GetPaint() != nullptr ? pen.GetPaint()->ApplyAsPen(generator) : 0;
  return Applied(generator, pen, painted);
}

// The device code comes from the tables of the device description; a job
// without a description sends code 0, as for a setting the tables lack.
uint16_t SendColorFeature(GBorzan& generator, uint32_t extension, GColorFeatureAttribute& feature) {
  GGraphicsDevice* device = generator.GetGraphicsDevice();
  GConfiguration* description = device != nullptr ? device->GetConfiguration() : nullptr;
  const int16_t code = description != nullptr ? feature.GetDeviceValue(*description) : 0;
  XLVendorUnique(generator.Stream(), extension, static_cast<uint8_t>(code & 0xFF));
  return Applied(generator, feature);
}

}  // namespace

// Clips.

uint16_t GBorzan::ApplyClipToPage(GClipToPage& clip) {
  XLSetClipToPage(Stream());
  return Applied(*this, clip);
}

uint16_t GBorzan::ApplyClipToPath(GClipToPath& clip) {
  SetDefiningClip(true);
  SendClipMode(Stream(), clip);
  const uint16_t built = clip.GetPath() != nullptr ? clip.GetPath()->DispatchTo(*this) : 0;
  XLSetClipReplace(Stream(), ClipRegionOf(clip));
  SetDefiningClip(false);
  return Applied(*this, clip, built);
}

uint16_t GBorzan::ApplyClipToRectangle(GClipToRectangle& clip) {
  SendClipMode(Stream(), clip);
  if (clip.GetCount() <= 1) {
    XLSetClipRectangle(Stream(), Box(clip.GetRectangle(0)), ClipRegionOf(clip));
  } else {
    XLNewPath(Stream());
    for (uint32_t i = 0; i < clip.GetCount(); ++i) XLRectanglePath(Stream(), Box(clip.GetRectangle(i)));
    XLSetClipReplace(Stream(), ClipRegionOf(clip));
  }
  return Applied(*this, clip);
}

uint16_t GBorzan::ApplyClipToSingleRectangle(GClipToSingleRectangle& clip) {
  SendClipMode(Stream(), clip);
  XLSetClipRectangle(Stream(), Box(*clip.GetRectangle()), ClipRegionOf(clip));
  return Applied(*this, clip);
}

// Lines.

// The format's cap styles are butt 0, round 1 and square 2.
uint16_t GBorzan::ApplyCap(GCap& cap) {
  switch (cap.GetKind()) {
    case GCap::kRound:
      XLSetLineCap(Stream(), 1);
      break;
    case GCap::kSquare:
      XLSetLineCap(Stream(), 2);
      break;
    case GCap::kFlat:
      XLSetLineCap(Stream(), 0);
      break;
    default:
      break;
  }
  return Applied(*this, cap);
}

// The joint kinds are the format's join styles.
uint16_t GBorzan::ApplyJoint(GJoint& joint) {
  const int32_t kind = joint.GetKind();
  if (kind >= GJoint::kMiter && kind <= GJoint::kNone) XLSetLineJoin(Stream(), static_cast<uint8_t>(kind));
  return Applied(*this, joint);
}

uint16_t GBorzan::ApplyMiterJoint(GMiterJoint& joint) {
  XLSetMiterLimit(Stream(), MiterLength(joint.GetLimit()));
  XLSetLineJoin(Stream(), static_cast<uint8_t>(GJoint::kMiter));
  return Applied(*this, joint);
}

uint16_t GBorzan::ApplyFillMode(GFillMode& mode) {
  if (mode.GetMode() == GFillMode::kEvenOdd) XLSetFillMode(Stream(), kEvenOddMode);
  if (mode.GetMode() == GFillMode::kNonZeroWinding) XLSetFillMode(Stream(), kNonZeroWindingMode);
  return Applied(*this, mode);
}

// Pens and brushes.

uint16_t GBorzan::ApplyPen(GPen& pen) {
  XLSetLineDashSolid(Stream(), 0);
  return SendPenWidthAndPaint(*this, pen);
}

uint16_t GBorzan::ApplyDashedPen(GDashedPen& pen) {
  const uint32_t count = pen.GetDashCount();
  if (count >= 1 && count <= kMaxDashes) {
    XLSetLineDash(Stream(), std::span<const uint16_t>(pen.GetDashArray(), count), NotNegative(pen.GetDashOffset()));
  } else {
    XLSetLineDashSolid(Stream(), 0);
  }
  return SendPenWidthAndPaint(*this, pen);
}

uint16_t GBorzan::ApplyBrush(GBrush& brush) {
  const uint16_t painted = brush.GetPaint() != nullptr ? brush.GetPaint()->ApplyAsBrush(*this) : 0;
  return Applied(*this, brush, painted);
}

uint16_t GBorzan::ApplyNoPen(GNoPen& pen) {
  SetPenKind(kNoSource);
  XLSetPenSourceNull(Stream(), 0);
  return Applied(*this, pen);
}

uint16_t GBorzan::ApplyNoBrush(GNoBrush& brush) {
  SetBrushKind(kNoSource);
  XLSetBrushSourceNull(Stream(), 0);
  return Applied(*this, brush);
}

uint16_t GBorzan::SetPenColor(GColorPaint& paint) {
  SetPenKind(kColourSource);
  SendColour(*this, paint, XLSetPenSourceRGB, XLSetPenSourceGrayLevel);
  return TakeStatus();
}

uint16_t GBorzan::SetBrushColor(GColorPaint& paint) {
  SetBrushKind(kColourSource);
  SendColour(*this, paint, XLSetBrushSourceRGB, XLSetBrushSourceGrayLevel);
  return TakeStatus();
}

namespace {

// The pattern every pen and brush paint is sent as.
constexpr int16_t kPaintPattern = 1;

int32_t PatternKindOf(const GPaint& paint) {
  return paint.IsOpaque() ? GBorzan::kPatternSource : GBorzan::kSeeThroughSource;
}

// Sends the paint's bitmap as the pattern and selects it through the
// source's writer; the null source when the bitmap cannot be sent.
using PatternSourceWriter = void (*)(XLStream*, int16_t, std::optional<XLPair<uint16_t>>);
using NullSourceWriter = void (*)(XLStream*, uint8_t);
void SendPattern(GBorzan& generator, const GPaint& paint, PatternSourceWriter pattern, NullSourceWriter none) {
  if (generator.PreparePaintBitmap(paint, kPaintPattern) != 0) {
    pattern(generator.Stream(), kPaintPattern, std::nullopt);
  } else {
    none(generator.Stream(), 0);
  }
}

}  // namespace

uint16_t GBorzan::SetPenPaint(GPaint& paint) {
  SetPenKind(PatternKindOf(paint));
  SendPattern(*this, paint, XLSetPenSourcePattern, XLSetPenSourceNull);
  return TakeStatus();
}

uint16_t GBorzan::SetBrushPaint(GPaint& paint) {
  SetBrushKind(PatternKindOf(paint));
  SendPattern(*this, paint, XLSetBrushSourcePattern, XLSetBrushSourceNull);
  return TakeStatus();
}

// Colour extensions.

uint16_t GBorzan::ApplyColorMap(GColorMap& map) { return SendColorFeature(*this, kColorMapExtension, map); }

uint16_t GBorzan::ApplyHalftone(GHalftone& halftone) { return SendColorFeature(*this, kHalftoneExtension, halftone); }

uint16_t GBorzan::ApplyHalftoneEnhanced(GHalftoneEnhanced& halftone) {
  return SendColorFeature(*this, kHalftoneExtension, halftone);
}

// The page transform.

uint16_t GBorzan::ApplyTransform(GTransformAttribute& transform) {
  const GScale scale = transform.GetScale();
  if (IsInPage() && scale.x > 0.0F && scale.y > 0.0F) {
    const GPoint origin = transform.GetOffset();
    XLSetPageDefaultCTM(Stream());
    XLSetPageOrigin(Stream(), XLPair<int16_t>{origin.x, origin.y});
    XLSetPageRotation(Stream(), transform.GetAngle());
    XLSetPageScale(Stream(), XLPair<float>{scale.x, scale.y});
  }
  return Applied(*this, transform);
}

// Settings.

uint16_t GBorzan::ApplyValueAttribute(GValueAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GBorzan::ApplyStringAttribute(GStringAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GBorzan::ApplyRangeAttribute(GRangeAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GBorzan::ApplyEnumAttribute(GEnumAttribute& attribute) {
  attribute.ClearAllChanged();
  return TakeStatus();
}
