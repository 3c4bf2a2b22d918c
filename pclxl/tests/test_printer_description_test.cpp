#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/driver/driver.h"
#include "device/media/custom_media_size.h"
#include "device/media/media_pool.h"
#include "device/paper/tray.h"
#include "device/query/port_name.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "foundation/rw_wstring.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/rectangle_graphic.h"
#include "model/attributes/configuration.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/resource_mapping.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/os/drvrsrvr.h"
#include "model/os/memory_os_factory.h"
#include "model/os/printer_identity.h"
#include "pclxl/testing/borzan_job.h"
#include "pclxl/testing/pjl_job.h"
#include "pclxl/testing/pjl_line_checker.h"
#include "pipeline/printer.h"

namespace {

constexpr const char kDriverName[] = "QV Test Printer";

// Makes the test printer's driver objects, keeping the last one's address.
class TestDriverFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<GDriverInterface> CreateDriverObject(const GDriverKey& key) override {
    const auto& identity = dynamic_cast<const GPrinterIdentity&>(key);
    auto driver = std::make_unique<TestDriver>(identity.PrinterName(), identity.DriverName(), identity.PortName());
    made = driver.get();
    return driver;
  }

  TestDriver* made = nullptr;
};

int32_t CountTray(GTray& tray, GResourceMapping*, int32_t, void* context, int32_t&) {
  static_cast<std::vector<int16_t>*>(context)->push_back(tray.GetId());
  return 1;
}

// The driver server loading the build's compiled test printer into a
// driver object, and the driver object answering from it.
class TestPrinterDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_ = new TestDriverFactory;
    GOSFactory::SetInstance(factory_);
    factory_->SetDriverDataFile(RWWString(kDriverName), RWWString(QV_TEST_PRINTER_DATA_FILE));
    CreateDriverServer();
  }

  void TearDown() override {
    delete GDriverServer::Instance();
    delete factory_;
  }

  // Opens the test printer on the port; null when the server loaded
  // nothing. The server answers no user-interface object for a test
  // driver, so the handle tells whether it registered one.
  TestDriver* Open(const char* port = "LPT1:") {
    uint32_t handle = 0;
    GDriverServer::Instance()->Open(std::make_unique<GPrinterIdentity>(nullptr, RWWString("Test printer"),
                                                                       RWWString(kDriverName), RWWString(port), 0),
                                    handle);
    return handle != 0 ? factory_->made : nullptr;
  }

  TestDriverFactory* factory_ = nullptr;
};

TEST_F(TestPrinterDescriptionTest, TheServerLoadsTheDeviceTreeAndTheMappingLists) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);

  ASSERT_NE(driver->GetSettingsRoot(), nullptr);
  EXPECT_EQ(driver->GetSettingsRoot()->Key(), 353);
  GPeripheral* head = driver->GetPipelineHead();
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->Key(), 76);
  auto* printer = dynamic_cast<GPrinter*>(head);
  ASSERT_NE(printer, nullptr);
  ASSERT_NE(printer->GeneratorChild(), nullptr);
  EXPECT_EQ(printer->GeneratorChild()->Key(), 101);
  EXPECT_EQ(driver->FindGenerator(), printer->GeneratorChild());
  ASSERT_NE(printer->PJLChild(), nullptr);
  EXPECT_EQ(printer->PJLChild()->Key(), 106);
  GConfiguration* configuration = driver->GetConfiguration();
  ASSERT_NE(configuration, nullptr);
  EXPECT_EQ(configuration, head->GetConfiguration());
  for (const int32_t key : {189, 195, 192, 206, 228, 90, 1114, 369, 375, 359, 401, 984, 1132, 414}) {
    SCOPED_TRACE(key);
    EXPECT_NE(configuration->FindByKey(key), nullptr);
  }
  GMediaPool* pool = driver->GetDeviceMediaPool();
  ASSERT_NE(pool, nullptr);
  EXPECT_NE(pool->FindBySizeId(9, 0, 600), nullptr);
  EXPECT_NE(pool->FindBySizeId(17384, 90, 1200), nullptr);
  EXPECT_NE(driver->GetBinPool(), nullptr);

  ASSERT_NE(driver->GetResourceMappings(), nullptr);
  EXPECT_EQ(driver->GetResourceMappings()->Key(), 191);
  ASSERT_NE(driver->GetOSTrayMap(), nullptr);
  EXPECT_EQ(driver->GetOSTrayMap()->Key(), 84);
  ASSERT_NE(driver->GetExtraMappings(), nullptr);
  EXPECT_EQ(driver->GetExtraMappings()->Key(), 194);
  EXPECT_TRUE(driver->HasExtraMapping(7));
  EXPECT_EQ(driver->GetConfigurationText401(), RWWString("Quillvane QV-4100 mono laser"));
}

