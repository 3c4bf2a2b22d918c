// Tests of the driver object: what it owns, the lookups in its device tree,
// the cached device value, the media-id and resolution checks, the mapping
// lookups and the extension registration.
#include "device/driver/driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/testing/recording_extensions.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/os/printer_identity.h"

namespace {

// A mapping list that counts its deletions.
class CountedMappingList : public GResourceMappingList {
 public:
  explicit CountedMappingList(int* deletions) : deletions_(deletions) {}
  ~CountedMappingList() override { ++*deletions_; }

 private:
  int* deletions_;
};

// A device root that counts its deletions.
class CountedRoot : public TestPeripheral {
 public:
  explicit CountedRoot(int* deletions) : deletions_(deletions) {}
  ~CountedRoot() override { ++*deletions_; }

 private:
  int* deletions_;
};

std::string Narrow(const RWWString& text) { return text.ToAscii().Data(); }

// A driver object over a device tree built by hand; the tests fill the
// device description.
class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    TestDeviceTree tree = MakeDeviceTree();
    head_ = tree.head;
    rootConfiguration_ = tree.rootConfiguration;
    configuration_ = tree.configuration;
    driver_.SetSettingsRoot(std::move(tree.root));
  }

  TestDriver driver_;
  TestPeripheralComposite* head_;
  GConfiguration* rootConfiguration_;
  GConfiguration* configuration_;
};

TEST(DriverObject, StartsEmptyWithTheNamesItWasGiven) {
  TestDriver driver(RWWString(QV_WIDE("Office")), RWWString(QV_WIDE("QV Driver")), RWWString(QV_WIDE("IP_10:")));
  EXPECT_EQ(Narrow(driver.GetPrinterName()), "Office");
  EXPECT_EQ(Narrow(driver.GetText2()), "QV Driver");
  EXPECT_EQ(Narrow(driver.GetText3()), "IP_10:");
  EXPECT_EQ(driver.Text4().Length(), 0u);
  EXPECT_EQ(driver.GetAppFlags(), 0u);
  EXPECT_EQ(driver.GetJobStarted(), 0);
  EXPECT_EQ(driver.GetHostValue(), 0);
  EXPECT_EQ(driver.GetSettingsRoot(), nullptr);
  EXPECT_EQ(driver.GetPipelineHead(), nullptr);
  EXPECT_EQ(driver.GetConfiguration(), nullptr);
  EXPECT_EQ(driver.FindGenerator(), nullptr);
  EXPECT_EQ(driver.GetDeviceMediaPool(), nullptr);
  EXPECT_EQ(driver.GetBinPool(), nullptr);
  EXPECT_EQ(driver.GetMediaPool(), nullptr);
  EXPECT_EQ(driver.GetConfigurationValue958(), 0);
  EXPECT_EQ(driver.GetCachedSetting339(), 0);
  EXPECT_EQ(driver.GetExtensionHost(), nullptr);
  EXPECT_EQ(driver.CurrentSettings(), nullptr);

  driver.moduleAppFlags = 0x2000;
  driver.RefreshAppFlags();
  EXPECT_EQ(driver.GetAppFlags(), 0x2000u);
}

TEST(DriverObject, IdentityIsMadeOfTheThreeNames) {
  TestDriver driver(RWWString(QV_WIDE("Office")), RWWString(QV_WIDE("QV Driver")), RWWString(QV_WIDE("LPT2:")));
  const std::unique_ptr<GDriverKey> key = driver.CreatePrinterIdentity();
  const auto* identity = dynamic_cast<const GPrinterIdentity*>(key.get());
  ASSERT_NE(identity, nullptr);
  EXPECT_EQ(Narrow(identity->PrinterName()), "Office");
  EXPECT_EQ(Narrow(identity->DriverName()), "QV Driver");
  EXPECT_EQ(Narrow(identity->PortName()), "LPT2:");
}

TEST(DriverObject, HashHandleFoldsTheHighHalfIntoTheLow) {
  struct Case {
    const char* name;
    uint32_t value;
    uint32_t hash;
  };
  const Case cases[] = {
      {"zero", 0, 0},
      {"low_half_only", 0x0000ABCD, 0x0000ABCD},
      {"high_half_only", 0xABCD0000, 0xABCDABCD},
      {"both_halves", 0x12345678, 0x1234444C},
      {"all_bits", 0xFFFFFFFF, 0xFFFF0000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GDriver::HashHandle(c.value), c.hash);
  }
}

