// Tests of the driver object's answers about paper: the media pool in
// force, media and paper-source walks, custom sizes and the regional default
// paper.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "device/driver/driver.h"
#include "device/media/custom_media_size.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/os/memory_os_factory.h"
#include "model/os/printer_identity.h"

namespace {

constexpr GResolution k600{600, 600};

// What a walk handed to its callback, one row per call.
struct Visit {
  int32_t id;  // size id, tray id or OS number; -1 without an object
  int32_t index;
  std::string text;
  bool operator==(const Visit&) const = default;
};

// The callbacks' context: what they saw, and the id at which they report a
// hit and the one at which they stop.
struct Recorder {
  std::vector<Visit> visits;
  int32_t hitAt = -2;
  int32_t stopAt = -2;

  int32_t Record(int32_t id, int32_t index, int32_t& hit, std::string text = {}) {
    visits.push_back({id, index, std::move(text)});
    if (id == hitAt) hit = 1;
    return id == stopAt ? 0 : 1;
  }
  static Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }
};

int32_t RecordMedium(GMedia& medium, GResourceMapping*, int32_t index, void* context, int32_t& hit) {
  return Recorder::Of(context).Record(medium.GetSizeId(), index, hit);
}

int32_t RecordTray(GTray& tray, GResourceMapping*, int32_t index, void* context, int32_t& hit) {
  return Recorder::Of(context).Record(tray.GetId(), index, hit);
}

int32_t RecordSourceName(GResourceMapping* mapping, int32_t index, void* context, int32_t& hit, const RWWString* text) {
  return Recorder::Of(context).Record(mapping != nullptr ? mapping->OsId() : -1, index, hit,
                                      text != nullptr ? text->ToAscii().Data() : "<none>");
}

// A driver object over a device tree whose description holds a device
// media pool (189) and a resource mapping list (191); the tests add the
// rest.
class MediaQueriesTest : public ::testing::Test {
 protected:
  MediaQueriesTest() {
    TestDeviceTree tree = MakeDeviceTree();
    configuration_ = tree.configuration;
    pool_ = AddMediaPool(*configuration_, 189);
    driver_.SetSettingsRoot(std::move(tree.root));
    auto mappings = std::make_unique<GResourceMappingList>(191);
    mappings_ = mappings.get();
    driver_.SetResourceMappings(std::move(mappings));
  }

  void AddMedium(int16_t sizeId, GDotPair paper, int32_t orientation = 0, GResolution resolution = k600) {
    pool_->AddChild(MakeMedium(sizeId, paper, paper, {}, orientation, resolution.x, resolution.y).release());
  }
  void Map(uint16_t osId, int16_t deviceId) { mappings_->AddIfNew(new GResourceMapping(osId, osId, deviceId, 0)); }
  // Current settings from a stored composite; answers it.
  GAttributeComposite& LoadSettings() {
    driver_.storedSettings = std::make_unique<GAttributeComposite>(360);
    GAttributeComposite& settings = *driver_.storedSettings;
    return settings;
  }

  TestDriver driver_;
  GConfiguration* configuration_;
  GMediaPool* pool_;
  GResourceMappingList* mappings_;
};

