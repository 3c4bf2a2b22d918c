#include "graphics/attributes/raster_operation.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GRasterOperation>, kGRasterOperationClassID,
                                kGRasterOperationClassName);

}  // namespace

bool GRasterOperation::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* operation = other.ClassID() == ClassID() ? dynamic_cast<const GRasterOperation*>(&other) : nullptr;
  return operation != nullptr && operation->code_ == code_ && operation->mode_ == mode_;
}

uint16_t GRasterOperation::SendTo(GPeripheral& target) { return target.ApplyRasterOperation(*this); }

void GRasterOperation::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.UInt16(code_);
  archive.Int32(mode_);
}
