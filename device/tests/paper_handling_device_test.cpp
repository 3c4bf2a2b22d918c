// Tests of the paper-handling device: its flags, the configurations and
// the default id, the walk over the configuration in effect, equality and
// the stored forms.
#include "device/paper/paper_handling_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/paper/tray.h"
#include "device/tests/object_bytes.h"
#include "model/attributes/attribute_composite.h"
#include "model/testing/round_trip.h"

namespace {

// A configuration of trays with the given ids.
GAttributeComposite* Trays(std::initializer_list<int16_t> ids) {
  auto* trays = new GAttributeComposite(82);
  for (int16_t id : ids) trays->AddChild(new GTray("Tray", id, 82));
  return trays;
}

std::vector<int16_t> WalkedTrayIds(GPaperHandlingDevice& device) {
  std::vector<int16_t> ids;
  const std::unique_ptr<GIterator> children = device.NewChildIterator();
  while (children->Advance()) ids.push_back(static_cast<GTray*>(children->Current())->GetId());
  return ids;
}

TEST(PaperHandlingDevice, OnlyAnOptionalDeviceTakesTheInstalledFlag) {
  GPaperHandlingDevice builtIn("Main", GPaperHandlingDevice::kInput, 0, 0, 0, 0, 90);
  EXPECT_EQ(builtIn.IsInstalled(), 1);
  EXPECT_FALSE(builtIn.SetInstalled(0));
  EXPECT_EQ(builtIn.IsInstalled(), 1);

  GPaperHandlingDevice accessory("Envelope feeder", GPaperHandlingDevice::kInput, 1, 0, 2, 1, 90);
  EXPECT_EQ(accessory.IsInstalled(), 0);
  EXPECT_TRUE(accessory.SetInstalled(1));
  EXPECT_EQ(accessory.IsInstalled(), 1);
  EXPECT_TRUE(accessory.SetInstalled(0));
  accessory.SetOptional(0);
  EXPECT_EQ(accessory.IsInstalled(), 1);

  EXPECT_EQ(accessory.SetDetectionMode(3), 2);
  EXPECT_EQ(accessory.GetDetectionMode(), 3);
  EXPECT_EQ(accessory.SetSelectsEntry(0), 1);
  EXPECT_EQ(accessory.GetSelectsEntry(), 0);
}

// Each case adds and removes configurations, the default id checked after
// every step.
TEST(PaperHandlingDevice, TheDefaultFollowsAddsAndRemovalsInWalkOrder) {
  struct Step {
    bool add;
    uint16_t id;
    uint16_t defaultAfter;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  // clang-format off
  const Case cases[] = {
      {"first_added_is_default_then_the_next", {{true, 3, 3}, {true, 5, 3}, {false, 3, 5}, {false, 5, 0}}},
      {"same_bucket_keeps_insertion_order", {{true, 5, 5}, {true, 20, 5}, {true, 4, 5}, {false, 5, 20}}},
      {"lower_bucket_comes_first", {{true, 20, 20}, {true, 1, 20}, {false, 20, 1}}},
      {"removing_another_keeps_the_default", {{true, 7, 7}, {true, 8, 7}, {false, 8, 7}}},
      {"id_zero_is_a_configuration", {{true, 0, 0}, {true, 6, 6}, {false, 6, 0}}},
      {"removing_an_absent_id_changes_nothing", {{true, 9, 9}, {false, 25, 9}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPaperHandlingDevice device("Tray 3", GPaperHandlingDevice::kInput, 1, 1, 1, 0, 90);
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.id);
      if (step.add) {
        device.AddEntry(step.id, Trays({1}));
      } else {
        delete device.RemoveEntry(step.id);
      }
      EXPECT_EQ(device.GetDefaultId(), step.defaultAfter);
    }
  }
}

TEST(PaperHandlingDevice, RemovedConfigurationsGoToTheCallerUnlessShared) {
  GPaperHandlingDevice device("Output", GPaperHandlingDevice::kOutput, 1, 1, 2, 0, 90);
  GAttributeComposite* sole = Trays({1});
  device.AddEntry(1, sole);
  const std::unique_ptr<GAttribute> removed(device.RemoveEntry(1));
  EXPECT_EQ(removed.get(), sole);
  EXPECT_EQ(removed->ReferenceCount(), -1);

  GAttributeComposite* shared = Trays({2});
  device.AddEntry(2, shared);
  const GPaperHandlingDevice copy(device);
  const std::unique_ptr<GAttribute> clone(device.RemoveEntry(2));
  ASSERT_NE(clone, nullptr);
  EXPECT_NE(clone.get(), shared);
  EXPECT_TRUE(clone->SameContent(*shared));
  EXPECT_EQ(copy.GetEntry(2), shared);
  EXPECT_EQ(device.RemoveEntry(2), nullptr);
  EXPECT_EQ(device.GetEntryCount(), 0u);
}

TEST(PaperHandlingDevice, ReplacingAConfigurationKeepsItsPlaceAndTheDefault) {
  GPaperHandlingDevice device;
  device.AddEntry(4, Trays({1}));
  device.AddEntry(20, Trays({2}));
  device.AddEntry(4, Trays({3, 4}));
  std::vector<uint16_t> ids{99};
  device.CopyEntries(ids);
  EXPECT_EQ(ids, (std::vector<uint16_t>{4, 20}));
  EXPECT_EQ(device.GetDefaultId(), 4);
  EXPECT_EQ(WalkedTrayIds(device), (std::vector<int16_t>{3, 4}));
}

TEST(PaperHandlingDevice, WalksCopiesAndCountsFollowTheConfigurations) {
  GPaperHandlingDevice device("Tray unit", GPaperHandlingDevice::kInput, 1, 1, 3, 1, 90);
  EXPECT_EQ(WalkedTrayIds(device), std::vector<int16_t>{});
  EXPECT_EQ(device.GetMinChildCount(), 0u);
  EXPECT_EQ(device.GetMaxChildCount(), 0u);
  EXPECT_EQ(device.GetDefaultChildCount(), 0u);

  device.AddEntry(36, Trays({4, 5}));
  device.AddEntry(17, Trays({}));
  device.AddEntry(20, Trays({4, 5, 13}));
  device.AddEntry(1, Trays({4}));
  device.AddEntry(4, nullptr);
  std::vector<uint16_t> ids;
  device.CopyEntries(ids);
  EXPECT_EQ(ids, (std::vector<uint16_t>{17, 1, 36, 20, 4}));
  EXPECT_EQ(device.GetEntryCount(), 5u);
  EXPECT_EQ(device.GetMinChildCount(), 1u);
  EXPECT_EQ(device.GetMaxChildCount(), 3u);
  EXPECT_EQ(device.GetDefaultChildCount(), 2u);
  EXPECT_EQ(WalkedTrayIds(device), (std::vector<int16_t>{4, 5}));

  EXPECT_FALSE(device.SetDefaultId(2));
  EXPECT_EQ(device.GetDefaultId(), 36);
  EXPECT_TRUE(device.SetDefaultId(20));
  EXPECT_EQ(WalkedTrayIds(device), (std::vector<int16_t>{4, 5, 13}));
  EXPECT_TRUE(device.HasEntry(4));
  EXPECT_EQ(device.GetEntry(4), nullptr);
  EXPECT_EQ(device.FindEntry(99), nullptr);
  EXPECT_TRUE(device.SetDefaultId(4));
  EXPECT_EQ(WalkedTrayIds(device), std::vector<int16_t>{});
}

TEST(PaperHandlingDevice, SameContentComparesOwnFieldsAndTheCountOfConfigurations) {
  const auto make = [] {
    auto device =
        std::make_unique<GPaperHandlingDevice>("Bins", GPaperHandlingDevice::kOutput, 1, 0, 2, 1, 3, "Bins", "res", 90);
    device->AddEntry(2, Trays({1, 2}));
    device->AddEntry(3, Trays({}));
    return device;
  };
  struct Case {
    const char* name;
    void (*change)(GPaperHandlingDevice&);
    bool same;
  };
  // clang-format off
  const Case cases[] = {
      {"other_trays_in_a_configuration", [](GPaperHandlingDevice& d) { d.GetEntry(2)->AddChild(new GTray("x", 9, 82)); }, true},
      {"another_configuration", [](GPaperHandlingDevice& d) { d.AddEntry(4, Trays({1})); }, false},
      {"installed", [](GPaperHandlingDevice& d) { d.SetInstalled(1); }, false},
      {"optional", [](GPaperHandlingDevice& d) { d.SetOptional(0); }, false},
      {"detection_mode", [](GPaperHandlingDevice& d) { d.SetDetectionMode(1); }, false},
      {"selects_entry", [](GPaperHandlingDevice& d) { d.SetSelectsEntry(0); }, false},
      {"default_id", [](GPaperHandlingDevice& d) { d.SetDefaultId(3); }, false},
      {"display_string", [](GPaperHandlingDevice& d) { d.SetDisplayString(GDisplayString(4, "Bins", "res")); }, false},
      {"key", [](GPaperHandlingDevice& d) { d.SetKey(91); }, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto device = make();
    const auto other = make();
    c.change(*other);
    EXPECT_EQ(device->SameContent(*other), c.same);
  }
}

TEST(PaperHandlingDevice, StoredFormHoldsTheConfigurationsThatHaveObjects) {
  GPaperHandlingDevice device("PHD", GPaperHandlingDevice::kOutput, 1, 1, 2, 1, 11, "PHD", "", 90);
  device.SetChangedFlag(0);
  auto* bins = new GAttributeComposite(91);
  bins->SetChangedFlag(0);
  device.AddEntry(17, bins);
  device.AddEntry(1, nullptr);
  const std::string expected = GraphStart(1010) + AttributePart(90, device.SerialNumber(), 0) + Words({2}) +
                               Text("PHD") + Words({1, 1, 1}) + Shorts({17}) + Words({1}) + Shorts({17}) +
                               Shorts({757}) + AttributePart(91, bins->SerialNumber(), 0) + Words({1, 0}) +
                               Words({2, 1}) + DisplayStringBytes(device.GetDisplayString());
  EXPECT_EQ(SaveGraph(StoreForm::kFile, &device), expected);
  EXPECT_EQ(RWCollectable::ObjectStoreSize(&device), expected.size());

  device.RemoveEntry(1);
  device.AddEntry(3, Trays({1, 2}));
  EXPECT_TRUE(RoundTrips(device));
  const GObjectRef restored = RestoreGraph(StoreForm::kText, SaveGraph(StoreForm::kText, &device));
  auto& copy = static_cast<GPaperHandlingDevice&>(*restored);
  EXPECT_EQ(copy.GetDefaultId(), 17);
  EXPECT_EQ(copy.GetMaxChildCount(), 2u);
  EXPECT_TRUE(copy.GetEntry(3)->SameContent(*device.GetEntry(3)));
}

// A device stored before version 2: no detection mode, selection flag or
// display string.
std::string Version1Bytes(uint32_t configurations) {
  std::string bytes = GraphStart(1010) + AttributePart(90, 5, 1) + Words({1}) + Text("HCI") + Words({0, 1, 0}) +
                      Shorts({2}) + Words({configurations});
  for (uint16_t id = 1; id <= configurations; ++id) {
    bytes += Shorts({id}) + Shorts({757}) + AttributePart(82, 10 + id, 1) + Words({1, 0});
  }
  return bytes;
}

TEST(PaperHandlingDevice, AnOlderStoredVersionDetectsByNameAndSelectsWithTwoConfigurations) {
  struct Case {
    const char* name;
    uint32_t configurations;
    int32_t selects;
  };
  const Case cases[] = {{"three_configurations", 3, 1}, {"two_configurations", 2, 1}, {"one_configuration", 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool good = false;
    const GObjectRef restored = RestoreGraph(StoreForm::kFile, Version1Bytes(c.configurations), good);
    const auto* device = dynamic_cast<const GPaperHandlingDevice*>(restored.Get());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetEntryCount(), c.configurations);
    // The stored default stays, whatever the configurations are.
    EXPECT_EQ(device->GetDefaultId(), 2);
    EXPECT_EQ(device->GetDetectionMode(), 1);
    EXPECT_EQ(device->GetSelectsEntry(), c.selects);
  }
}

TEST(PaperHandlingDevice, ANewerStoredVersionKeepsTheFieldsAndBadConfigurationsEndTheList) {
  GPaperHandlingDevice device("Kept", GPaperHandlingDevice::kInput, 1, 1, 3, 1, 90);
  device.AddEntry(5, Trays({1}));
  std::string bytes = SaveContentsToFileBytes(device);
  const size_t versionAt = 20;
  bytes[versionAt] = 3;
  EXPECT_EQ(RestoreContentsFromFileBytes(device, bytes), versionAt + 4);
  EXPECT_EQ(device.GetName(), RWCString("Kept"));
  EXPECT_EQ(device.GetEntryCount(), 1u);

  // A configuration that is not an attribute ends the list; the count may
  // not promise more than the input holds.
  const std::string notAnAttribute = Words({1, 0, 7}) + Words({1}) + Text("") + Text("") + Shorts({0});
  const std::string head =
      GraphStart(1010) + AttributePart(90, 5, 1) + Words({2}) + Text("X") + Words({0, 1, 1}) + Shorts({1});
  for (const std::string& rest :
       {Words({2}) + Shorts({1}) + Shorts({786}) + notAnAttribute, Words({0x40000000}) + Shorts({1})}) {
    bool good = true;
    const GObjectRef restored = RestoreGraph(StoreForm::kFile, head + rest, good);
    EXPECT_FALSE(good);
    const auto* read = dynamic_cast<const GPaperHandlingDevice*>(restored.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetEntryCount(), 0u);
  }
}

}  // namespace
