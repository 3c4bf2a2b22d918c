#include "device/extensions/helper_dll_loader.h"

#include <algorithm>
#include <string>

#include "model/os/osfactry.h"
#include "platform/dynamic_library.h"

namespace {

constexpr WideChar kPrintersKey[] = QV_WIDE("System\\CurrentControlSet\\Control\\Print\\Printers\\");
constexpr WideChar kPrinterDataSubkey[] = QV_WIDE("\\PrinterDriverData");
constexpr WideChar kRequestValue[] = QV_WIDE("QvrdbUpdateRequest");
constexpr uint32_t kMissing = 0xFFFFFFFF;
constexpr uint32_t kRequested = 1;

// The machine key of the printer: under its name, else under the name with
// backslashes made commas; empty when neither exists.
RWWString PrinterKey(GOSFactory& factory, const RWWString& printerName) {
  RWWString key = kPrintersKey + printerName;
  if (factory.MachineKeyExists(key) != 0) return key;
  std::basic_string<WideChar> connection(printerName.Data(), printerName.Length());
  std::replace(connection.begin(), connection.end(), WideChar('\\'), WideChar(','));
  key = kPrintersKey + RWWString(connection.data(), static_cast<uint32_t>(connection.size()));
  return factory.MachineKeyExists(key) != 0 ? key : RWWString();
}

}  // namespace

GHelperDllLoader::~GHelperDllLoader() { Unload(); }

void GHelperDllLoader::LoadOnUpdateRequest() {
  GOSFactory* factory = GOSFactory::Instance();
  if (factory == nullptr) return;
  RWWString key = PrinterKey(*factory, Name());
  if (key.Length() == 0) return;
  key.Append(kPrinterDataSubkey);

  const RWWString valueName(kRequestValue);
  const uint32_t request = factory->ReadMachineDword(key, valueName, kMissing);
  if (request == kMissing) {
    factory->SetMachineDwordIfMissing(key, valueName, 0);
  } else if (request != kRequested) {
    return;
  }
  if (IsBlocked() != 0) return;
  SetLoading(1);
  if (LoadAndInitialize() == 0) SetLoading(0);
}

int32_t GHelperDllLoader::LoadAndInitialize() {
  Unload();
  platform::ModuleHandle module = platform::OpenModule(Path().Data());
  if (module == nullptr) return 0;
  SetModule(module);
  const int32_t result = Initialize();
  if (result == 0 || result == 1) return 1;
  Unload();
  return 0;
}

void GHelperDllLoader::Unload() {
  if (!IsLoaded()) return;
  platform::CloseModule(Module());
  SetModule(nullptr);
}
