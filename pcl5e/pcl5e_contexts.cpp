// The PCL 5e generator's two contexts: entering and leaving GL/2 with the
// state each side must send again, the transparency, palette, cursor,
// pen-width and rotation caches, and the page transform.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "graphics/bitmaps/dither_matrix.h"
#include "model/attributes/state.h"
#include "pcl5e/pcl5e.h"
#include "pcl5e/pcl_templates.h"

namespace {

// A template value in dots: truncated toward zero, saturated, NaN as 0.
int32_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  if (value >= kMax) return std::numeric_limits<int32_t>::max();
  if (value <= -kMax) return -std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// The anchor of the GL/2 fill patterns lies this many dots below the top.
constexpr int32_t kPatternAnchorY = 4;
constexpr uint8_t kGraphicsPalette = 2;
constexpr int32_t kPlotterUnitsPerInchTimes20000 = 20320000;

}  // namespace

void GPcl5e::EnterGL2(uint32_t mask) {
  if ((mask & kGl2SourceTransparent) != 0) SetSourceTransparency(1);
  if (!gl2Active_) {
    if (!gl2SetUp_) {
      keptPolygon_ = nullptr;
      SelectPalette(kGraphicsPalette);
    }
    Send(pcl_template::kEnterGL2);
    gl2Active_ = true;
    if (!gl2SetUp_) {
      if (!transformScalingSent_) {
        Send(pcl_template::kGL2DefaultScaling, {xResolution_, yResolution_});
        SetRotation(0);
        Send(pcl_template::kGL2InputRelativeWindow);
      }
      const int32_t width = PatternWidth();
      const int32_t originX = currentMedia_ != nullptr ? currentMedia_->GetPrintableOrigin().x : 0;
      const int32_t phase = ((originX - kPatternAnchorY) % width + width) % width;
      Send(HasCapability(kPatternPenCapability) ? pcl_template::kGL2SetUpWithPatternPen : pcl_template::kGL2SetUp,
           {0, 0, width - phase, kPatternAnchorY});
      penFill_.currentPen = 1;
      penFill_.lastPenWidth = -1;
      gl2SetUp_ = true;
    }
  }
  const uint32_t dirty = mask & gl2Dirty_;
  gl2Dirty_ &= ~dirty;
  std::string text;
  ComposeGl2State(dirty, text);
  if (text.empty()) return;
  const GRectangle& clip = clipRectangle_;
  int32_t right = clip.right;
  if (logicalPage_ && currentMedia_ != nullptr) {
    const int32_t printable = currentMedia_->GetPrintableSize().x;
    if (right >= printable && right <= currentMedia_->GetPaperSize().x) {
      right = printable + currentMedia_->GetPrintableOrigin().x;
    }
  }
  Send(text, {logicalOperation_, patternTransparency_, clip.left, clip.top, right, clip.bottom});
}

// The GL/2 state of the dirty bits as one template.
void GPcl5e::ComposeGl2State(uint32_t dirty, std::string& text) {
  if ((dirty & kGl2MergeControl) != 0 && HasCapability(kMergeControlCapability)) {
    text += pcl_template::kGL2MergeControl;
  }
  if ((dirty & kGl2Transparency) != 0) text += pcl_template::kGL2Transparency;
  if ((dirty & kGl2InputWindow) != 0) {
    text += clipMode_ == kRectangleClip ? pcl_template::kGL2InputWindow : pcl_template::kGL2InputWindowReset;
    sentClipMode_ = clipMode_;
  }
}

void GPcl5e::LeaveGL2(uint32_t mask, bool resetSetup) {
  if (resetSetup) gl2SetUp_ = false;
  if (gl2Active_) {
    Send(pcl_template::kLeaveGL2);
    gl2Active_ = false;
    cursorXUnknown_ = true;
    cursorYUnknown_ = true;
  }
  const uint32_t dirty = mask & pclDirty_;
  pclDirty_ &= ~dirty;
  std::string text;
  if ((dirty & kPclLogicalOperation) != 0 && HasCapability(kMergeControlCapability)) {
    text += pcl_template::kLogicalOperation;
  }
  if ((dirty & kPclSourceTransparency) != 0) text += pcl_template::kSourceTransparencyMode;
  if ((dirty & kPclPatternTransparency) != 0) text += pcl_template::kPatternTransparencyMode;
  if (!text.empty()) Send(text, {logicalOperation_, sourceTransparency_, patternTransparency_});
}

