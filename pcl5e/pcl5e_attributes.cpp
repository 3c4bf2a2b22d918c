// The PCL 5e generator's graphic attributes: pens, brushes, line
// attributes, the fill rule and clips. Line attributes go to GL/2 at once;
// clips are kept and become the GL/2 input window on the next entry.
#include <cstdint>
#include <string_view>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/paint.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "pcl5e/pcl5e.h"
#include "pcl5e/pcl_templates.h"
#include "pclxl/borzan/text_bytes.h"

namespace {

// How every handler ends: the attribute is marked applied, and the answer
// is the failure of an inner operation (a paint), else the failure of a
// write during the handler itself.
uint16_t Applied(GPcl5e& generator, GAttribute& attribute, uint16_t inner = 0) {
  attribute.SetChangedFlag(0);
  const uint16_t pending = generator.TakeStatus();
  return inner != 0 ? inner : pending;
}

// The GL/2 line-attribute values of the cap and joint kinds.
constexpr int32_t kButtCap = 1;
constexpr int32_t kSquareCap = 2;
constexpr int32_t kRoundCap = 4;
constexpr int32_t kJoinValues[] = {1, 4, 5, 6};

}  // namespace

uint16_t GPcl5e::ApplyBrush(GBrush& brush) {
  const uint16_t painted = brush.GetPaint() != nullptr ? brush.GetPaint()->ApplyAsBrush(*this) : 0;
  drawingFlags_ |= kBrushSet;
  return Applied(*this, brush, painted);
}

uint16_t GPcl5e::ApplyNoBrush(GNoBrush& brush) {
  drawingFlags_ &= ~kBrushSet;
  return Applied(*this, brush);
}

uint16_t GPcl5e::ApplyNoPen(GNoPen& pen) {
  drawingFlags_ &= ~kPenSet;
  return Applied(*this, pen);
}

// A solid pen ends a dash pattern the last pen left.
uint16_t GPcl5e::ApplyPen(GPen& pen) {
  if (penFill_.dashedLine) {
    EnterGL2(0);
    Send(pcl_template::kSolidLine);
    penFill_.dashedLine = false;
  }
  drawingFlags_ |= kPenSet;
  const uint16_t painted = pen.GetPaint() != nullptr ? pen.GetPaint()->ApplyAsPen(*this) : 0;
  SetPenWidth(static_cast<int16_t>(pen.GetWidth() * transformScale_.x));
  return Applied(*this, pen, painted);
}

// The dashes become a user line type whose pattern length is their sum.
uint16_t GPcl5e::ApplyDashedPen(GDashedPen& pen) {
  drawingFlags_ |= kPenSet;
  const uint16_t painted = pen.GetPaint() != nullptr ? pen.GetPaint()->ApplyAsPen(*this) : 0;
  SetPenWidth(static_cast<int16_t>(pen.GetWidth() * transformScale_.x));
  EnterGL2(0);
  Send(pcl_template::kUserLineType);
  int32_t total = 0;
  for (uint32_t i = 0; i < pen.GetDashCount(); ++i) {
    const uint16_t length = pen.GetDashArray()[i];
    Send(pcl_template::kUserLineTypeGap, {length});
    total += length;
  }
  Send(pcl_template::kLineType, {total, (xResolution_ + yResolution_) / 2});
  penFill_.dashedLine = true;
  return Applied(*this, pen, painted);
}

uint16_t GPcl5e::ApplyCap(GCap& cap) {
  int32_t value = 0;
  switch (cap.GetKind()) {
    case GCap::kRound:
      value = kRoundCap;
      break;
    case GCap::kSquare:
      value = kSquareCap;
      break;
    case GCap::kFlat:
      value = kButtCap;
      break;
    default:
      return Applied(*this, cap);
  }
  EnterGL2(0);
  Send(pcl_template::kLineCap, {value});
  return Applied(*this, cap);
}

uint16_t GPcl5e::ApplyJoint(GJoint& joint) {
  const int32_t kind = joint.GetKind();
  if (kind >= GJoint::kMiter && kind <= GJoint::kNone) {
    EnterGL2(0);
    Send(pcl_template::kLineJoin, {kJoinValues[kind]});
  }
  return Applied(*this, joint);
}

uint16_t GPcl5e::ApplyMiterJoint(GMiterJoint& joint) {
  EnterGL2(0);
  Send(pcl_template::kMiterLimit, {static_cast<int32_t>(joint.GetLimit())});
  return Applied(*this, joint);
}

uint16_t GPcl5e::ApplyFillMode(GFillMode& mode) {
  if (mode.GetMode() == GFillMode::kNonZeroWinding) fillRule_ = 1;
  if (mode.GetMode() == GFillMode::kEvenOdd) fillRule_ = 0;
  return Applied(*this, mode);
}

// Clips.

uint16_t GPcl5e::ApplyClipToPage(GClipToPage& clip) {
  clipMode_ = kNoClip;
  gl2Dirty_ |= kGl2InputWindow;
  return Applied(*this, clip);
}

// One rectangle is a window; more are a clip the window cannot hold.
uint16_t GPcl5e::ApplyClipToRectangle(GClipToRectangle& clip) {
  if (clip.GetCount() < 2) {
    clipMode_ = kRectangleClip;
    clipRectangle_ = clip.GetRectangle(0);
  } else {
    clipMode_ = kOtherClip;
  }
  gl2Dirty_ |= kGl2InputWindow;
  return Applied(*this, clip);
}

uint16_t GPcl5e::ApplyClipToSingleRectangle(GClipToSingleRectangle& clip) {
  clipMode_ = kRectangleClip;
  clipRectangle_ = *clip.GetRectangle();
  gl2Dirty_ |= kGl2InputWindow;
  return Applied(*this, clip);
}

uint16_t GPcl5e::ApplyClipToPath(GClipToPath& clip) { return Applied(*this, clip); }

// Settings that mean nothing to the language: marked applied only.

uint16_t GPcl5e::ApplyValueAttribute(GValueAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GPcl5e::ApplyStringAttribute(GStringAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GPcl5e::ApplyRangeAttribute(GRangeAttribute& attribute) { return Applied(*this, attribute); }

uint16_t GPcl5e::ApplyEnumAttribute(GEnumAttribute& attribute) {
  attribute.ClearAllChanged();
  return TakeStatus();
}

int32_t GPcl5e::IsFontEscapeUsable(const RWCString& selection) {
  return View(selection).find('\x1B') != std::string_view::npos ? 1 : 0;
}

uint16_t GPcl5e::SetPenPaint(GPaint&) { return TakeStatus(); }

uint16_t GPcl5e::SetPenColor(GColorPaint&) { return TakeStatus(); }

uint16_t GPcl5e::SetBrushPaint(GPaint&) { return TakeStatus(); }

uint16_t GPcl5e::SetBrushColor(GColorPaint&) { return TakeStatus(); }

uint16_t GPcl5e::DeleteFont(const RWCString&) { return TakeStatus(); }
