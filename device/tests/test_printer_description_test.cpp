#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "device/media/media_pool.h"
#include "device/testing/test_peripheral_composite.h"
#include "foundation/rw_wstring.h"
#include "model/attributes/configuration.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/resource_mapping.h"
#include "model/os/drvrsrvr.h"
#include "model/os/memory_os_factory.h"
#include "model/os/printer_identity.h"

namespace {

constexpr const char kDriverName[] = "QV Test Printer";

// A driver object that keeps what the driver server loads into it. It has
// no user-interface side, so the server's Open answers null for it; the
// factory that makes it keeps its address.
class DescribedDriver : public GDriverInterface {
 public:
  explicit DescribedDriver(const GDriverKey& key) {
    if (const auto* identity = dynamic_cast<const GPrinterIdentity*>(&key)) {
      printerName_ = identity->PrinterName();
      driverName_ = identity->DriverName();
    }
  }

  GUIDriver* AsUIDriver() override { return nullptr; }
  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override {
    return std::make_unique<GPrinterIdentity>(nullptr, printerName_, driverName_, RWWString("LPT1:"), 0);
  }
  void Invalidate(const GDriverKey&) override {}
  void ReleaseJobResources() override {}
  int32_t ReleaseCachedMemory() override { return 0; }
  void SetSettingsRoot(std::unique_ptr<GPeripheral> root) override { root_ = std::move(root); }
  void SetResourceMappings(std::unique_ptr<GResourceMappingList> list) override { sizes_ = std::move(list); }
  void SetOSTrayMap(std::unique_ptr<GResourceMappingList> list) override { trays_ = std::move(list); }
  void SetExtraMappings(std::unique_ptr<GResourceMappingList> list) override { extra_ = std::move(list); }
  GConfiguration* GetConfiguration() override {
    auto* head = root_ ? dynamic_cast<GPeripheral*>(root_->FindByKey(76)) : nullptr;
    return head != nullptr ? head->GetConfiguration() : nullptr;
  }
  const RWWString& GetPrinterName() const override { return printerName_; }
  const RWWString& GetText2() const override { return driverName_; }

  GPeripheral* Root() const { return root_.get(); }
  GResourceMappingList* Sizes() const { return sizes_.get(); }
  GResourceMappingList* Trays() const { return trays_.get(); }
  GResourceMappingList* Extra() const { return extra_.get(); }

 private:
  RWWString printerName_;
  RWWString driverName_;
  std::unique_ptr<GPeripheral> root_;
  std::unique_ptr<GResourceMappingList> sizes_;
  std::unique_ptr<GResourceMappingList> trays_;
  std::unique_ptr<GResourceMappingList> extra_;
};

class DescribedDriverFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<GDriverInterface> CreateDriverObject(const GDriverKey& key) override {
    auto driver = std::make_unique<DescribedDriver>(key);
    made = driver.get();
    return driver;
  }

  DescribedDriver* made = nullptr;
};

// The driver server loading the build's compiled test printer.
class TestPrinterDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_ = new DescribedDriverFactory;
    GOSFactory::SetInstance(factory_);
    factory_->SetDriverDataFile(RWWString(kDriverName), RWWString(QV_TEST_PRINTER_DATA_FILE));
    CreateDriverServer();
  }

  void TearDown() override {
    delete GDriverServer::Instance();
    delete factory_;
  }

  // Opens the test printer; null when the server loaded nothing.
  DescribedDriver* Open() {
    uint32_t handle = 0;
    GDriverServer::Instance()->Open(std::make_unique<GPrinterIdentity>(nullptr, RWWString("Test printer"),
                                                                       RWWString(kDriverName), RWWString("LPT1:"), 0),
                                    handle);
    return handle != 0 ? factory_->made : nullptr;
  }

  DescribedDriverFactory* factory_ = nullptr;
};

TEST_F(TestPrinterDescriptionTest, TheServerLoadsTheDeviceTreeAndTheMappingLists) {
  DescribedDriver* driver = Open();
  ASSERT_NE(driver, nullptr);

  ASSERT_NE(driver->Root(), nullptr);
  EXPECT_EQ(driver->Root()->Key(), 353);
  auto* head = dynamic_cast<TestPeripheralComposite*>(driver->Root()->FindByKey(76));
  ASSERT_NE(head, nullptr);
  EXPECT_NE(head->FindByKey(101), nullptr);
  EXPECT_NE(head->FindByKey(106), nullptr);
  GConfiguration* configuration = driver->GetConfiguration();
  ASSERT_NE(configuration, nullptr);
  for (const int32_t key : {189, 195, 192, 206, 228, 90, 1114, 369, 375, 359, 401, 984, 1132, 414}) {
    SCOPED_TRACE(key);
    EXPECT_NE(configuration->FindByKey(key), nullptr);
  }
  auto* pool = dynamic_cast<GMediaPool*>(configuration->FindByKey(189));
  ASSERT_NE(pool, nullptr);
  EXPECT_NE(pool->FindBySizeId(9, 0, 600), nullptr);
  EXPECT_NE(pool->FindBySizeId(17384, 90, 1200), nullptr);

  ASSERT_NE(driver->Sizes(), nullptr);
  EXPECT_EQ(driver->Sizes()->Key(), 191);
  ASSERT_NE(driver->Sizes()->FindByOsId(9), nullptr);
  ASSERT_NE(driver->Trays(), nullptr);
  ASSERT_NE(driver->Trays()->FindByDeviceId(2), nullptr);
  EXPECT_EQ(driver->Trays()->FindByDeviceId(2)->OsId(), 2);
  ASSERT_NE(driver->Extra(), nullptr);
  EXPECT_EQ(driver->Extra()->Key(), 194);
  EXPECT_NE(driver->Extra()->FindByOsId(7), nullptr);
}

}  // namespace