// Each setter deletes the object it replaces, and the driver object
// deletes what it holds at its end.
TEST(DriverObject, SettersAndDestructorDeleteWhatTheyHold) {
  int roots = 0;
  int resourceMappings = 0;
  int trayMaps = 0;
  int extraMappings = 0;
  {
    TestDriver driver;
    driver.SetSettingsRoot(std::make_unique<CountedRoot>(&roots));
    driver.SetResourceMappings(std::make_unique<CountedMappingList>(&resourceMappings));
    driver.SetOSTrayMap(std::make_unique<CountedMappingList>(&trayMaps));
    driver.SetExtraMappings(std::make_unique<CountedMappingList>(&extraMappings));
    auto* trayMap = new CountedMappingList(&trayMaps);
    driver.SetOSTrayMap(std::unique_ptr<GResourceMappingList>(trayMap));
    EXPECT_EQ(trayMaps, 1);
    EXPECT_EQ(driver.GetOSTrayMap(), trayMap);
    EXPECT_EQ(driver.GetTrayMappings(), trayMap);

    driver.SetSettingsRoot(std::make_unique<CountedRoot>(&roots));
    driver.SetResourceMappings(nullptr);
    driver.SetExtraMappings(std::make_unique<CountedMappingList>(&extraMappings));
    EXPECT_EQ(roots, 1);
    EXPECT_EQ(resourceMappings, 1);
    EXPECT_EQ(extraMappings, 1);
    EXPECT_EQ(driver.GetResourceMappings(), nullptr);
  }
  EXPECT_EQ(roots, 2);
  EXPECT_EQ(trayMaps, 2);
  EXPECT_EQ(extraMappings, 2);
}

TEST_F(DriverTest, FindsTheNodesOfItsDeviceTree) {
  auto* generator = new TestGenerator(500);
  auto* stage = new TestPeripheralComposite(101);
  stage->AddChild(generator);
  head_->AddChild(new TestPeripheralComposite(106));
  head_->AddChild(stage);
  GMediaPool* mediaPool = AddMediaPool(*configuration_, 189);
  GAttributeComposite* binPool = AddGroup(*configuration_, 90);
  AddValue(*configuration_, 958, -2);

  EXPECT_EQ(driver_.GetPipelineHead(), head_);
  EXPECT_EQ(driver_.GetConfiguration(), configuration_);
  EXPECT_EQ(driver_.FindGenerator(), generator);
  EXPECT_EQ(driver_.GetDeviceMediaPool(), mediaPool);
  EXPECT_EQ(driver_.GetBinPool(), binPool);
  EXPECT_EQ(driver_.GetConfigurationValue958(), -2);
}

TEST_F(DriverTest, AMediaPoolKeyHoldingSomethingElseIsNoMediaPool) {
  AddValue(*configuration_, 189, 1);
  EXPECT_EQ(driver_.GetDeviceMediaPool(), nullptr);
}

// The value is read from the device root's own configuration when it is
// stale: at the start and after each Invalidate.
TEST_F(DriverTest, CachedSetting339IsReadAgainOnlyAfterInvalidate) {
  GValueAttribute* value = AddValue(*rootConfiguration_, 339, 7);
  AddValue(*configuration_, 339, 99);
  EXPECT_EQ(driver_.GetCachedSetting339(), 7);

  value->SetValue(-8);
  EXPECT_EQ(driver_.GetCachedSetting339(), 7);
  driver_.Invalidate(GPrinterIdentity());
  EXPECT_EQ(driver_.GetCachedSetting339(), -8);

  // Without the value the one read before is kept.
  delete rootConfiguration_->RemoveChild(value);
  driver_.Invalidate(GPrinterIdentity());
  EXPECT_EQ(driver_.GetCachedSetting339(), -8);
}

