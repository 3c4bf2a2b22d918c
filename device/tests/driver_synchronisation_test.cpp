#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/driver/driver.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/query/device_query_provider.h"
#include "device/query/provider_registry.h"
#include "device/settings/settings_codec.h"
#include "device/testing/recording_extensions.h"
#include "device/testing/settings_fixtures.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "foundation/persistence.h"
#include "model/attributes/range_attribute.h"
#include "model/os/memory_os_factory.h"

using namespace settings_fixtures;

namespace {

// The stand-in OS factory, whose chunked writes can be made to fail.
class FailingWriteFactory : public GMemoryOSFactory {
 public:
  FailingWriteFactory() : GMemoryOSFactory(std::make_unique<GSettingsCodec>()) {}

  int32_t WritePrinterDataChunked(GDriverInterface& driver, const RWWString& name, const uint8_t* bytes,
                                  uint32_t size) override {
    if (failWrites) return 0;
    return GMemoryOSFactory::WritePrinterDataChunked(driver, name, bytes, size);
  }

  bool failWrites = false;
};

// A driver object over a device tree: the head's description holds the
// device group (228) with its bin pool (90), and the head holds the input
// (101) and output (106) stages, each with a map group (198).
class SynchronisationTest : public ::testing::Test {
 protected:
  SynchronisationTest() {
    GOSFactory::SetInstance(factory_);
    TestDeviceTree tree = MakeDeviceTree();
    head_ = tree.head;
    configuration_ = tree.configuration;
    devices_ = AddGroup(*configuration_, 228);
    binPool_ = AddGroup(*devices_, 90);
    input_ = new TestPeripheralComposite(101);
    output_ = new TestPeripheralComposite(106);
    head_->AddChild(input_);
    head_->AddChild(output_);
    AddGroup(*input_->GetConfiguration(), 198)->AddChild(Composite(85));
    AddGroup(*output_->GetConfiguration(), 198)->AddChild(Composite(93));
    driver_.SetSettingsRoot(std::move(tree.root));
  }
  ~SynchronisationTest() override { delete factory_; }

  int32_t Store(const char* name, const MPersistentObject& object) {
    return factory_->StoreNamedObject(driver_, RWWString(name), object);
  }
  std::unique_ptr<MPersistentObject> Load(const char* name) {
    return factory_->LoadNamedObject(driver_, RWWString(name), 0);
  }

