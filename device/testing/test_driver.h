#pragma once

#include <cstdint>
#include <memory>

#include "device/driver/driver.h"
#include "device/driver/ui_driver.h"

// A driver object for tests of the driver object and of what is built on
// it. Its settings are the test's: LoadSettings and GetReloadedSettings
// answer deep copies of storedSettings (null without them), the default
// settings are a copy of defaultSettings (an empty composite of key 360
// without them). Its identity is made of its three names. It is neither a
// user-interface driver nor a graphics device (TestUIDriver is the one).
class TestDriver : public virtual GDriver {
 public:
  explicit TestDriver(const RWWString& printerName = RWWString(QV_WIDE("Test Printer")),
                      const RWWString& driverName = RWWString(QV_WIDE("Test Driver")),
                      const RWWString& portName = RWWString(QV_WIDE("LPT1:")));

  void RefreshAppFlags() override { SetAppFlags(moduleAppFlags); }
  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  GUIDriver* AsUIDriver() override { return nullptr; }
  std::unique_ptr<GAttributeComposite> CreateDefaultSettings() override;
  std::unique_ptr<GAttributeComposite> LoadSettings() override;
  void ReleaseJobResources() override { ++jobReleases; }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override;
  void LocalJobStorageKey(RWWString& key) override { key = QV_WIDE("LocalJobStorageData"); }
  GAttributeComposite* GetDevmodeSettings() override { return devmodeSettings.get(); }
  GAttributeComposite* GetDocumentSettings() override { return documentSettings.get(); }
  std::unique_ptr<GAttributeComposite> GetReloadedSettings() override;
  int32_t IsRemotePrinter() override { return remote; }

  using GDriver::CurrentSettings;
  using GDriver::GetJobStarted;
  using GDriver::LoadCurrentSettings;
  using GDriver::SetJobStarted;
  using GDriver::Text4;

  std::unique_ptr<GAttributeComposite> storedSettings;
  std::unique_ptr<GAttributeComposite> defaultSettings;
  std::unique_ptr<GAttributeComposite> devmodeSettings;
  std::unique_ptr<GAttributeComposite> documentSettings;
  // The application flags that RefreshAppFlags copies in.
  uint32_t moduleAppFlags = 0;
  // What IsRemotePrinter answers.
  int32_t remote = 0;
  // How often LoadSettings and ReleaseJobResources were called.
  int32_t loads = 0;
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