// The identity's third name is the port the driver object is asked about.
// The description's pipeline runs a job: the printer takes a channel from
// the provider registry, its PJL writer frames the job and names the PCL XL
// generator's language to enter, and the generator writes a page with a
// rectangle on Tray 2's A4 between the frame's two halves.
TEST_F(TestPrinterDescriptionTest, ThePipelineHeadPrintsAPCLXLJobFramedInPJL) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  GPeripheral* head = driver->GetPipelineHead();
  ASSERT_NE(head, nullptr);
  const RegisteredMemoryProvider provider;
  const RWWString name(QV_WIDE("Report"));
  const RWWString output(QV_WIDE("memory"));

  EXPECT_EQ(ProcessThrough(*head, new GDocumentStart(name, output, nullptr, 0)), 0);
  auto* page = new GState(GPeripheral::kPageStateKey);
  auto* a4 = static_cast<GMedia*>(driver->GetDeviceMediaPool()->FindBySizeId(9, 0, 600)->Clone());
  a4->SetKey(259);
  page->AddChild(a4);
  AddValue(*page, 258, 2);
  EXPECT_EQ(ProcessThrough(*head, new GPageStart(page, 0)), 0);
  EXPECT_EQ(ProcessThrough(*head, new GRectangleGraphic(GRectangle{100, 100, 200, 150}, nullptr, 0)), 0);
  EXPECT_EQ(ProcessThrough(*head, new GPageEnd(new GState(GPeripheral::kPageStateKey), 0)), 0);
  EXPECT_EQ(ProcessThrough(*head, new GDocumentEnd(name, output, 0)), 0);

  const std::string job = provider.Output();
  EXPECT_EQ(job.rfind("\x1b%-12345X@PJL JOB NAME=\"Report\"\r\n", 0), 0u);
  const size_t enter = job.find("@PJL ENTER LANGUAGE=PCLXL\r\n");
  ASSERT_NE(enter, std::string::npos);
  const size_t stream = enter + std::string("@PJL ENTER LANGUAGE=PCLXL\r\n").size();
  const size_t trailer = job.find("\x1b%-12345X", stream);
  ASSERT_NE(trailer, std::string::npos);
  EXPECT_NE(job.find("@PJL EOJ NAME=\"Report\"\r\n", trailer), std::string::npos);
  EXPECT_EQ(CheckPJL(job.substr(0, stream)), "");
  EXPECT_EQ(CheckPJL(job.substr(trailer)), "");

  const strict_pclxl::ReadResult read =
      strict_pclxl::ReadStrictly({reinterpret_cast<const uint8_t*>(job.data() + stream), trailer - stream});
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);
  const std::vector<std::string> pages = xl_job::PerPage(read, "MediaSize");
  EXPECT_EQ(pages, std::vector<std::string>{"A4"});
  EXPECT_EQ(xl_job::PerPage(read, "MediaSource"), std::vector<std::string>{"4"});
  const std::vector<std::string> names = read.OperatorNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "RectanglePath"), names.end());
}

TEST_F(TestPrinterDescriptionTest, ThePortIsTheIdentitysThirdName) {
  TestDriver* driver = Open("\\\\server\\laser");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->GetText3(), RWWString("\\\\server\\laser"));
  EXPECT_EQ(ClassifyPortName(driver->GetText3()), kNetworkShare);
}

TEST_F(TestPrinterDescriptionTest, MediaIdsPaperSizesAndResolutions) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  struct Case {
    const char* what;
    uint16_t mediaId;
    int32_t classification;
  };
  for (const Case& c :
       {Case{"listed Letter", 1, 1}, Case{"listed A4", 9, 1}, Case{"unlisted Legal", 5, 2}, Case{"unlisted A5", 11, 2},
        Case{"first custom id", 16385, 2}, Case{"last custom id", 17383, 2}}) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(driver->ClassifyMediaId(nullptr, c.mediaId, 0, 600, 600), c.classification);
  }

  EXPECT_TRUE(driver->HasOptionPair(600, 600));
  EXPECT_TRUE(driver->HasOptionPair(1200, 1200));
  EXPECT_FALSE(driver->HasOptionPair(600, 1200));
  EXPECT_FALSE(driver->HasOptionPair(300, 300));

  int16_t deviceId = 0;
  EXPECT_EQ(driver->OSIdToDeviceId(9, deviceId), 1);
  EXPECT_EQ(deviceId, 9);
  uint16_t osId = 0;
  EXPECT_EQ(driver->DeviceIdToOSId(11, osId), 1);
  EXPECT_EQ(osId, 11);
  EXPECT_EQ(driver->DeviceIdToOSId(17384, osId), 0);
}

