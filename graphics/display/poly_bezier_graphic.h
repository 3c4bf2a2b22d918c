#pragma once

#include <cstdint>

#include "graphics/display/shape_graphic.h"

// A curve of cubic Bézier segments. The start point is the curve's first
// point; the points that follow it, three per segment (two control points
// and an end point), are the shape's points.
//
// The closed flag tells a generator to close the figure; it is not stored.
// Stored part after the shape's: version 1, no fields.
class GPolyBezierGraphic : public GShapeGraphic {
 public:
  GPolyBezierGraphic() = default;
  // The first of the points becomes the start point.
  GPolyBezierGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key);
  GPolyBezierGraphic(const GPolyBezierGraphic& other) = default;

  void SetClosedFlag(bool closed) { closed_ = closed; }
  bool GetClosedFlag() const { return closed_; }

  RWCollectable* NewInstance() const override { return new GPolyBezierGraphic; }
  RWCollectable* Clone() const override { return new GPolyBezierGraphic(*this); }
  RWClassID ClassID() const override { return kGPolyBezierGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPolyBezierGraphicClassID || GShapeGraphic::IsKindOf(id); }
  // DrawPolyBezier of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  bool closed_ = false;
};