void GPcl5e::SetGL2Mode(int32_t mode) {
  if (mode == 0) LeaveGL2(0, false);
  if (mode == 1) EnterGL2(0);
}

// The dirty bit says that the printer's mode differs from the recorded
// one; a command is sent only when the wanted flag changes that.
void GPcl5e::SetSourceTransparency(int32_t flag) {
  const bool differs = (pclDirty_ & kPclSourceTransparency) != 0;
  if (differs != (flag == sourceTransparency_)) return;
  pclDirty_ ^= kPclSourceTransparency;
  LeaveGL2(0, false);
  Send(flag == 1 ? pcl_template::kSourceTransparent : pcl_template::kSourceOpaque);
}

void GPcl5e::SetPatternTransparency(int32_t flag) {
  uint32_t& bits = gl2Active_ ? gl2Dirty_ : pclDirty_;
  const uint32_t bit = gl2Active_ ? kGl2Transparency : kPclPatternTransparency;
  const bool differs = (bits & bit) != 0;
  if (differs != (flag == patternTransparency_)) return;
  bits ^= bit;
  if (gl2Active_) {
    Send(flag == 1 ? pcl_template::kGL2Transparent : pcl_template::kGL2Opaque);
  } else {
    Send(flag == 1 ? pcl_template::kPatternTransparent : pcl_template::kPatternOpaque);
  }
}

void GPcl5e::SelectPalette(uint8_t id) {
  if ((colourModel_ != 0 && colourModel_ != 1) || id == selectedPalette_) return;
  const bool wasInGL2 = gl2Active_;
  if (wasInGL2) LeaveGL2(0, false);
  selectedPalette_ = id;
  if (id != kGraphicsPalette) penFill_.currentPen = kUnknownPen;
  Send(pcl_template::kSelectPalette, {0, 0, 0, 0, id});
  if (wasInGL2) EnterGL2(0);
}

void GPcl5e::SetOrientation(uint8_t code) {
  if (code == sentOrientation_) return;
  sentOrientation_ = code;
  Send(pcl_template::kOrientation, {code});
}

bool GPcl5e::CursorAxisDiffers(int16_t value, int16_t& recorded, bool& unknown, bool force) {
  if (force || unknown) {
    unknown = false;
    recorded = static_cast<int16_t>(~value);
  }
  const bool differs = recorded != value;
  recorded = value;
  return differs;
}

// The cursor command: both axes, one of them, or nothing; built once for
// the stream and for callers that assemble their own bytes.
std::string GPcl5e::CursorCommand(int16_t x, int16_t y, bool forceX, bool forceY) {
  const bool sendX = CursorAxisDiffers(x, cursorX_, cursorXUnknown_, forceX);
  const bool sendY = CursorAxisDiffers(y, cursorY_, cursorYUnknown_, forceY);
  char text[32] = {};
  if (sendX && sendY) {
    std::snprintf(text, sizeof text, "\x1B*p%dx%dY", x, y);
  } else if (sendX) {
    std::snprintf(text, sizeof text, "\x1B*p%dX", x);
  } else if (sendY) {
    std::snprintf(text, sizeof text, "\x1B*p%dY", y);
  }
  return text;
}

void GPcl5e::SetCursor(int16_t x, int16_t y, bool forceX, bool forceY) {
  LeaveGL2(0, false);
  SendBytes(CursorCommand(x, y, forceX, forceY));
}

void GPcl5e::FormatCursor(int16_t x, int16_t y, bool forceX, bool forceY, std::vector<uint8_t>& buffer,
                          size_t& position) {
  const std::string command = CursorCommand(x, y, forceX, forceY);
  if (buffer.size() < position + command.size()) buffer.resize(position + command.size());
  std::copy(command.begin(), command.end(), buffer.begin() + static_cast<std::ptrdiff_t>(position));
  position += command.size();
}

