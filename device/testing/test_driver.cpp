#include "device/testing/test_driver.h"

#include "model/os/printer_identity.h"

namespace {

constexpr int32_t kSettingsRootKey = 360;

}  // namespace

std::unique_ptr<GAttributeComposite> CopySettings(const GAttributeComposite* settings) {
  if (settings == nullptr) return nullptr;
  return std::unique_ptr<GAttributeComposite>(dynamic_cast<GAttributeComposite*>(settings->DeepCopy()));
}

TestDriver::TestDriver(const RWWString& printerName, const RWWString& driverName, const RWWString& portName) {
  SetPrinterNames(printerName, driverName, portName);
}

std::unique_ptr<GAttributeComposite> TestDriver::CreateDefaultSettings() {
  if (defaultSettings == nullptr) return std::make_unique<GAttributeComposite>(kSettingsRootKey);
  return CopySettings(defaultSettings.get());
}

std::unique_ptr<GAttributeComposite> TestDriver::LoadSettings() {
  ++loads;
  return CopySettings(storedSettings.get());
}

std::unique_ptr<GAttributeComposite> TestDriver::GetReloadedSettings() { return CopySettings(storedSettings.get()); }

std::unique_ptr<GDriverKey> TestDriver::CreatePrinterIdentity() const {
  return std::make_unique<GPrinterIdentity>(nullptr, GetPrinterName(), GetText2(), GetText3(), 0);
}
