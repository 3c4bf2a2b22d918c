#include "graphics/commands/error_command.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GErrorCommand>, kGErrorCommandClassID, kGErrorCommandClassName);

}  // namespace

GErrorCommand::GErrorCommand(uint16_t errorCode, MPersistentObject* related, int32_t key)
    : GCommand(key), errorCode_(errorCode), related_(related) {}

bool GErrorCommand::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GCommand::SameContent(other)) return false;
  const auto& error = static_cast<const GErrorCommand&>(other);
  return errorCode_ == error.errorCode_ && related_.Get() == error.related_.Get();
}

uint16_t GErrorCommand::DispatchTo(GPeripheral& peripheral) { return peripheral.HandleError(*this); }

uint16_t GErrorCommand::ExchangeErrorCode(uint16_t code) {
  const uint16_t before = errorCode_;
  errorCode_ = code;
  return before;
}

void GErrorCommand::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  bool present = !related_.IsEmpty();
  if (!archive.UInt16(errorCode_) || !archive.Bool32(present)) return;
  if (present) {
    archive.Object(related_);
  } else {
    related_ = nullptr;
  }
}
