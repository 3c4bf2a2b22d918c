#include "graphics/display/rectangle_graphic.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRectangleGraphic>, kGRectangleGraphicClassID,
                                kGRectangleGraphicClassName);

}  // namespace

uint16_t GRectangleGraphic::DispatchTo(GPeripheral& peripheral) { return peripheral.DrawRectangle(*this); }

void GRectangleGraphic::Fields(GFieldArchive& archive) {
  GShapeGraphic::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
