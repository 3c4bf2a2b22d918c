#include "graphics/display/poly_bezier_graphic.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPolyBezierGraphic>, kGPolyBezierGraphicClassID,
                                kGPolyBezierGraphicClassName);

}  // namespace

GPolyBezierGraphic::GPolyBezierGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key)
    : GShapeGraphic(points, state, key) {
  if (GetPointCount() == 0) return;
  SetStartPoint(*GetPoint(0));
  MutablePoints().SkipFirst();
}

uint16_t GPolyBezierGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawPolyBezier(*this); }

void GPolyBezierGraphic::Fields(GFieldArchive& archive) {
  GShapeGraphic::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