// Entering GL/2 may send the set-up, which sets its own width and
// rotation, so the caches are compared again after it.
void GPcl5e::SetPenWidth(int16_t dots) {
  if (dots == penFill_.lastPenWidth) return;
  EnterGL2(0);
  penFill_.lastPenWidth = dots;
  Send(pcl_template::kPenWidth, {dots == 0 ? 1 : dots, xResolution_});
}

void GPcl5e::SetRotation(int16_t angle) {
  if (angle == sentRotation_) return;
  EnterGL2(0);
  if (angle == sentRotation_) return;
  sentRotation_ = angle;
  Send(pcl_template::kGL2Rotation, {angle});
}

GPcl5e::Placement GPcl5e::GetTransformPlacement() {
  Placement placement;
  placement.scale = GetTransformScale();
  GState* graphicState = FindStateFor(kGraphicStateKey);
  const auto* transform =
      graphicState != nullptr
          ? dynamic_cast<GTransformAttribute*>(graphicState->FindKindOf(kGTransformAttributeClassID))
          : nullptr;
  if (transform == nullptr || currentMedia_ == nullptr) return placement;
  placement.angle = transform->GetAngle();
  const GPoint offset = transform->GetOffset();
  const int32_t x0 = currentMedia_->GetPrintableOrigin().x;
  const int32_t y0 = currentMedia_->GetPrintableOrigin().y;
  const int32_t aw = currentMedia_->GetPrintableSize().x;
  const int32_t ah = currentMedia_->GetPrintableSize().y;
  const int32_t ph = currentMedia_->GetPaperSize().y;
  const auto point = [](int32_t x, int32_t y) { return GPoint{static_cast<int16_t>(x), static_cast<int16_t>(y)}; };
  switch (placement.angle) {
    case 90:
      placement.offset = point(ph + x0 - offset.y + 1, offset.x - x0);
      break;
    case 180:
      placement.offset = point(2 * x0 + aw - offset.x, ah - y0 - offset.y);
      break;
    case 270:
      placement.offset = point(offset.y + x0, x0 + aw - offset.x);
      break;
    default:
      placement.offset = offset;
      break;
  }
  return placement;
}

// Turns and scales GL/2 so that plotter coordinates become the transformed
// page's dots; PCL takes the turn as its print direction.
uint16_t GPcl5e::ApplyTransform(GTransformAttribute& transform) {
  transform.SetChangedFlag(0);
  if (!IsInPage()) return TakeStatus();
  const GScale scale = transform.GetScale();
  const GPoint offset = transform.GetOffset();
  const int16_t angle = transform.GetAngle();
  transformScale_ = scale;
  LeaveGL2(0, false);
  Send(pcl_template::kPrintDirection, {angle});
  transformScalingSent_ = true;
  EnterGL2(0);
  const double sx = scale.x;
  const double sy = scale.y;
  const double x0 = currentMedia_ != nullptr ? currentMedia_->GetPrintableOrigin().x : 0;
  const double y0 = currentMedia_ != nullptr ? currentMedia_->GetPrintableOrigin().y : 0;
  const double aw = currentMedia_ != nullptr ? currentMedia_->GetPrintableSize().x : 0;
  const double ah = currentMedia_ != nullptr ? currentMedia_->GetPrintableSize().y : 0;
  const double ox = offset.x;
  const double oy = offset.y;
  double e = (x0 - ox) / sx;
  double f = (y0 - oy) / sy;
  switch (angle) {
    case 90:
      e = (oy - y0 - ah) / sy;
      f = (x0 - ox) / sx;
      break;
    case 180:
      e = (ox - x0 - aw) / sx;
      f = (oy - ah - y0) / sy;
      break;
    case 270:
      e = (y0 - oy) / sy;
      f = (ox - x0 - aw) / sx;
      break;
    default:
      break;
  }
  const int32_t a = Truncate(sx / xResolution_ * kPlotterUnitsPerInchTimes20000);
  const int32_t b = Truncate(sy / yResolution_ * kPlotterUnitsPerInchTimes20000);
  Send(pcl_template::kGL2TransformScaling, {a, b, 0, 0, Truncate(e), Truncate(f)});
  SetRotation(angle);
  Send(pcl_template::kGL2InputRelativeWindow);
  return TakeStatus();
}
