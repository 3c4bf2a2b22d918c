#include "graphics/testing/test_graphics_device.h"

#include "graphics/commands/command.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/state.h"
#include "model/os/drvrsrvr.h"
#include "model/os/printer_identity.h"

TestGraphicsDevice::TestGraphicsDevice(const RWWString& printerName, const RWWString& driverName,
                                       const RWWString& portName) {
  SetPrinterNames(printerName, driverName, portName);
}

uint32_t TestGraphicsDevice::GetHandle() const {
  GDriverServer* server = GDriverServer::Instance();
  uint32_t handle = 0;
  if (server == nullptr || server->FindHandleOf(GDriverServer::kRenderTable, this, handle) == 0) return 0;
  return handle;
}

std::unique_ptr<GState> TestGraphicsDevice::BuildDocumentState() {
  Note("BuildDocumentState");
  return std::make_unique<GState>(GDocumentCommand::kStateKey);
}

std::unique_ptr<GDocumentStart> TestGraphicsDevice::StartDocument(const RWWString& documentName,
                                                                  const RWWString& outputName) {
  Note("StartDocument");
  return std::make_unique<GDocumentStart>(documentName, outputName, this, 0);
}

std::unique_ptr<GPageStart> TestGraphicsDevice::StartPage() {
  Note("StartPage");
  return std::make_unique<GPageStart>(0);
}

std::unique_ptr<GPageEnd> TestGraphicsDevice::EndPage() {
  Note("EndPage");
  return std::make_unique<GPageEnd>(0);
}

std::unique_ptr<GMedia> TestGraphicsDevice::ResolveMediaById(int16_t) {
  Note("ResolveMediaById");
  return nullptr;
}

std::unique_ptr<GMedia> TestGraphicsDevice::ResolveMediaBySize(int16_t, int32_t, uint16_t, uint16_t) {
  Note("ResolveMediaBySize");
  return nullptr;
}

uint16_t TestGraphicsDevice::Submit(GCommand* command) { return Take("Submit", command); }

uint16_t TestGraphicsDevice::Process(GCommand* command) { return Take("Process", command); }

int32_t TestGraphicsDevice::SetCopies(int32_t requested, int32_t& granted) {
  granted = requested;
  return Note("SetCopies");
}

std::unique_ptr<GAttributeComposite> TestGraphicsDevice::GetJobStorageState() {
  Note("GetJobStorageState");
  return nullptr;
}

std::unique_ptr<GAttributeComposite> TestGraphicsDevice::FindJobStorageEntry() {
  Note("FindJobStorageEntry");
  return nullptr;
}

int32_t TestGraphicsDevice::Note(const char* operation) {
  calls.emplace_back(operation);
  return 0;
}

uint16_t TestGraphicsDevice::Take(const char* operation, GCommand* command) {
  const std::unique_ptr<GCommand> taken(command);
  return static_cast<uint16_t>(Note(operation));
}

std::unique_ptr<GDriverInterface> TestGraphicsDeviceFactory::CreateRenderDriverObject(const GDriverKey& key) {
  const auto* identity = dynamic_cast<const GPrinterIdentity*>(&key);
  if (identity == nullptr) return std::make_unique<TestGraphicsDevice>();
  return std::make_unique<TestGraphicsDevice>(identity->PrinterName(), identity->DriverName(), identity->PortName());
}
