#pragma once

#include <cstdint>

#include "graphics/display/shape_graphic.h"

// A closed polygon: its first and last points are always equal. Given
// points whose first and last differ, it owns a copy that starts with the
// last point, so that the figure closes where it began; given points that
// close already, it takes them as a shape does.
//
// Stored part after the shape's: version 1, no fields.
class GPolygonGraphic : public GShapeGraphic {
 public:
  GPolygonGraphic() = default;
  GPolygonGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key);
  GPolygonGraphic(const GPolygonGraphic& other) = default;

  RWCollectable* NewInstance() const override { return new GPolygonGraphic; }
  RWCollectable* Clone() const override { return new GPolygonGraphic(*this); }
  RWClassID ClassID() const override { return kGPolygonGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPolygonGraphicClassID || GShapeGraphic::IsKindOf(id); }
  // DrawPolygon of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};
