#include "graphics/attributes/pen.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar penRegistrar(CreateCollectable<GPen>, kGPenClassID, kGPenClassName);
const GClassRegistrar noPenRegistrar(CreateCollectable<GNoPen>, kGNoPenClassID, kGNoPenClassName);
const GClassRegistrar dashedPenRegistrar(CreateCollectable<GDashedPen>, kGDashedPenClassID, kGDashedPenClassName);

}  // namespace

bool GPen::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* pen = SameClassAndKey<GPen>(other);
  return pen != nullptr && pen->width_ == width_ && SamePaint(pen->GetPaint(), GetPaint());
}

uint16_t GPen::SendTo(GPeripheral& target) { return target.ApplyPen(*this); }

void GPen::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int16(width_);
  archive.ObjectOf<GPaint>(paint_);
}

bool GNoPen::SameContent(const MPersistentObject& other) const {
  return this == &other || (GPen::SameContent(other) && GetPaint() == nullptr);
}

uint16_t GNoPen::SendTo(GPeripheral& target) { return target.ApplyNoPen(*this); }

void GNoPen::Fields(GFieldArchive& archive) {
  GPen::Fields(archive);
  archive.Version(FormatVersion());
}

bool GDashedPen::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* pen = dynamic_cast<const GDashedPen*>(&other);
  return pen != nullptr && GPen::SameContent(other) && pen->offset_ == offset_ && pen->dashes_ == dashes_;
}

uint16_t GDashedPen::SendTo(GPeripheral& target) { return target.ApplyDashedPen(*this); }

void GDashedPen::Fields(GFieldArchive& archive) {
  GPen::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Int16(offset_);
  uint32_t count = GetDashCount();
  if (!archive.Count(count, sizeof(uint16_t))) return;
  if (archive.IsRestoring()) dashes_.assign(count, 0);
  for (uint16_t& dash : dashes_) {
    if (!archive.UInt16(dash)) return;
  }
}
