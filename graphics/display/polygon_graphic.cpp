#include "graphics/display/polygon_graphic.h"

#include <vector>

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPolygonGraphic>, kGPolygonGraphicClassID, kGPolygonGraphicClassName);

// The points with a copy of the last one in front when the figure does not
// close by itself.
GPointArray Closed(const GPointArray& points) {
  const uint32_t count = points.Count();
  if (count == 0 || *points.At(0) == *points.At(count - 1)) return points;
  std::vector<GPoint> closed;
  closed.reserve(count + 1);
  closed.push_back(*points.At(count - 1));
  closed.insert(closed.end(), points.Points(), points.Points() + count);
  return GPointArray(std::move(closed));
}

}  // namespace

GPolygonGraphic::GPolygonGraphic(const GPointArray& points, GGraphicBundle* state, int32_t key)
    : GShapeGraphic(Closed(points), state, key) {}

uint16_t GPolygonGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawPolygon(*this); }

void GPolygonGraphic::Fields(GFieldArchive& archive) {
  GShapeGraphic::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
