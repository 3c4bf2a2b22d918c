#include "graphics/attributes/brush.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar brushRegistrar(CreateCollectable<GBrush>, kGBrushClassID, kGBrushClassName);
const GClassRegistrar noBrushRegistrar(CreateCollectable<GNoBrush>, kGNoBrushClassID, kGNoBrushClassName);

}  // namespace

bool GBrush::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* brush = SameClassAndKey<GBrush>(other);
  return brush != nullptr && SamePaint(brush->GetPaint(), GetPaint());
}

uint16_t GBrush::SendTo(GPeripheral& target) { return target.ApplyBrush(*this); }

void GBrush::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.ObjectOf<GPaint>(paint_);
}

bool GNoBrush::SameContent(const MPersistentObject& other) const {
  return this == &other || SameClassAndKey<GNoBrush>(other) != nullptr;
}

uint16_t GNoBrush::SendTo(GPeripheral& target) { return target.ApplyNoBrush(*this); }

void GNoBrush::Fields(GFieldArchive& archive) {
  GBrush::Fields(archive);
  archive.Version(FormatVersion());
}
