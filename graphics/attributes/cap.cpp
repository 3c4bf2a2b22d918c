#include "graphics/attributes/cap.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GCap>, kGCapClassID, kGCapClassName);

}  // namespace

bool GCap::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* cap = SameClassAndKey<GCap>(other);
  return cap != nullptr && cap->kind_ == kind_;
}

uint16_t GCap::SendTo(GPeripheral& target) { return target.ApplyCap(*this); }

void GCap::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(kind_);
}