// Legal is exactly the largest custom size and A5 larger than the
// smallest: both lie within the limits at either resolution; a paper
// without a mapping exists only among the custom sizes of the settings.
TEST_F(TestPrinterDescriptionTest, PapersAreHeldAgainstTheCustomSizeLimits) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  driver->storedSettings = std::make_unique<GAttributeComposite>(360);
  ASSERT_NE(driver->LoadCurrentSettings(), nullptr);
  for (const GResolution resolution : {GResolution{600, 600}, GResolution{1200, 1200}}) {
    SCOPED_TRACE(resolution.x);
    for (const uint16_t paper : {1, 5, 9, 11}) {
      SCOPED_TRACE(paper);
      EXPECT_EQ(driver->IsPaperSupported(0, resolution, 1, paper), 1);
      EXPECT_EQ(driver->IsPaperSupported(90, resolution, 1, paper), 1);
    }
    EXPECT_EQ(driver->IsPaperSupported(0, resolution, 1, 8), 0);
  }
  EXPECT_EQ(driver->IsPaperSupported(0, GResolution{300, 300}, 0, 9), 0);

  int32_t count = 0;
  EXPECT_EQ(driver->EnumerateMedia(nullptr, nullptr, 0, GResolution{600, 600}, 1, 1, count), 1);
  EXPECT_EQ(count, 4);
}

// The paper-source order puts Tray 2 before Tray 1; both trays map to OS
// paper sources.
TEST_F(TestPrinterDescriptionTest, PaperSourcesFollowTheSourceOrderAndTheTrayMap) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  std::vector<int16_t> trays;
  int32_t count = 0;
  EXPECT_EQ(driver->EnumeratePaperSources(CountTray, &trays, 1, count), -1);
  EXPECT_EQ(trays, (std::vector<int16_t>{2, 1}));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(driver->HasPaperSource(4));
  EXPECT_TRUE(driver->HasPaperSource(2));
  EXPECT_FALSE(driver->HasPaperSource(1));
}

// New custom sizes take the first free id of their range.
TEST_F(TestPrinterDescriptionTest, CustomSizesTakeIdsFromTheirRange) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  GAttributeComposite sizes(276);
  for (const char* name : {"Postcard", "Label", "Index card"}) {
    auto* size = new GCustomMediaSize;
    size->SetName(RWCString(name));
    ASSERT_EQ(driver->AddCustomMediaSize(size, sizes, nullptr), 1);
  }
  std::vector<int16_t> ids;
  for (uint32_t i = 0; i < sizes.EntryCount(); ++i) {
    ids.push_back(dynamic_cast<GCustomMediaSize&>(*sizes.Children()[i].Get()).GetId());
  }
  EXPECT_EQ(ids, (std::vector<int16_t>{16385, 16386, 16387}));
}

// Value 339 of the device root's configuration is read once and again
// only after the driver object is invalidated.
TEST_F(TestPrinterDescriptionTest, TheCachedDeviceValueIsReadAgainOnlyAfterInvalidate) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->GetCachedSetting339(), 1);
  auto* value = dynamic_cast<GValueAttribute*>(driver->GetSettingsRoot()->GetConfiguration()->FindByKey(339));
  ASSERT_NE(value, nullptr);
  value->SetValue(7);
  EXPECT_EQ(driver->GetCachedSetting339(), 1);
  driver->Invalidate(GPrinterIdentity());
  EXPECT_EQ(driver->GetCachedSetting339(), 7);
}

// The description asks for the compact settings format and lets
// extensions load.
TEST_F(TestPrinterDescriptionTest, TheDescriptionsSwitches) {
  TestDriver* driver = Open();
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->LoadExtension(RWCString(), 0), 1);
  MPersistentObject* templates = driver->GetConfiguration()->FindByKey(359);
  ASSERT_NE(templates, nullptr);
  MPersistentObject* group = templates->FindByKey(366);
  ASSERT_NE(group, nullptr);
  auto* compact = dynamic_cast<GValueAttribute*>(group->FindByKey(940));
  ASSERT_NE(compact, nullptr);
  EXPECT_EQ(compact->Value(), 1);
  EXPECT_FALSE(driver->IsNotInNameList(RWCString("Proof")));
  EXPECT_TRUE(driver->IsNotInNameList(RWCString("Final")));
}

}  // namespace
