#include "graphics/commands/download_header_command.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDownloadHeaderCommand>, kGDownloadHeaderCommandClassID,
                                kGDownloadHeaderCommandClassName);

}  // namespace

bool GDownloadHeaderCommand::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GCommand::SameContent(other)) return false;
  return selector_ == static_cast<const GDownloadHeaderCommand&>(other).selector_;
}

uint16_t GDownloadHeaderCommand::DispatchTo(GPeripheral& peripheral) { return peripheral.DownloadHeader(*this); }

void GDownloadHeaderCommand::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(selector_);
}
