#include "graphics/display/raster_graphic.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "graphics/bitmaps/rectangle_intersection.h"
#include "graphics/clips/clip.h"
#include "graphics/display/rectangle_field.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRasterGraphic>, kGRasterGraphicClassID, kGRasterGraphicClassName);
const GClassRegistrar preScaledRegistrar(CreateCollectable<GPreScaledRasterGraphic>, kGPreScaledRasterGraphicClassID,
                                         kGPreScaledRasterGraphicClassName);

bool IsEmpty(const GRectangle& r) { return r.left == r.right || r.top == r.bottom; }

// A path's bounds, or those of a list of rectangles, say too little of what
// shows; the device clips such images itself.
bool FollowsAnObject(const GClip& clip) {
  if (clip.IsKindOf(kGClipToRectangleClassID)) return true;
  return clip.IsKindOf(kGClipToPathClassID) && static_cast<const GClipToPath&>(clip).GetPath() != nullptr;
}

// The distance from low to high as 16-bit unsigned, as lengths of
// rectangles are counted.
uint32_t Span(int16_t low, int16_t high) { return static_cast<uint16_t>(high - low); }

int16_t Offset(int16_t origin, uint32_t distance) { return static_cast<int16_t>(origin + distance); }

// One axis of the mapping: the visible interval [visibleLow, visibleHigh)
// of the destination interval starting at destinationLow and dstLength
// long, taken back to a source interval of srcLength pixels (widened to
// whole pixels, kept within the source) and forward again. The visible
// interval lies within the destination and neither length is 0, so every
// product of two 16-bit lengths and every sum below fits in 32 unsigned
// bits and no division is by zero.
struct Axis {
  uint32_t sourceLow;
  uint32_t sourceHigh;
  int16_t destinationLow;
  int16_t destinationHigh;
};

Axis MapAxis(int16_t visibleLow, int16_t visibleHigh, int16_t destinationLow, uint32_t dstLength, uint32_t srcLength) {
  const uint32_t low = Span(destinationLow, visibleLow) * srcLength / dstLength;
  const uint32_t high =
      std::min((Span(destinationLow, visibleHigh) * srcLength + dstLength - 1) / dstLength, srcLength);
  return {low, high, Offset(destinationLow, low * dstLength / srcLength),
          Offset(destinationLow, high * dstLength / srcLength)};
}

}  // namespace

int32_t GRasterGraphic::ComputeVisibleArea(const GClip* clip, GRectangle& source, GRectangle& destination) const {
  source = {};
  destination = {};
  if (IsEmpty(source_) || IsEmpty(destination_)) return 1;
  GRectangle visible = destination_;
  if (clip != nullptr) {
    GRectangle bounds;
    if (clip->GetBounds(bounds) != 0) visible = IntersectRectangles(bounds, destination_);
  }
  if (clip == nullptr || visible == destination_ || FollowsAnObject(*clip)) {
    source = source_;
    destination = destination_;
    return 1;
  }
  if (IsEmpty(visible)) return 1;
  const Axis x = MapAxis(visible.left, visible.right, destination_.left, Span(destination_.left, destination_.right),
                         Span(source_.left, source_.right));
  const Axis y = MapAxis(visible.top, visible.bottom, destination_.top, Span(destination_.top, destination_.bottom),
                         Span(source_.top, source_.bottom));
  destination = {x.destinationLow, y.destinationLow, x.destinationHigh, y.destinationHigh};
  source = {Offset(source_.left, x.sourceLow), Offset(source_.top, y.sourceLow), Offset(source_.left, x.sourceHigh),
            Offset(source_.top, y.sourceHigh)};
  return destination == visible ? 1 : 0;
}

bool GRasterGraphic::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GGraphic::SameContent(other)) return false;
  const auto& raster = static_cast<const GRasterGraphic&>(other);
  return image_.SameContent(raster.image_) && source_ == raster.source_ && destination_ == raster.destination_ &&
         second_.SameContent(raster.second_);
}

void GRasterGraphic::OwnData() {
  image_.MakeDataOwned();
  second_.MakeDataOwned();
}

uint16_t GRasterGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawRaster(*this); }

void GRasterGraphic::Fields(GFieldArchive& archive) {
  GGraphic::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectValue(image_) && RectangleField(archive, source_) && RectangleField(archive, destination_) &&
      archive.ObjectValue(second_);
}
