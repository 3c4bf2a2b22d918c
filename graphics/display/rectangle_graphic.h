#pragma once

#include <cstdint>

#include "graphics/display/shape_graphic.h"

// A rectangle, which is its own bounds; it has no points.
//
// Stored part after the shape's: version 1, no fields.
class GRectangleGraphic : public GShapeGraphic {
 public:
  GRectangleGraphic() = default;
  GRectangleGraphic(const GRectangle& rectangle, GGraphicBundle* state, int32_t key)
      : GShapeGraphic(rectangle, state, key) {}
  GRectangleGraphic(const GRectangleGraphic& other) = default;

  RWCollectable* NewInstance() const override { return new GRectangleGraphic; }
  RWCollectable* Clone() const override { return new GRectangleGraphic(*this); }
  RWClassID ClassID() const override { return kGRectangleGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGRectangleGraphicClassID || GShapeGraphic::IsKindOf(id); }
  // DrawRectangle of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};