TEST_F(DriverTest, ClassifyMediaIdSeparatesListedMediaFromTheRest) {
  struct Case {
    const char* name;
    bool withList;
    uint16_t mediaId;
    int32_t answer;
  };
  const Case cases[] = {
      {"custom_id_without_list", false, 0x4000, 2},
      {"fixed_id_without_list", false, 9, 1},
      {"listed_id", true, 9, 1},
      {"unlisted_id", true, 5, 2},
      {"listed_custom_id_is_still_custom", true, 0x4001, 2},
      {"highest_fixed_id_unlisted", true, 0x3FFF, 2},
      {"id_above_the_signed_range", true, 0x8009, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    delete configuration_->RemoveChildByKey(192);
    if (c.withList) {
      auto* list = new MAssociationList(192);
      for (const int16_t id : {int16_t{1}, int16_t{9}, int16_t{0x4001}}) {
        list->Put(new MPersistentAssociation(new GValueAttribute(id, 0), new GStringAttribute("", 0), 0));
      }
      configuration_->AddChild(list);
    }
    EXPECT_EQ(driver_.ClassifyMediaId(nullptr, c.mediaId, 0, 600, 600), c.answer);
  }
}

// A driver object that records what ClassifyMediaId was asked.
class ClassifyingDriver : public TestDriver {
 public:
  int32_t ClassifyMediaId(GAttributeComposite* settings, uint16_t mediaId, int32_t orientation, uint16_t x,
                          uint16_t y) override {
    asked = {mediaId, orientation, x, y};
    askedSettings = settings;
    return 42;
  }
  std::vector<int32_t> asked;
  GAttributeComposite* askedSettings = nullptr;
};

TEST(DriverObject, ValidateMediaSelectionClassifiesWithTheGeometryOfTheSettings) {
  ClassifyingDriver driver;
  GAttributeComposite settings(360);
  AddValue(settings, 265, 90);
  EXPECT_EQ(driver.ValidateMediaSelection(&settings, 9), 0);
  EXPECT_TRUE(driver.asked.empty());

  GAttributeComposite* resolution = AddGroup(settings, 249);
  AddValue(*resolution, 323, 1200);
  AddValue(*resolution, 324, 600);
  EXPECT_EQ(driver.ValidateMediaSelection(&settings, 9), 42);
  EXPECT_EQ(driver.asked, (std::vector<int32_t>{9, 90, 1200, 600}));
  EXPECT_EQ(driver.askedSettings, &settings);
}

TEST_F(DriverTest, HasOptionPairLooksForBothResolutionsInOneEntry) {
  GAttributeComposite* list = AddGroup(*configuration_, 206);
  const int16_t entries[][2] = {{600, 600}, {1200, 600}, {-1, 5}};
  for (const auto& entry : entries) {
    GAttributeComposite* resolution = AddGroup(*list, 0);
    AddValue(*resolution, 323, entry[0]);
    AddValue(*resolution, 324, entry[1]);
  }
  AddValue(*AddGroup(*list, 0), 323, 300);

  struct Case {
    const char* name;
    int16_t x;
    int16_t y;
    bool found;
  };
  const Case cases[] = {
      {"square", 600, 600, true},
      {"wide", 1200, 600, true},
      {"axes_exchanged", 600, 1200, false},
      {"x_of_one_entry_y_of_another", 1200, 1200, false},
      {"negative_values_compare_as_16_bit", -1, 5, true},
      {"entry_without_y", 300, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.HasOptionPair(c.x, c.y), c.found);
  }
  delete configuration_->RemoveChild(list);
  EXPECT_FALSE(driver_.HasOptionPair(600, 600));
}

TEST(DriverObject, ResourceMappingsTranslateInBothDirections) {
  TestDriver driver;
  int16_t deviceId = -7;
  uint16_t osId = 77;
  EXPECT_EQ(driver.OSIdToDeviceId(1, deviceId), 0);
  EXPECT_EQ(driver.DeviceIdToOSId(2, osId), 0);

  auto mappings = std::make_unique<GResourceMappingList>(191);
  mappings->AddIfNew(new GResourceMapping(100, 1, 2, 0));
  mappings->AddIfNew(new GResourceMapping(101, 5, 10, 0));
  mappings->AddIfNew(new GResourceMapping(102, 5, 11, 0));
  mappings->AddIfNew(new GResourceMapping(103, 0xFFFF, -3, 0));
  driver.SetResourceMappings(std::move(mappings));

  struct Case {
    const char* name;
    uint16_t osId;
    int16_t deviceId;
    int32_t osToDevice;
    int32_t deviceToOs;
    int16_t foundDeviceId;
    uint16_t foundOsId;
  };
  const Case cases[] = {
      {"plain_pair", 1, 2, 1, 1, 2, 1},
      {"first_mapping_of_an_os_number_wins", 5, 11, 1, 1, 10, 5},
      {"full_range_of_both_ids", 0xFFFF, -3, 1, 1, -3, 0xFFFF},
      {"unknown_ids_leave_the_output_alone", 3, 4, 0, 0, -7, 77},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    deviceId = -7;
    osId = 77;
    EXPECT_EQ(driver.OSIdToDeviceId(c.osId, deviceId), c.osToDevice);
    EXPECT_EQ(deviceId, c.foundDeviceId);
    EXPECT_EQ(driver.DeviceIdToOSId(c.deviceId, osId), c.deviceToOs);
    EXPECT_EQ(driver.ReservedQuery32(c.deviceId, osId), c.deviceToOs);
    EXPECT_EQ(osId, c.foundOsId);
  }
}

TEST_F(DriverTest, ConfigurationText401IsWidened) {
  EXPECT_EQ(driver_.GetConfigurationText401().Length(), 0u);
  configuration_->AddChild(new GStringAttribute("qvres.dll", 401));
  EXPECT_EQ(Narrow(driver_.GetConfigurationText401()), "qvres.dll");
}

TEST_F(DriverTest, IsNotInNameListComparesWholeTexts) {
  EXPECT_TRUE(driver_.IsNotInNameList("Labels"));
  GAttributeComposite* names = AddGroup(*configuration_, 1132);
  names->AddChild(new GStringAttribute("Labels", 0));
  names->AddChild(new GStringAttribute("Transparency", 0));
  AddValue(*names, 0, 1);

  struct Case {
    const char* name;
    const char* text;
    bool notInList;
  };
  const Case cases[] = {
      {"first_entry", "Labels", false},
      {"second_entry", "Transparency", false},
      {"prefix_of_an_entry", "Label", true},
      {"other_case", "labels", true},
      {"empty_text", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.IsNotInNameList(c.text), c.notInList);
  }
}

TEST(DriverExtensions, TheInstalledCreatorMakesTheManagerWhichIsClearedBeforeItGoes) {
  ExtensionManagerLog log;
  {
    ExtensionManagerInstaller installer(log);
    TestDriver driver;
    EXPECT_NE(driver.GetExtensionHost(), nullptr);
    EXPECT_EQ(log.owners, (std::vector<const GDriver*>{&driver}));
    EXPECT_TRUE(log.calls.empty());
  }
  EXPECT_EQ(log.calls, (std::vector<std::string>{"clear"}));
  EXPECT_EQ(log.deleted, 1);

  TestDriver withoutCreator;
  EXPECT_EQ(withoutCreator.GetExtensionHost(), nullptr);
}

TEST(DriverExtensions, LoadExtensionHonoursTheSwitchAndForwardsToTheManager) {
  struct Case {
    const char* name;
    bool withSwitch;
    int16_t switchValue;
    const char* path;
    int32_t unload;
    bool withManager;
    uint16_t managerAnswer;
    uint16_t answer;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"empty_path_answers_the_switch", true, 3, "", 0, true, 0, 3, {}},
      {"empty_path_answers_a_switch_of_zero", true, 0, "", 0, true, 9, 0, {}},
      {"empty_path_without_switch", false, 0, "", 0, true, 9, 0, {}},
      {"switched_off", true, 0, "ext.dll", 0, true, 0, 5, {}},
      {"no_switch_is_off", false, 0, "ext.dll", 1, true, 0, 5, {}},
      {"registers", true, 1, "ext.dll", 0, true, 0, 0, {"register:ext.dll"}},
      {"unregisters", true, 1, "ext.dll", 1, true, 0, 0, {"unregister:ext.dll"}},
      {"manager_code_passes_through", true, 1, "bad.dll", 0, true, 1234, 1234, {"register:bad.dll"}},
      {"no_manager", true, 1, "ext.dll", 0, false, 0, GDriver::kNoExtensionManager, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExtensionManagerLog log;
    log.answer = c.managerAnswer;
    std::unique_ptr<ExtensionManagerInstaller> installer;
    if (c.withManager) installer = std::make_unique<ExtensionManagerInstaller>(log);
    TestDriver driver;
    TestDeviceTree tree = MakeDeviceTree();
    if (c.withSwitch) AddValue(*tree.configuration, 984, c.switchValue);
    driver.SetSettingsRoot(std::move(tree.root));

    EXPECT_EQ(driver.LoadExtension(c.path, c.unload), c.answer);
    EXPECT_EQ(log.calls, c.calls);
  }
}

}  // namespace