  FailingWriteFactory* factory_ = new FailingWriteFactory;
  TestDriver driver_;
  TestPeripheralComposite* head_;
  GConfiguration* configuration_;
  GAttributeComposite* devices_;
  GAttributeComposite* binPool_;
  TestPeripheralComposite* input_;
  TestPeripheralComposite* output_;
};

int16_t ValueAt(MPersistentObject* node, int32_t key) {
  auto* value = node != nullptr ? dynamic_cast<GValueAttribute*>(node->FindByKey(key)) : nullptr;
  return value != nullptr ? value->Value() : -999;
}

// ---- SyncDeviceModel

TEST_F(SynchronisationTest, InstalledOptionsReachTheirNodesInTheDeviceTree) {
  for (int32_t key : {201, 1011, 204, 231, 226, 441, 976}) AddValue(*devices_, key, 0);
  for (int32_t key : {245, 311, 915}) AddValue(*configuration_, key, 0);
  GConfiguration* input = input_->GetConfiguration();
  AddValue(*input, 317, 0);
  auto* trayCount = new GRangeAttribute(1, 4, 1, 1, 202);
  devices_->AddChild(trayCount);

  std::unique_ptr<GAttributeComposite> settings(Composite(
      360, {State(365, {Value(925, 64), Value(918, 1), Value(308, 1), Value(245, 2), Value(310, 1), Value(311, 3),
                        Value(239, 5), Value(317, 4), Value(441, 1), Value(915, 1), Value(976, 7), Value(307, 3)})}));
  EXPECT_EQ(driver_.SyncDeviceModel(settings.get()), 1);

  struct Case {
    const char* name;
    MPersistentObject* node;
    int32_t key;
    int16_t expected;
  };
  const Case cases[] = {
      {"memory", devices_, 201, 64},
      {"scanner", devices_, 1011, 1},
      {"duplex_unit", devices_, 204, 1},
      {"manual_duplex", configuration_, 245, 2},
      {"collation_unit", devices_, 231, 1},
      {"configuration_311", configuration_, 311, 3},
      // A disk value other than 1 means no disk.
      {"hard_disk_not_one", devices_, 226, 0},
      {"input_stage_317", input, 317, 4},
      {"job_retention", devices_, 441, 1},
      {"size_limits_lifted", configuration_, 915, 1},
      {"device_976", devices_, 976, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ValueAt(c.node, c.key), c.expected);
  }
  // The tray count is shared into the input stage and takes the choice.
  EXPECT_EQ(input->FindByKey(202), trayCount);
  EXPECT_EQ(trayCount->Value(), 3);
}

TEST_F(SynchronisationTest, HardDiskOfOneInstallsTheDisk) {
  AddValue(*devices_, 226, 0);
  std::unique_ptr<GState> options(State(365, {Value(239, 1)}));
  EXPECT_EQ(driver_.SyncDeviceModel(options.get()), 1);
  EXPECT_EQ(ValueAt(devices_, 226), 1);
}

TEST_F(SynchronisationTest, WithoutInstalledOptionsNothingChanges) {
  AddValue(*devices_, 201, 8);
  std::unique_ptr<GAttributeComposite> noGroup(Composite(360, {Value(925, 64)}));
  EXPECT_EQ(driver_.SyncDeviceModel(noGroup.get()), 0);
  EXPECT_EQ(driver_.SyncDeviceModel(nullptr), 0);
  EXPECT_EQ(ValueAt(devices_, 201), 8);

  // Null takes the current settings.
  driver_.storedSettings.reset(Composite(360, {State(365, {Value(925, 32)})}));
  driver_.LoadCurrentSettings();
  EXPECT_EQ(driver_.SyncDeviceModel(nullptr), 1);
  EXPECT_EQ(ValueAt(devices_, 201), 32);
}

// An optional input device with configurations 1 and 2, whose first trays
// have the ids given.
GPaperHandlingDevice* AddOptionalInput(MPersistentObject& binPool, const char* name, int16_t firstTray,
                                       int32_t installed = 0) {
  GPaperHandlingDevice* device = AddInputDevice(binPool, name, {firstTray}, 1, installed);
  auto* second = new GAttributeComposite(0);
  second->AddChild(new GTray(RWCString("tray"), firstTray, 0));
  device->AddEntry(2, second);
  return device;
}

TEST_F(SynchronisationTest, OnlyTheFirstInputDeviceOfTheNameIsInstalled) {
  GPaperHandlingDevice* other = AddOptionalInput(*binPool_, "Upper", 3, 1);
  GPaperHandlingDevice* first = AddOptionalInput(*binPool_, "Lower", 3);
  GPaperHandlingDevice* second = AddOptionalInput(*binPool_, "Lower", 3);
  std::unique_ptr<GState> options(State(365, {Text(315, "Lower"), Value(318, 2)}));
  EXPECT_EQ(driver_.SyncDeviceModel(options.get()), 1);
  EXPECT_EQ(other->IsInstalled(), 0);
  EXPECT_EQ(first->IsInstalled(), 1);
  EXPECT_EQ(first->GetDefaultId(), 2);
  EXPECT_EQ(second->IsInstalled(), 0);
  EXPECT_EQ(second->GetDefaultId(), 1);
}

TEST_F(SynchronisationTest, EnvelopeFeederInstallsOnlyTheFirstDeviceStartingWithTray5) {
  struct Case {
    const char* name;
    int16_t feeder;
    std::vector<int32_t> installed;
  };
  const Case cases[] = {
      {"feeder_chosen", 1, {0, 1, 0}},
      {"feeder_not_chosen", 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    binPool_->RemoveAllChildren();
    std::vector<GPaperHandlingDevice*> devices = {AddOptionalInput(*binPool_, "Tray 3", 3),
                                                  AddOptionalInput(*binPool_, "Envelope", 5),
                                                  AddOptionalInput(*binPool_, "Envelope 2", 5)};
    std::unique_ptr<GState> options(State(365, {Value(275, c.feeder)}));
    EXPECT_EQ(driver_.SyncDeviceModel(options.get()), 1);
    for (size_t i = 0; i < devices.size(); ++i) EXPECT_EQ(devices[i]->IsInstalled(), c.installed[i]) << i;
  }
}

TEST_F(SynchronisationTest, OutputAndFixedDevicesTakeTheirChoices) {
  auto* stacker = new GPaperHandlingDevice(RWCString("Stacker"), GPaperHandlingDevice::kOutput, 1, 0, 0, 0, 0);
  stacker->AddEntry(1, new GAttributeComposite(0));
  stacker->AddEntry(2, new GAttributeComposite(0));
  binPool_->AddChild(stacker);
  auto* mailbox = new GPaperHandlingDevice(RWCString("Mailbox"), GPaperHandlingDevice::kOutput, 1, 1, 0, 0, 0);
  binPool_->AddChild(mailbox);
  GPaperHandlingDevice* fixed = AddInputDevice(*binPool_, "Tray 1", {1});
  fixed->AddEntry(3, new GAttributeComposite(0));

  std::unique_ptr<GState> options(State(365, {Text(316, "Stacker"), Value(213, 2), Value(274, 3)}));
  EXPECT_EQ(driver_.SyncDeviceModel(options.get()), 1);
  EXPECT_EQ(stacker->IsInstalled(), 1);
  EXPECT_EQ(stacker->GetDefaultId(), 2);
  EXPECT_EQ(mailbox->IsInstalled(), 0);
  EXPECT_EQ(fixed->IsInstalled(), 1);
  EXPECT_EQ(fixed->GetDefaultId(), 3);
}

TEST_F(SynchronisationTest, DeviceObjectsRewrittenInThePrinterDataReplaceTheirNodes) {
  std::unique_ptr<GAttributeComposite> binPool(Composite(90));
  AddInputDevice(*binPool, "Extension tray", {9});
  auto trayMap = std::make_unique<GResourceMappingList>(84);
  trayMap->AddIfNew(new GResourceMapping(260, 9, 7, 0));
  std::unique_ptr<GAttributeComposite> pdlMap(Composite(85, {Value(9, 4)}));
  std::unique_ptr<GAttributeComposite> pjlMap(Composite(93, {Text(2, "OUTBIN2")}));
  ASSERT_EQ(Store("ZUDBinPool", *binPool), 1);
  ASSERT_EQ(Store("RODIDTrayMap", *trayMap), 1);
  ASSERT_EQ(Store("DEKPDLTrayMap", *pdlMap), 1);
  ASSERT_EQ(Store("DEKPJLBinMap", *pjlMap), 1);

  std::unique_ptr<GState> options(State(365));
  EXPECT_EQ(driver_.SyncDeviceModel(options.get()), 1);
  EXPECT_TRUE(devices_->FindByKey(90)->Equals(binPool.get()));
  ASSERT_NE(driver_.GetOSTrayMap(), nullptr);
  EXPECT_TRUE(driver_.GetOSTrayMap()->Equals(trayMap.get()));
  EXPECT_TRUE(input_->GetConfiguration()->FindByKey(198)->FindByKey(85)->Equals(pdlMap.get()));
  EXPECT_TRUE(output_->GetConfiguration()->FindByKey(198)->FindByKey(93)->Equals(pjlMap.get()));
}

// ---- QueryDevice

// What the device queries of a test did, kept when they go.
struct QueryLog {
  int32_t deleted = 0;
  std::vector<RecordingDeviceQuery::RunCall> runs;
};

class LoggedQuery : public RecordingDeviceQuery {
 public:
  LoggedQuery(GDriver* driver, QueryLog& log) : RecordingDeviceQuery(nullptr, driver, RWWString()), log_(log) {}
  ~LoggedQuery() override {
    ++log_.deleted;
    log_.runs = runs;
  }

 private:
  QueryLog& log_;
};

class QueryProvider : public GDeviceQueryProvider {
 public:
  GDeviceQuery* CreateDeviceQuery(GDriver* driver, const RWCString&, uint32_t mask, const RWWString& port) override {
    askedMask = mask;
    askedPort = port;
    auto* query = new LoggedQuery(driver, log);
    query->answer = 42;
    return query;
  }
  uint32_t GetCapabilityMask() const override { return 0x10000; }
  RWCollectable* NewInstance() const override { return new QueryProvider; }
  RWCollectable* Clone() const override { return new QueryProvider; }

  uint32_t askedMask = 0;
  RWWString askedPort;
  QueryLog log;
};

TEST(DriverQueryDevice, RunsTheRegisteredQueryOnTheDescription) {
  struct Case {
    const char* name;
    bool provider;
    bool tree;
    uint16_t expected;
  };
  const Case cases[] = {
      {"no_provider", false, true, 603},
      {"no_description", true, false, 603},
      {"query_answers", true, true, 42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver driver(RWWString(QV_WIDE("P")), RWWString(QV_WIDE("D")), RWWString(QV_WIDE("IP_10.0.0.7:")));
    TestDeviceTree tree = MakeDeviceTree();
    GConfiguration* configuration = tree.configuration;
    if (c.tree) driver.SetSettingsRoot(std::move(tree.root));
    QueryProvider provider;
    if (c.provider) {
      ASSERT_EQ(GetProviderRegistry().Register(&provider, "QVNRA 1.0"), 0);
    }
    EXPECT_EQ(driver.QueryDevice(0), c.expected);
    GetProviderRegistry().Unregister("QVNRA 1.0");
    if (!c.provider) continue;
    EXPECT_EQ(provider.askedMask, 0x10000u);
    EXPECT_EQ(provider.askedPort, RWWString(QV_WIDE("IP_10.0.0.7:")));
    EXPECT_EQ(provider.log.deleted, 1);
    ASSERT_EQ(provider.log.runs.size(), c.tree ? 1u : 0u);
    if (c.tree) {
      EXPECT_EQ(provider.log.runs[0].configuration, configuration);
      EXPECT_EQ(provider.log.runs[0].flag, 1);
    }
  }
}

// ---- ApplyNamedPreset

TEST_F(SynchronisationTest, PresetsAreFoundByNameWhateverTheCase) {
  configuration_->AddChild(Composite(
      369, {Composite(0, {Text(370, "Draft"), Composite(360, {Value(600, 3)})}), Composite(0, {Text(370, "Empty")})}));
  struct Case {
    const char* name;
    const char* preset;
    bool found;
    int16_t value;
  };
  const Case cases[] = {
      {"same_case", "Draft", true, 3},
      {"other_case", "dRAFT", true, 3},
      {"prefix_only", "Draf", false, -999},
      {"longer", "Drafts", false, -999},
      {"preset_without_settings", "EMPTY", true, -999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GAttributeComposite target(360);
    EXPECT_EQ(driver_.ApplyNamedPreset(RWWString(c.preset), target), c.found);
    EXPECT_EQ(ValueAt(&target, 600), c.value);
  }
  TestDriver bare;
  GAttributeComposite target(360);
  EXPECT_FALSE(bare.ApplyNamedPreset(RWWString("Draft"), target));
}

// ---- UpdatePhysicalSettings

TEST_F(SynchronisationTest, PhysicalSettingsMatchTheSnapshotUnlessAValueDiffers) {
  struct Case {
    const char* name;
    std::function<GState*()> settings;
    const char* updateType;  // null: absent
    int32_t expected;
  };
  const auto options = [](std::initializer_list<MPersistentObject*> extra) {
    GState* state = State(365, {Value(307, 2), Value(925, 64), Value(520, 1), Text(315, "Lower")});
    for (MPersistentObject* child : extra) state->AddChild(child);
    return state;
  };
  const Case cases[] = {
      {"same", [&] { return options({}); }, nullptr, 1},
      {"memory_differs", [&] { return State(365, {Value(925, 128)}); }, nullptr, 0},
      {"job_retention_differs", [&] { return State(365, {Value(520, 0)}); }, nullptr, 0},
      {"paper_source_name_differs", [&] { return State(365, {Text(315, "Upper")}); }, nullptr, 0},
      {"value_absent_from_settings", [&] { return State(365, {Value(999, 1)}); }, nullptr, 1},
      {"admin_update_own_bundle", [&] { return options({Value(927, 14113)}); }, "Admin", 1},
      {"auto_update_own_bundle", [&] { return options({Value(927, 14119)}); }, "Auto", 1},
      {"admin_update_other_bundle", [&] { return options({Value(927, 5)}); }, "Admin", 0},
      {"auto_update_other_bundle", [&] { return options({Value(927, 5)}); }, "Auto", 0},
      {"manual_update_other_bundle", [&] { return options({Value(927, 5)}); }, "Manual", 1},
      {"no_update_type_other_bundle", [&] { return options({Value(927, 5)}); }, nullptr, 1},
  };
  const std::unique_ptr<GState> snapshot(options({}));
  ASSERT_EQ(Store("PhySetting", *snapshot), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->SetPrinterDataString(driver_, RWWString(QV_WIDE("LastUpdateType")),
                                   RWWString(c.updateType != nullptr ? c.updateType : ""));
    const std::unique_ptr<GState> settings(c.settings());
    EXPECT_EQ(driver_.UpdatePhysicalSettings(settings.get()), c.expected);
  }
}

TEST_F(SynchronisationTest, WithoutASnapshotPhysicalSettingsMatch) {
  const std::unique_ptr<GState> settings(State(365, {Value(925, 128)}));
  EXPECT_EQ(driver_.UpdatePhysicalSettings(settings.get()), 1);
  const std::unique_ptr<GState> snapshot(State(365, {Value(925, 64)}));
  ASSERT_EQ(Store("PhySetting", *snapshot), 1);
  EXPECT_EQ(driver_.UpdatePhysicalSettings(nullptr), 1);
}

// ---- CopyTableValues

TEST(DriverCopyTableValues, CopiesTheNupChoicesIntoGroup329) {
  std::unique_ptr<GAttributeComposite> source(
      Composite(360, {Composite(362, {Value(266, 4), Value(267, 1), Value(268, 2), Value(269, 9)})}));
  std::unique_ptr<GAttributeComposite> target(
      Composite(360, {Composite(329, {Value(266, 0), Value(267, 0), Value(269, 0)})}));
  EXPECT_EQ(GDriver::CopyTableValues(source.get(), target.get()), target.get());
  EXPECT_EQ(Dump(*target, 2), "360{329{266=4 267=1 269=0}}");

  std::unique_ptr<GAttributeComposite> noGroup(Composite(360, {Value(266, 0)}));
  EXPECT_EQ(GDriver::CopyTableValues(source.get(), noGroup.get()), noGroup.get());
  EXPECT_EQ(Dump(*noGroup, 2), "360{266=0}");
  EXPECT_EQ(GDriver::CopyTableValues(nullptr, target.get()), target.get());
}

// ---- ImportSettingsObject, MergeSettings, ReadObjectByName

// A driver whose description holds the settings template and the quick-set
// template of the codec's fixtures, keeping named objects in the compact
// format.
class ImportTest : public SynchronisationTest {
 protected:
  ImportTest() {
    const std::unique_ptr<GConfiguration> settings = SettingsConfiguration(1);
    configuration_->AddChild(settings->FindByKey(359)->DeepCopy());
    configuration_->AddChild(settings->FindByKey(375)->DeepCopy());
  }
};

TEST_F(ImportTest, ImportedObjectsAreStoredInTheCompactFormat) {
  const RWWString name(QV_WIDE("PhySetting"));
  EXPECT_EQ(driver_.ImportSettingsObject(PhySetting(), &name), 1);
  const std::unique_ptr<MPersistentObject> stored = Load("PhySetting");
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->Equals(PhySetting().get()));

  // Without a name the key names the object.
  EXPECT_EQ(driver_.ImportSettingsObject(PhySetting(), nullptr), 1);
  const std::unique_ptr<MPersistentObject> byKey = Load("365");
  ASSERT_NE(byKey, nullptr);
  EXPECT_TRUE(byKey->Equals(PhySetting().get()));
}

// An object whose compact form is larger than the first buffer.
std::unique_ptr<MPersistentObject> LargeAssociations() {
  auto list = std::make_unique<MAssociationList>(193);
  for (int16_t i = 1; i <= 400; ++i) {
    list->Put(new MPersistentAssociation(Value(0, i), Text(0, "a name long enough to fill"), 0));
  }
  return list;
}

TEST_F(ImportTest, LargeObjectsGrowTheBuffer) {
  const RWWString name(QV_WIDE("Large"));
  ASSERT_GT(WriteCompact(*LargeAssociations(), 1).size(), 4096u);
  EXPECT_EQ(driver_.ImportSettingsObject(LargeAssociations(), &name), 1);
  const std::unique_ptr<MPersistentObject> stored = Load("Large");
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->Equals(LargeAssociations().get()));
}

TEST_F(ImportTest, FailuresAnswerZero) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<MPersistentObject>()> object;
    bool failWrites;
    bool named;
  };
  const Case cases[] = {
      {"no_object", [] { return nullptr; }, false, true},
      {"leaf_the_format_cannot_hold", [] { return std::unique_ptr<MPersistentObject>(Value(365, 1)); }, false, true},
      {"root_the_description_lacks", [] { return std::unique_ptr<MPersistentObject>(Composite(4444)); }, false, true},
      {"store_fails_named", PhySetting, true, true},
      {"store_fails_unnamed", PhySetting, true, false},
  };
  const RWWString name(QV_WIDE("Imported"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->failWrites = c.failWrites;
    EXPECT_EQ(driver_.ImportSettingsObject(c.object(), c.named ? &name : nullptr), 0);
    factory_->failWrites = false;
    EXPECT_EQ(Load("Imported"), nullptr);
  }
}

TEST_F(ImportTest, QuickSetPoolsAreRebuiltFromTheTemplate) {
  const RWWString name(QV_WIDE("QuicksetPool"));
  EXPECT_EQ(driver_.ImportSettingsObject(QuicksetPool(), &name), 1);
  const std::unique_ptr<MPersistentObject> stored = Load("QuicksetPool");
  ASSERT_NE(stored, nullptr);
  // Each entry holds what the template names (and its name); what the
  // template lacks (the per-user flag, the custom size name) is dropped and
  // comes back from the description's defaults when the pool is loaded.
  EXPECT_EQ(Dump(*stored, 2),
            "0x4000005C{0{260=16385 285=2 263=\"Letter\" 376=\"Draft\" 1124=0} "
            "0{260=1 285=2 263=\"Letter\" 376=\"Photo\" 1124=0}}");
}

TEST_F(ImportTest, MergeSettingsCopiesTheTemplateForEachEntry) {
  std::unique_ptr<GAttributeComposite> imported(Composite(
      0x4000005C, {Composite(0, {Value(260, 9), Text(376, "Mine"), Value(999, 1)}),
                   Composite(375, {Value(260, 4), Value(285, 7), Text(376, "Tmpl"), Value(379, 1), Value(328, 2)})}));
  GAttributeComposite target(0x4000005C);
  EXPECT_EQ(driver_.MergeSettings(*imported, target), 1);
  // An entry keyed 375 is a fresh template that takes only its name, its
  // names (379), its 328 and its paper (260).
  EXPECT_EQ(Dump(target, 2),
            "0x4000005C{0{260=9 285=1 263=\"A4\" 376=\"Mine\"} "
            "0{285=1 263=\"A4\" 376=\"Tmpl\" 379=1 328=2 260=4}}");
}

// Writes the object in the text form of object graphs under the name.
void StoreAsText(GDriverInterface& driver, GOSFactory& factory, const char* name, const MPersistentObject& object) {
  std::vector<uint8_t> buffer(1 << 16);
  GOutputStream owner(buffer.data(), static_cast<uint32_t>(buffer.size()), kTextStreamFormat);
  WriteObjectToStream(&object, *owner.Stream());
  owner.Stream()->Flush();
  ASSERT_EQ(factory.WritePrinterDataChunked(driver, RWWString(name), buffer.data(), owner.Position()), 1);
}

TEST_F(ImportTest, ObjectsOfTheOlderTextFormAreStoredAgain) {
  StoreAsText(driver_, *factory_, "365", *PhySetting());
  EXPECT_EQ(driver_.ReadObjectByName(365), 1);
  std::unique_ptr<MPersistentObject> stored = Load("365");
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->Equals(PhySetting().get()));

  StoreAsText(driver_, *factory_, "QuicksetPool", *QuicksetPool());
  EXPECT_EQ(driver_.ReadObjectByWideName("QuicksetPool"), 1);
  stored = Load("QuicksetPool");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(Dump(*stored, 1), "0x4000005C{0{…} 0{…}}");

  // Nothing stored: nothing imported.
  EXPECT_EQ(driver_.ReadObjectByName(366), 0);
  EXPECT_EQ(driver_.ReadObjectByWideName("Missing"), 0);
}

}  // namespace
