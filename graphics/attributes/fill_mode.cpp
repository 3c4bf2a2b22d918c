#include "graphics/attributes/fill_mode.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GFillMode>, kGFillModeClassID, kGFillModeClassName);

}  // namespace

bool GFillMode::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* mode = other.ClassID() == ClassID() ? dynamic_cast<const GFillMode*>(&other) : nullptr;
  return mode != nullptr && mode->mode_ == mode_;
}

uint16_t GFillMode::SendTo(GPeripheral& target) { return target.ApplyFillMode(*this); }

void GFillMode::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(mode_);
}
