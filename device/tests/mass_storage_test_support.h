#pragma once

#include <gtest/gtest.h>

#include <string>

#include "foundation/rw_wstring.h"
#include "model/os/memory_os_factory.h"
#include "model/testing/name_only_driver.h"

// The stand-in OS factory with a module directory the test chooses (empty
// for one that is not known).
class ModuleDirectoryFactory : public GMemoryOSFactory {
 public:
  void GetModuleDirectory(RWWString& path) override { path = moduleDirectory; }

  RWWString moduleDirectory;
};

// A test over a printer whose data lives in a ModuleDirectoryFactory,
// installed as the current factory for the test's length.
class MassStorageTest : public ::testing::Test {
 protected:
  MassStorageTest() { GOSFactory::SetInstance(factory_); }
  ~MassStorageTest() override { delete factory_; }

  // Writes the printer value named after a slot.
  void StoreSlotValue(const WideChar* name, const std::string& value) {
    factory_->SetPrinterDataString(driver_, RWWString(name), RWWString(value.c_str()));
  }
  RWWString StoredSlotValue(const WideChar* name) {
    RWWString value;
    factory_->GetPrinterDataString(value, driver_, RWWString(name), RWWString());
    return value;
  }

  ModuleDirectoryFactory* factory_ = new ModuleDirectoryFactory;
  NameOnlyDriver driver_{RWWString("Catalogue printer")};
};
