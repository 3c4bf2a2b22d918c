#pragma once

#include <cstdint>
#include <memory>

#include "device/driver/driver.h"
#include "device/driver/ui_driver.h"

// The settings a test hands a driver object, and the answers the driver
// object's settings operations give from them: LoadStoredSettings and
// StoredSettingsCopy answer deep copies of storedSettings (null without
// them), DefaultSettingsCopy a copy of defaultSettings (an empty composite
// of key 360 without them). The test driver and the test graphics device
// share it.
struct TestDriverSettings {
  std::unique_ptr<GAttributeComposite> DefaultSettingsCopy() const;
  // Counts the load.
  std::unique_ptr<GAttributeComposite> LoadStoredSettings();
  std::unique_ptr<GAttributeComposite> StoredSettingsCopy() const;

  std::unique_ptr<GAttributeComposite> storedSettings;
  std::unique_ptr<GAttributeComposite> defaultSettings;
  std::unique_ptr<GAttributeComposite> devmodeSettings;
  std::unique_ptr<GAttributeComposite> documentSettings;
  // The application flags that RefreshAppFlags copies in.
  uint32_t moduleAppFlags = 0;
  // How often the settings were loaded.
  int32_t loads = 0;
};

// A new identity of a driver object from its three names.
std::unique_ptr<GDriverKey> IdentityOfNames(const GDriver& driver);

// A driver object for tests of the driver object and of what is built on
// it, with the test's settings. Its identity is made of its three names. It
// is neither a user-interface driver nor a graphics device (TestUIDriver is
// the one).
class TestDriver : public virtual GDriver, public TestDriverSettings {
 public:
  explicit TestDriver(const RWWString& printerName = RWWString(QV_WIDE("Test Printer")),
                      const RWWString& driverName = RWWString(QV_WIDE("Test Driver")),
                      const RWWString& portName = RWWString(QV_WIDE("LPT1:")));

  void RefreshAppFlags() override { SetAppFlags(moduleAppFlags); }
  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  GUIDriver* AsUIDriver() override { return nullptr; }
  std::unique_ptr<GAttributeComposite> CreateDefaultSettings() override { return DefaultSettingsCopy(); }
  std::unique_ptr<GAttributeComposite> LoadSettings() override { return LoadStoredSettings(); }
  void ReleaseJobResources() override { ++jobReleases; }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override { return IdentityOfNames(*this); }
  void LocalJobStorageKey(RWWString& key) override { key = QV_WIDE("LocalJobStorageData"); }
  GAttributeComposite* GetDevmodeSettings() override { return devmodeSettings.get(); }
  GAttributeComposite* GetDocumentSettings() override { return documentSettings.get(); }
  std::unique_ptr<GAttributeComposite> GetReloadedSettings() override { return StoredSettingsCopy(); }
  int32_t IsRemotePrinter() override { return remote; }

  using GDriver::CurrentSettings;
  using GDriver::GetJobStarted;
  using GDriver::LoadCurrentSettings;
  using GDriver::SetJobStarted;
  using GDriver::Text4;

  // What IsRemotePrinter answers.
  int32_t remote = 0;
  // How often ReleaseJobResources was called.
  int32_t jobReleases = 0;
};

// A deep copy of a settings composite; null for null.
std::unique_ptr<GAttributeComposite> CopySettings(const GAttributeComposite* settings);

// The user-interface driver over the test's settings, as TestDriver keeps
// them.
class TestUIDriver : public GUIDriver, public TestDriver {
 public:
  using TestDriver::TestDriver;

  GGraphicsDevice* AsGraphicsDevice() override { return GUIDriver::AsGraphicsDevice(); }
  GUIDriver* AsUIDriver() override { return GUIDriver::AsUIDriver(); }
  void ReleaseJobResources() override { GUIDriver::ReleaseJobResources(); }

  // The decisions of the capabilities belong to the process; each test
  // starts them afresh.
  using GUIDriver::ResetCapabilities;
};
