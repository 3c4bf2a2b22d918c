#include "graphics/commands/document_command.h"

#include "foundation/class_registrar.h"
#include "graphics/device/graphics_device.h"
#include "graphics/output/output_channel.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/state.h"
#include "model/os/drvrsrvr.h"

namespace {

const GClassRegistrar startRegistrar(CreateCollectable<GDocumentStart>, kGDocumentStartClassID,
                                     kGDocumentStartClassName);
const GClassRegistrar endRegistrar(CreateCollectable<GDocumentEnd>, kGDocumentEndClassID, kGDocumentEndClassName);

GGraphicsDevice* DeviceOfHandle(uint32_t handle) {
  GDriverServer* server = GDriverServer::Instance();
  return server != nullptr ? server->FindRenderObject(handle) : nullptr;
}

}  // namespace

// Document commands.

GDocumentCommand::GDocumentCommand(int32_t key) : GCommand(StateWithKey(nullptr, kStateKey), key) {}

GDocumentCommand::GDocumentCommand(const RWWString& documentName, const RWWString& outputName, GState* state,
                                   int32_t key)
    : GCommand(StateWithKey(state, kStateKey), key), documentName_(documentName), outputName_(outputName) {}

bool GDocumentCommand::SameContent(const MPersistentObject& other) const {
  if (!GCommand::SameContent(other)) return false;
  const auto* command = dynamic_cast<const GDocumentCommand*>(&other);
  return command != nullptr && documentName_ == command->documentName_ && outputName_ == command->outputName_;
}

void GDocumentCommand::SetOutputChannel(GOutputChannel* channel) {
  if (channel == channel_) return;
  delete channel_;
  channel_ = channel;
}

GOutputChannel* GDocumentCommand::TakeOutputChannel() {
  GOutputChannel* channel = channel_;
  channel_ = nullptr;
  return channel;
}

bool GDocumentCommand::AcceptsState(GState* state) { return AcceptWithKey(state, kStateKey); }

void GDocumentCommand::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.WideString(documentName_) && archive.WideString(outputName_);
}

// Document start.

GDocumentStart::GDocumentStart(const RWWString& documentName, const RWCString& alternateName,
                               const RWWString& outputName, GGraphicsDevice* device, GState* state, int32_t key)
    : GDocumentCommand(documentName, outputName, state, key), device_(device), alternateName_(alternateName) {}

GDocumentStart::GDocumentStart(const RWWString& documentName, const RWWString& outputName, GGraphicsDevice* device,
                               int32_t key)
    : GDocumentStart(documentName, RWCString(), outputName, device, nullptr, key) {}

bool GDocumentStart::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID()) return false;
  return device_ == static_cast<const GDocumentStart&>(other).device_ && GDocumentCommand::SameContent(other);
}

uint16_t GDocumentStart::DispatchTo(GPeripheral& peripheral) { return peripheral.DocumentStart(*this); }

void GDocumentStart::Fields(GFieldArchive& archive) {
  GDocumentCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  bool present = device_ != nullptr;
  if (!archive.Bool32(present)) return;
  if (!present) {
    device_ = nullptr;
    return;
  }
  uint32_t handle = device_ != nullptr ? device_->GetHandle() : 0;
  if (archive.UInt32(handle) && archive.IsRestoring()) device_ = DeviceOfHandle(handle);
}

// Document end.

bool GDocumentEnd::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return other.ClassID() == ClassID() && GDocumentCommand::SameContent(other);
}

uint16_t GDocumentEnd::DispatchTo(GPeripheral& peripheral) { return peripheral.DocumentEnd(*this); }

void GDocumentEnd::Fields(GFieldArchive& archive) {
  GDocumentCommand::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
