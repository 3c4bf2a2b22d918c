#include "device/testing/test_driver.h"

#include "model/os/printer_identity.h"

namespace {

constexpr int32_t kSettingsRootKey = 360;

}  // namespace

std::unique_ptr<GAttributeComposite> CopySettings(const GAttributeComposite* settings) {
  if (settings == nullptr) return nullptr;
  return std::unique_ptr<GAttributeComposite>(dynamic_cast<GAttributeComposite*>(settings->DeepCopy()));
}

std::unique_ptr<GAttributeComposite> TestDriverSettings::DefaultSettingsCopy() const {
  if (defaultSettings == nullptr) return std::make_unique<GAttributeComposite>(kSettingsRootKey);
  return CopySettings(defaultSettings.get());
}

std::unique_ptr<GAttributeComposite> TestDriverSettings::LoadStoredSettings() {
  ++loads;
  return StoredSettingsCopy();
}

std::unique_ptr<GAttributeComposite> TestDriverSettings::StoredSettingsCopy() const {
  return CopySettings(storedSettings.get());
}

std::unique_ptr<GDriverKey> IdentityOfNames(const GDriver& driver) {
  return std::make_unique<GPrinterIdentity>(nullptr, driver.GetPrinterName(), driver.GetText2(), driver.GetText3(), 0);
}

TestDriver::TestDriver(const RWWString& printerName, const RWWString& driverName, const RWWString& portName) {
  SetPrinterNames(printerName, driverName, portName);
}
