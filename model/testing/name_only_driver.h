#pragma once

#include <memory>

#include "foundation/rw_wstring.h"
#include "model/os/driver_interface.h"

// A driver object that has nothing but its printer's name, which is all the
// stand-in OS factory asks of one; its driver name is the same.
class NameOnlyDriver : public GDriverInterface {
 public:
  explicit NameOnlyDriver(const RWWString& printerName) : name_(printerName) {}

  GUIDriver* AsUIDriver() override { return nullptr; }
  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override { return nullptr; }
  void Invalidate(const GDriverKey&) override {}
  void ReleaseJobResources() override {}
  int32_t ReleaseCachedMemory() override { return 0; }
  void SetSettingsRoot(std::unique_ptr<GPeripheral>) override {}
  void SetResourceMappings(std::unique_ptr<GResourceMappingList>) override {}
  void SetOSTrayMap(std::unique_ptr<GResourceMappingList>) override {}
  void SetExtraMappings(std::unique_ptr<GResourceMappingList>) override {}
  GConfiguration* GetConfiguration() override { return nullptr; }
  const RWWString& GetPrinterName() const override { return name_; }
  const RWWString& GetText2() const override { return name_; }

 private:
  RWWString name_;
};