// The media a walk visits, in pool order, with their running index.
TEST_F(MediaQueriesTest, EnumerateMediaFiltersByOrientationResolutionLimitsAndMappings) {
  AddMedium(1, {5100, 6600});
  AddMedium(1, {6600, 5100}, 90);
  AddMedium(9, {4960, 7015});
  AddMedium(30, {9000, 9000});
  AddMedium(31, {500, 8000});
  AddMedium(17385, {1000, 1000});
  AddMedium(17384, {8000, 8000});
  AddMedium(17385, {2000, 2000}, 0, {300, 300});
  AddMedium(12, {2550, 3300}, 0, {300, 600});
  Map(1, 1);
  Map(9, 9);
  Map(30, 30);

  struct Case {
    const char* name;
    int32_t orientation;
    GResolution resolution;
    int32_t throughMappings;
    int32_t useCustomLimits;
    int32_t stopAt;
    int32_t hitAt;
    std::vector<int32_t> visited;
    int32_t answer;
  };
  const Case cases[] = {
      {"all_of_one_orientation", 0, k600, 0, 0, -2, 9, {1, 9, 30, 31, 17385, 17384}, 1},
      {"landscape", 90, k600, 0, 0, -2, 1, {1}, 1},
      {"resolutions_per_axis", 0, {300, 600}, 0, 0, -2, 12, {12}, 1},
      {"custom_limits_drop_the_too_large_and_too_narrow", 0, k600, 0, 1, -2, 9, {1, 9, 17385, 17384}, 1},
      {"only_mapped_media", 0, k600, 1, 0, -2, 30, {1, 9, 30}, 1},
      {"mapped_and_within_limits", 0, k600, 1, 1, -2, -2, {1, 9}, -1},
      {"an_answer_other_than_1_ends_the_walk", 0, k600, 0, 0, 9, 9, {1, 9}, 1},
      {"no_medium_fits", 180, k600, 0, 0, -2, -2, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    recorder.hitAt = c.hitAt;
    recorder.stopAt = c.stopAt;
    int32_t count = -5;
    EXPECT_EQ(driver_.EnumerateMedia(RecordMedium, &recorder, c.orientation, c.resolution, c.throughMappings,
                                     c.useCustomLimits, count),
              c.answer);
    std::vector<Visit> expected;
    for (const int32_t id : c.visited) expected.push_back({id, static_cast<int32_t>(expected.size()), ""});
    EXPECT_EQ(recorder.visits, expected);
    EXPECT_EQ(count, static_cast<int32_t>(c.visited.size()));
  }
}

TEST_F(MediaQueriesTest, EnumerateMediaWithoutContextCountsHitsWithoutCalling) {
  AddMedium(1, {5100, 6600});
  AddMedium(9, {4960, 7015});
  Map(9, 9);
  int32_t count = 0;
  EXPECT_EQ(driver_.EnumerateMedia(nullptr, nullptr, 0, k600, 1, 0, count), 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(driver_.EnumerateMedia(nullptr, nullptr, 90, k600, 0, 0, count), -1);
  EXPECT_EQ(count, 0);

  TestDriver empty;
  count = 3;
  EXPECT_EQ(empty.EnumerateMedia(nullptr, nullptr, 0, k600, 0, 0, count), -1);
  EXPECT_EQ(count, 0);
}

TEST_F(MediaQueriesTest, MediaPoolInForceFollowsTheSettings) {
  GMediaPool* alternative = AddMediaPool(*configuration_, 195);
  AddMedium(1, {5100, 6600});
  alternative->AddChild(MakeMedium(2, {100, 100}).release());

  struct Case {
    const char* name;
    int16_t emulation;
    int16_t symmetric;
    const char* pool;
  };
  const Case cases[] = {
      {"device_pool", 0, 0, "device"},
      {"margin_emulation", 1, 0, "alternative"},
      {"emulation_wins_over_symmetric_margins", 1, 1, "alternative"},
      {"symmetric_margins", 0, 1, "private"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver driver;
    TestDeviceTree tree = MakeDeviceTree();
    tree.configuration->AddChild(pool_->DeepCopy());
    tree.configuration->AddChild(alternative->DeepCopy());
    driver.SetSettingsRoot(std::move(tree.root));
    driver.storedSettings = std::make_unique<GAttributeComposite>(360);
    AddValue(*driver.storedSettings, 711, c.emulation);
    AddValue(*driver.storedSettings, 713, c.symmetric);
    // Without current settings the device pool is in force.
    EXPECT_EQ(driver.GetMediaPool(), driver.GetDeviceMediaPool());
    driver.LoadCurrentSettings();

    GMediaPool* pool = driver.GetMediaPool();
    ASSERT_NE(pool, nullptr);
    const std::string found = pool == driver.GetDeviceMediaPool()                 ? "device"
                              : pool == driver.GetConfiguration()->FindByKey(195) ? "alternative"
                              : pool->Key() == 0                                  ? "private"
                                                                                  : "other";
    EXPECT_EQ(found, c.pool);
  }
}

// The private pool is built once from the device pool and kept until the
// driver object is invalidated.
TEST_F(MediaQueriesTest, PrivatePoolIsKeptUntilInvalidate) {
  AddMedium(1, {5100, 6600});
  AddValue(LoadSettings(), 713, 1);
  driver_.LoadCurrentSettings();

  GMediaPool* first = driver_.GetMediaPool();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, pool_);
  EXPECT_EQ(first->Key(), 0);
  AddMedium(9, {4960, 7015});
  EXPECT_EQ(driver_.GetMediaPool(), first);
  EXPECT_EQ(first->EntryCount(), 1u);

  driver_.Invalidate(GPrinterIdentity());
  EXPECT_EQ(driver_.GetMediaPool()->EntryCount(), 2u);
}

TEST_F(MediaQueriesTest, PrivatePoolMakesEveryMediumSymmetric) {
  struct Case {
    const char* name;
    GDotPair paper;
    GDotPair printable;
    GDotPair origin;
    GDotPair symmetricPrintable;
    GDotPair symmetricOrigin;
  };
  const Case cases[] = {
      {"far_margins_larger", {5100, 6600}, {4800, 6400}, {100, 50}, {4700, 6300}, {200, 150}},
      {"near_margins_larger", {5100, 6600}, {4700, 6500}, {300, 80}, {4500, 6440}, {300, 80}},
      {"already_symmetric", {5100, 6600}, {4900, 6400}, {100, 100}, {4900, 6400}, {100, 100}},
      {"no_margins", {5100, 6600}, {5100, 6600}, {0, 0}, {5100, 6600}, {0, 0}},
  };
  int16_t sizeId = 1;
  for (const Case& c : cases) {
    auto medium = std::make_unique<GMedia>("Sheet", c.paper, c.printable, c.origin, 90, sizeId++, 600, 300, 190, 7,
                                           "first", "Plain");
    pool_->AddChild(medium.release());
  }
  AddValue(LoadSettings(), 713, 1);
  driver_.LoadCurrentSettings();
  GMediaPool* symmetric = driver_.GetMediaPool();
  ASSERT_NE(symmetric, nullptr);

  sizeId = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GMedia* medium = symmetric->FindBySizeId(sizeId++, 90, 600, 300);
    ASSERT_NE(medium, nullptr);
    EXPECT_EQ(medium->GetPaperSize(), c.paper);
    EXPECT_EQ(medium->GetPrintableSize(), c.symmetricPrintable);
    EXPECT_EQ(medium->GetPrintableOrigin(), c.symmetricOrigin);
    EXPECT_EQ(medium->GetName(), "Sheet");
    EXPECT_EQ(medium->Key(), 190);
    EXPECT_EQ(medium->GetExtraValue(), 7);
    EXPECT_EQ(medium->GetFirstText(), "first");
    EXPECT_EQ(medium->GetMediaType(), "Plain");
  }
}

// A bin pool with two installed inputs, an optional input that is not
// installed, and an output; trays 1, 2 and 5 map to OS paper sources.
class PaperSourcesTest : public MediaQueriesTest {
 protected:
  PaperSourcesTest() {
    binPool_ = AddGroup(*configuration_, 90);
    AddInputDevice(*binPool_, "Main", {1, 2});
    AddInputDevice(*binPool_, "Feeder", {3}, 1, 0);
    auto* output = new GPaperHandlingDevice("Bins", GPaperHandlingDevice::kOutput, 0, 1, 0, 0, 0);
    auto* bins = new GAttributeComposite(0);
    bins->AddChild(new GTray("bin", 4, 0));
    output->AddEntry(1, bins);
    binPool_->AddChild(output);
    AddInputDevice(*binPool_, "Lower", {5, 2});

    auto trayMap = std::make_unique<GResourceMappingList>(84);
    trayMap->AddIfNew(new GResourceMapping(1, 15, 1, 0));
    trayMap->AddIfNew(new GResourceMapping(2, 260, 5, 0));
    trayMap->AddIfNew(new GResourceMapping(3, 99, 3, 0));
    trayMap->AddIfNew(new GResourceMapping(4, 98, 4, 0));
    driver_.SetOSTrayMap(std::move(trayMap));
  }

  GAttributeComposite* binPool_;
};

TEST_F(PaperSourcesTest, EnumeratePaperSourcesWalksInstalledTraysInTheSourceOrder) {
  struct Case {
    const char* name;
    std::vector<int16_t> order;  // empty: no list 1114
    int32_t throughTrayMap;
    int32_t stopAt;
    std::vector<int32_t> visited;
  };
  const Case cases[] = {
      {"stored_order", {}, 0, -2, {1, 2, 5, 2}},         {"one_pass_per_listed_id", {5, 2, 7}, 0, -2, {5, 2, 2}},
      {"only_mapped_trays", {}, 1, -2, {1, 5}},          {"a_stop_ends_only_the_pass", {2, 5}, 0, 2, {2, 5}},
      {"a_stop_ends_the_single_pass", {}, 0, 2, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    delete configuration_->RemoveChildByKey(1114);
    if (!c.order.empty()) {
      GAttributeComposite* order = AddGroup(*configuration_, 1114);
      for (const int16_t id : c.order) AddValue(*order, 0, id);
    }
    Recorder recorder;
    recorder.stopAt = c.stopAt;
    recorder.hitAt = 5;
    int32_t count = 10;
    const int32_t answer = driver_.EnumeratePaperSources(RecordTray, &recorder, c.throughTrayMap, count);
    std::vector<Visit> expected;
    for (const int32_t id : c.visited) expected.push_back({id, 10 + static_cast<int32_t>(expected.size()), ""});
    EXPECT_EQ(recorder.visits, expected);
    EXPECT_EQ(count, 10 + static_cast<int32_t>(c.visited.size()));
    const bool hit = std::find(c.visited.begin(), c.visited.end(), 5) != c.visited.end();
    EXPECT_EQ(answer, hit ? 1 : -1);
  }
}

TEST_F(PaperSourcesTest, HasPaperSourceAsksTheTraysOfInstalledInputs) {
  struct Case {
    const char* name;
    uint16_t osSource;
    bool found;
  };
  const Case cases[] = {
      {"first_tray", 15, true},
      {"tray_of_the_second_input", 260, true},
      {"tray_of_an_input_not_installed", 99, false},
      {"bin_of_an_output", 98, false},
      {"unmapped_number", 16, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.HasPaperSource(c.osSource), c.found);
  }
  delete configuration_->RemoveChild(binPool_);
  EXPECT_FALSE(driver_.HasPaperSource(15));
  int32_t count = 0;
  EXPECT_EQ(driver_.EnumeratePaperSources(nullptr, nullptr, 0, count), -1);
}

// Settings with three user entries (701) and extra mappings for OS numbers
// 300 and 301.
class PaperSourceNamesTest : public MediaQueriesTest {
 protected:
  PaperSourceNamesTest() {
    GAttributeComposite* entries = AddGroup(LoadSettings(), 701);
    for (const char* name : {"Upper", "Lower", "Side"}) entries->AddChild(new GStringAttribute(name, 0));
    auto extra = std::make_unique<GResourceMappingList>(194);
    extra->AddIfNew(new GResourceMapping(1, 300, 20, 0));
    extra->AddIfNew(new GResourceMapping(2, 301, 21, 0));
    driver_.SetExtraMappings(std::move(extra));
  }
};

TEST_F(PaperSourceNamesTest, BuildMappingsNumbersTheUserEntries) {
  GResourceMappingList list;
  list.AddIfNew(new GResourceMapping(7, 7, 51, 0));
  MPersistentObject* entries = driver_.BuildMappingsFromSettings(list);
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->Key(), 701);
  EXPECT_EQ(driver_.loads, 1);

  struct Row {
    uint16_t osId;
    int16_t deviceId;
    uint32_t resourceId;
  };
  const Row rows[] = {{7, 51, 7}, {16690, 50, 0}, {16692, 52, 0}};
  ASSERT_EQ(list.EntryCount(), 3u);
  const std::unique_ptr<GIterator> mappings = list.NewChildIterator();
  for (const Row& row : rows) {
    ASSERT_TRUE(mappings->Advance());
    const auto* mapping = dynamic_cast<const GResourceMapping*>(mappings->Current());
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(mapping->OsId(), row.osId);
    EXPECT_EQ(mapping->DeviceId(), row.deviceId);
    EXPECT_EQ(mapping->ResourceId(), row.resourceId);
  }

  driver_.BuildMappingsFromSettings(list);
  EXPECT_EQ(driver_.loads, 1);

  TestDriver withoutSettings;
  EXPECT_EQ(withoutSettings.BuildMappingsFromSettings(list), nullptr);
}

TEST_F(PaperSourceNamesTest, EnumeratePaperSourceNamesWalksExtraThenUserSources) {
  struct Case {
    const char* name;
    int32_t withObjects;
    int32_t stopAt;
    int32_t hitAt;
    std::vector<Visit> visits;
    int32_t answer;
  };
  const Case cases[] = {
      {"with_objects",
       1,
       -2,
       16691,
       {{300, 5, "<none>"}, {301, 6, "<none>"}, {16690, 7, "Upper"}, {16691, 8, "Lower"}, {16692, 9, "Side"}},
       1},
      {"without_objects",
       0,
       -2,
       -2,
       {{-1, 5, "<none>"}, {-1, 6, "<none>"}, {-1, 7, "<none>"}, {-1, 8, "<none>"}, {-1, 9, "<none>"}},
       -1},
      {"a_stop_ends_only_the_extra_mappings",
       1,
       300,
       -2,
       {{300, 5, "<none>"}, {16690, 6, "Upper"}, {16691, 7, "Lower"}, {16692, 8, "Side"}},
       -1},
      {"the_user_sources_go_on_after_a_stop",
       1,
       16690,
       16692,
       {{300, 5, "<none>"}, {301, 6, "<none>"}, {16690, 7, "Upper"}, {16691, 8, "Lower"}, {16692, 9, "Side"}},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    recorder.stopAt = c.stopAt;
    recorder.hitAt = c.hitAt;
    int32_t count = 5;
    EXPECT_EQ(driver_.EnumeratePaperSourceNames(RecordSourceName, &recorder, c.withObjects, count), c.answer);
    EXPECT_EQ(recorder.visits, c.visits);
    EXPECT_EQ(count, 5 + static_cast<int32_t>(c.visits.size()));
  }
  int32_t count = 0;
  EXPECT_EQ(driver_.EnumeratePaperSourceNames(nullptr, nullptr, 1, count), 1);
  EXPECT_EQ(count, 5);
}

TEST_F(PaperSourceNamesTest, HasExtraMappingFindsExtraAndUserSources) {
  struct Case {
    const char* name;
    uint16_t osNumber;
    bool found;
  };
  const Case cases[] = {
      {"extra_mapping", 301, true},
      {"first_user_source", 16690, true},
      {"last_user_source", 16692, true},
      {"past_the_user_sources", 16693, false},
      {"device_id_is_no_os_number", 20, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.HasExtraMapping(c.osNumber), c.found);
  }
}

// Settings at 600 dpi portrait; the device pool has the custom limits
// 17385 (1000 x 1000 dots) and 17384 (6000 x 6000), the range media 17389
// (2000 x 2000) and 17388 (4000 x 5000), and Letter (id 1, mapped to OS
// paper 1).
class CustomSizesTest : public MediaQueriesTest {
 protected:
  CustomSizesTest() {
    AddMedium(17385, {1000, 1000});
    AddMedium(17384, {6000, 6000});
    AddMedium(17389, {2000, 2000});
    AddMedium(17388, {4000, 5000});
    AddMedium(1, {5100, 6600});
    Map(1, 1);
  }

  // Custom sizes of the current settings, in hundredths of an inch, with
  // device id d mapped to OS paper d - 16000.
  GAttributeComposite* LoadCustomSizes(std::initializer_list<std::pair<int16_t, GUnitSize>> sizes) {
    GAttributeComposite& settings = LoadSettings();
    AddValue(settings, 265, 0);
    GAttributeComposite* resolution = AddGroup(settings, 249);
    AddValue(*resolution, 323, 600);
    AddValue(*resolution, 324, 600);
    GAttributeComposite* list = AddGroup(settings, 276);
    for (const auto& [id, size] : sizes) {
      list->AddChild(new GCustomMediaSize(id, "Custom", kHundredthsOfInch, size.width, size.height, 0));
      Map(static_cast<uint16_t>(id - 16000), id);
    }
    driver_.LoadCurrentSettings();
    return list;
  }
};

TEST_F(CustomSizesTest, IsPaperSupportedWithoutCurrentSettings) {
  EXPECT_EQ(driver_.IsPaperSupported(0, k600, 0, 1), 1);
  EXPECT_EQ(driver_.IsPaperSupported(0, k600, 1, 1), 1);
  EXPECT_EQ(driver_.IsPaperSupported(90, k600, 0, 12345), 1);
  EXPECT_EQ(driver_.loads, 0);
}

TEST_F(CustomSizesTest, IsPaperSupportedTriesMediaThenCustomSizes) {
  // 3 x 3 inches is 1800 dots, 12 x 12 inches 7200.
  LoadCustomSizes({{16390, {300, 300}}, {16391, {1200, 1200}}, {16392, {150, 150}}});
  mappings_->AddIfNew(new GResourceMapping(999, 50, 16393, 0));
  struct Case {
    const char* name;
    uint16_t osPaper;
    int32_t checkLimits;
    int32_t orientation;
    int32_t supported;
  };
  const Case cases[] = {
      {"mapped_medium", 1, 0, 0, 1},
      {"mapped_medium_beyond_the_custom_limits", 1, 1, 0, 0},
      {"medium_in_no_orientation_walked_custom_size_none", 1, 0, 90, 0},
      {"custom_size_within_limits", 390, 1, 0, 1},
      {"custom_size_too_large_for_the_limits", 391, 1, 0, 0},
      {"custom_size_too_large_without_limits", 391, 0, 0, 1},
      {"custom_size_too_small_for_the_limits", 392, 1, 0, 0},
      {"custom_sizes_ignore_the_orientation", 390, 1, 90, 1},
      {"mapping_of_no_custom_size", 50, 0, 0, 0},
      {"unknown_paper", 7, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.IsPaperSupported(c.orientation, k600, c.checkLimits, c.osPaper), c.supported);
  }
}

TEST_F(CustomSizesTest, IsCustomSizeInRangeHoldsTheMediumBetweenTheRangeMedia) {
  // 5 x 5 inches is 3000 dots; 4 x 8 inches 2400 x 4800; 8 inches is 4800.
  LoadCustomSizes({{16390, {500, 500}}, {16391, {400, 800}}, {16392, {800, 500}}, {16393, {300, 300}}});
  struct Case {
    const char* name;
    int16_t id;
    int32_t inRange;
  };
  const Case cases[] = {
      {"inside", 16390, 1},    {"tall_but_inside", 16391, 1}, {"too_wide", 16392, 0},
      {"too_small", 16393, 0}, {"unknown_id", 16395, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(driver_.IsCustomSizeInRange(c.id, nullptr), c.inRange);
    EXPECT_EQ(driver_.IsCustomSizeInRange(c.id, driver_.CurrentSettings()), c.inRange);
  }
}

TEST_F(CustomSizesTest, IsCustomSizeInRangeNeedsBothRangeMediaAtTheSettingsGeometry) {
  LoadCustomSizes({{16390, {500, 500}}});
  GAttributeComposite landscape(360);
  AddValue(landscape, 265, 90);
  GAttributeComposite* resolution = AddGroup(landscape, 249);
  AddValue(*resolution, 323, 600);
  AddValue(*resolution, 324, 600);
  EXPECT_EQ(driver_.IsCustomSizeInRange(16390, &landscape), 0);

  GAttributeComposite noGeometry(360);
  EXPECT_EQ(driver_.IsCustomSizeInRange(16390, &noGeometry), 0);

  delete pool_->RemoveChild(pool_->FindBySizeId(17388, 0, 600));
  EXPECT_EQ(driver_.IsCustomSizeInRange(16390, nullptr), 0);

  delete configuration_->RemoveChild(pool_);
  EXPECT_EQ(driver_.IsCustomSizeInRange(16390, nullptr), 0);

  TestDriver withoutSettings;
  EXPECT_EQ(withoutSettings.IsCustomSizeInRange(16390, &landscape), 0);
}

// A list of custom sizes holding the ids given, each named after its id.
std::unique_ptr<GAttributeComposite> CustomSizeList(const std::vector<int16_t>& ids) {
  auto list = std::make_unique<GAttributeComposite>(276);
  for (const int16_t id : ids) {
    list->AddChild(new GCustomMediaSize(id, RWCString(std::to_string(id).c_str()), kMillimetres, 100, 100, 0));
  }
  return list;
}

std::vector<int16_t> IdsOf(GAttributeComposite& list) {
  std::vector<int16_t> ids;
  const std::unique_ptr<GIterator> children = list.NewChildIterator();
  while (children->Advance()) ids.push_back(dynamic_cast<GCustomMediaSize&>(*children->Current()).GetId());
  return ids;
}

TEST(DriverCustomSizes, AddCustomMediaSizeTakesTheSmallestFreeIdAndReplacesByName) {
  struct Case {
    const char* name;
    std::vector<int16_t> ids;
    const char* newName;
    std::vector<int16_t> after;
  };
  const Case cases[] = {
      {"empty_list", {}, "New", {16385}},
      {"fills_a_gap", {16385, 16387}, "New", {16385, 16387, 16386}},
      {"after_the_last", {16386, 16385}, "New", {16386, 16385, 16387}},
      {"ids_outside_the_range_do_not_count", {100, 17384, 16384}, "New", {100, 17384, 16384, 16385}},
      {"replaced_entry_still_counts_as_taken", {16385, 16386}, "16385", {16386, 16387}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver driver;
    std::unique_ptr<GAttributeComposite> list = CustomSizeList(c.ids);
    auto* size = new GCustomMediaSize(0, c.newName, kMillimetres, 210, 297, 0);
    size->SetChangedFlag(0);
    ASSERT_EQ(driver.AddCustomMediaSize(size, *list, nullptr), 1);
    EXPECT_EQ(IdsOf(*list), c.after);
    EXPECT_EQ(size->GetId(), c.after.back());
    EXPECT_EQ(size->ChangedFlag(), 1);
  }
}

TEST(DriverCustomSizes, AddCustomMediaSizeRefusesAFullList) {
  std::vector<int16_t> ids;
  for (int16_t id = GDriver::kFirstCustomSizeId; id <= GDriver::kLastCustomSizeId; ++id) ids.push_back(id);
  ASSERT_EQ(ids.size(), 999u);
  std::unique_ptr<GAttributeComposite> list = CustomSizeList(ids);
  TestDriver driver;
  GCustomMediaSize size(0, "16385", kMillimetres, 210, 297, 0);
  EXPECT_EQ(driver.AddCustomMediaSize(&size, *list, nullptr), 0);
  EXPECT_EQ(IdsOf(*list), ids);
  EXPECT_EQ(size.GetId(), 0);
}

TEST(DriverCustomSizes, RemoveCustomMediaSizeDeletesOnlyAnEntryOfTheList) {
  std::unique_ptr<GAttributeComposite> list = CustomSizeList({16385, 16386});
  TestDriver driver;
  GCustomMediaSize stranger(16385, "16385", kMillimetres, 100, 100, 0);
  EXPECT_EQ(driver.RemoveCustomMediaSize(&stranger, *list, nullptr), 0);
  EXPECT_EQ(IdsOf(*list), (std::vector<int16_t>{16385, 16386}));

  auto* entry = dynamic_cast<GCustomMediaSize*>(list->FindByKey(0));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(driver.RemoveCustomMediaSize(entry, *list, nullptr), 1);
  EXPECT_EQ(IdsOf(*list), (std::vector<int16_t>{16386}));
}

// A stand-in factory that answers no international settings.
class NoInternationalSettings : public GMemoryOSFactory {
 public:
  std::unique_ptr<GLocaleInfo> ReadInternationalSettings() override { return nullptr; }
};

class RegionalPaperTest : public ::testing::Test {
 protected:
  ~RegionalPaperTest() override { GOSFactory::SetInstance(nullptr); }

  // The factory of the test, with the country code when given.
  void InstallFactory(GMemoryOSFactory* factory, const char* country) {
    GOSFactory::SetInstance(factory);
    if (country != nullptr) {
      factory->WriteUserString(RWWString(QV_WIDE("Control Panel\\International")), RWWString(QV_WIDE("iCountry")),
                               RWWString(country));
    }
  }
};

TEST_F(RegionalPaperTest, CountryCodeChoosesLetterOrA4) {
  struct Case {
    const char* name;
    const char* country;
    int16_t paper;
  };
  const Case cases[] = {
      {"no_country_value", nullptr, 1},
      {"code_0", "0", 1},
      {"united_states", "1", 1},
      {"code_2", "2", 1},
      {"code_3", "3", 23},
      {"uk", "44", 23},
      {"germany", "49", 23},
      {"code_50", "50", 1},
      {"brazil", "55", 1},
      {"code_59", "59", 1},
      {"code_60", "60", 23},
      {"code_499", "499", 23},
      {"code_500", "500", 1},
      {"code_502", "502", 1},
      {"code_599", "599", 1},
      {"code_600", "600", 23},
      {"code_read_as_negative", "4294967295", 23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallFactory(new GMemoryOSFactory, c.country);
    TestDriver driver;
    EXPECT_EQ(driver.GetOSCapabilityLevel(), c.paper);
    EXPECT_EQ(driver.GetDefaultPaperSize(), c.paper);
    EXPECT_EQ(driver.GetDefaultPaperSizeId(), c.paper);
  }
}

TEST_F(RegionalPaperTest, LetterWithoutInternationalSettingsOrFactory) {
  InstallFactory(new NoInternationalSettings, nullptr);
  TestDriver driver;
  EXPECT_EQ(driver.GetOSCapabilityLevel(), 1);
  GOSFactory::SetInstance(nullptr);
  TestDriver withoutFactory;
  EXPECT_EQ(withoutFactory.GetOSCapabilityLevel(), 1);
}

TEST_F(RegionalPaperTest, TheAnswerIsKeptForTheObjectsLife) {
  auto* factory = new GMemoryOSFactory;
  InstallFactory(factory, "44");
  TestDriver driver;
  EXPECT_EQ(driver.GetOSCapabilityLevel(), 23);
  factory->WriteUserString(RWWString(QV_WIDE("Control Panel\\International")), RWWString(QV_WIDE("iCountry")),
                           RWWString("1"));
  driver.Invalidate(GPrinterIdentity());
  EXPECT_EQ(driver.GetOSCapabilityLevel(), 23);
  TestDriver later;
  EXPECT_EQ(later.GetOSCapabilityLevel(), 1);
}

}  // namespace
