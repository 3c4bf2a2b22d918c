#include "device/driver/ui_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/driver/added_fonts.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/mass_storage_slot.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "device/tests/font_catalogues.h"
#include "device/tests/mass_storage_test_support.h"
#include "foundation/testing/scratch_files.h"
#include "model/attributes/value_attribute.h"

namespace {

const RWWString kAddedFonts(QV_WIDE("AddedFonts"));
const RWWString kStateMask(QV_WIDE("DisabledMSDs"));
const RWWString kFontsInUse(QV_WIDE("MassStorageFonts"));

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file != nullptr) std::fclose(file);
  return file != nullptr;
}

// A user-interface driver whose printer data lives in the test's factory.
class UIDriverTest : public MassStorageTest {
 protected:
  UIDriverTest() { TestUIDriver::ResetCapabilities(); }
  ~UIDriverTest() override { TestUIDriver::ResetCapabilities(); }

  void SetMask(uint32_t mask) { factory_->SetPrinterDataDword(ui_, kStateMask, mask); }
  uint32_t Mask() { return factory_->GetPrinterDataDword(ui_, kStateMask, 0); }
  void SetSlotPath(int32_t slot, const std::string& path) {
    factory_->SetPrinterDataString(ui_, RWWString(FindMassStorageSlot(slot)->name), RWWString(path.c_str()));
  }
  // Slot states from slot 0 up, two bits each.
  static uint32_t States(std::initializer_list<int32_t> states, int32_t first = 0) {
    uint32_t mask = 0;
    int32_t slot = first;
    for (const int32_t state : states) mask |= static_cast<uint32_t>(state) << (2 * slot++);
    return mask;
  }

  TestUIDriver ui_;
};

TEST_F(UIDriverTest, IsTheUserInterfaceSideOfTheDriverObject) {
  GDriver& driver = ui_;
  EXPECT_EQ(driver.AsUIDriver(), static_cast<GUIDriver*>(&ui_));
  EXPECT_EQ(driver.AsGraphicsDevice(), nullptr);
  RWWString text(QV_WIDE("stale"));
  ui_.GetText1(text);
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_EQ(ui_.GetText2().Length(), 0u);
  // The driver's name stays reachable through the driver object.
  EXPECT_EQ(driver.GetText2(), RWWString(QV_WIDE("Test Driver")));
}

TEST_F(UIDriverTest, FontEscapeAnswerComesFromTheGenerator) {
  struct Case {
    const char* name;
    bool generator;
    int32_t answer;
    int32_t expected;
  };
  const Case cases[] = {
      {"no_device_tree", false, 0, 0},
      {"generator_refuses", true, 0, 0},
      {"generator_accepts", true, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestUIDriver ui;
    TestGenerator* generator = nullptr;
    if (c.generator) {
      TestDeviceTree tree = MakeDeviceTree();
      generator = new TestGenerator(765);
      generator->fontEscapeAnswer = c.answer;
      tree.head->AddChild(generator);
      ui.SetSettingsRoot(std::move(tree.root));
    }
    EXPECT_EQ(ui.IsFontEscapeUsable("\x1b(s1p12v0s0b4148T"), c.expected);
    if (generator != nullptr) {
      EXPECT_EQ(generator->askedSelection, RWCString("\x1b(s1p12v0s0b4148T"));
    }
  }
}

TEST_F(UIDriverTest, HeadWithoutGeneratorAnswersZero) {
  TestDeviceTree tree = MakeDeviceTree();
  ui_.SetSettingsRoot(std::move(tree.root));
  EXPECT_EQ(ui_.IsFontEscapeUsable("\x1b(10U"), 0);
}

// The first driver object that finds a description decides for the whole
// process; objects without one neither decide nor change the answer.
TEST_F(UIDriverTest, CapabilitiesAreDecidedOnceForTheProcess) {
  TestUIDriver bare;
  EXPECT_FALSE(bare.IsCapability1100());

  TestDeviceTree first = MakeDeviceTree();
  AddValue(*first.configuration, 1100, 1);
  AddValue(*first.configuration, 1025, 0);
  ui_.SetSettingsRoot(std::move(first.root));
  TestUIDriver other;
  TestDeviceTree second = MakeDeviceTree();
  AddValue(*second.configuration, 1100, 0);
  AddValue(*second.configuration, 1025, 1);
  other.SetSettingsRoot(std::move(second.root));

  EXPECT_TRUE(ui_.IsCapability1100());
  EXPECT_FALSE(ui_.IsCapability1025());
  EXPECT_TRUE(other.IsCapability1100());
  EXPECT_FALSE(other.IsCapability1025());
  EXPECT_TRUE(bare.IsCapability1100());
}

TEST_F(UIDriverTest, CapabilitiesDecideOnceUnderConcurrentCalls) {
  TestDeviceTree tree = MakeDeviceTree();
  AddValue(*tree.configuration, 1100, 1);
  ui_.SetSettingsRoot(std::move(tree.root));
  std::vector<std::thread> threads;
  std::vector<int> answers(4, 0);
  for (size_t i = 0; i < answers.size(); ++i) {
    threads.emplace_back([this, &answers, i] { answers[i] = ui_.IsCapability1100() ? 1 : 0; });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(answers, std::vector<int>(4, 1));
}

TEST_F(UIDriverTest, SlotStateChangesOnlyItsOwnBits) {
  struct Case {
    const char* name;
    uint32_t before;
    int32_t slot;
    int32_t state;
    uint32_t after;
  };
  const Case cases[] = {
      {"slot_3_disabled_from_nothing", 0, 3, 2, 0x80},
      {"slot_3_disabled_keeps_the_others", 0x7FFFFF3F, 3, 2, 0x7FFFFFBF},
      {"slot_3_enabled_to_disabled", 0x40, 3, 2, 0x80},
      {"slot_3_both_bits", 0x00, 3, 3, 0xC0},
      {"slot_9_undecided", 0x000C0000 | 0x5, 9, 0, 0x5},
      {"unreadable_mask_counts_as_zero", 0xFFFFFFFF, 0, 1, 0x1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetMask(c.before);
    EXPECT_EQ(SetStorageSlotState(ui_, c.slot, c.state), 1);
    EXPECT_EQ(Mask(), c.after);
    EXPECT_EQ(GetStorageSlotState(ui_, c.slot), c.state);
  }
  SetMask(0x55);
  EXPECT_EQ(SetStorageSlotState(ui_, kNoMassStorageSlot, 2), 0);
  EXPECT_EQ(Mask(), 0x55u);
}

TEST_F(UIDriverTest, FindsTheFirstFreeOrUnusedSlot) {
  struct Case {
    const char* name;
    std::vector<int32_t> slotsWithPaths;
    uint32_t mask;
    int32_t expected;
  };
  const Case cases[] = {
      {"all_dimms_taken_third_disabled", {6, 7, 8, 9}, States({1, 1, 2, 1}, 6), 8},
      {"all_dimms_taken_and_enabled", {6, 7, 8, 9}, States({1, 1, 1, 1}, 6), kNoMassStorageSlot},
      {"free_slot_before_a_disabled_one", {6, 8, 9}, States({2, 1, 1, 1}, 6), 7},
      {"undecided_slot_counts_as_unused", {6, 7, 8, 9}, States({1, 1, 1, 0}, 6), 9},
      {"no_paths_at_all", {}, 0, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->Store().Clear();
    for (const int32_t slot : c.slotsWithPaths) SetSlotPath(slot, "font.qvd");
    SetMask(c.mask);
    EXPECT_EQ(FindStorageSlot(ui_, 6, 9), c.expected);
  }
}

TEST_F(UIDriverTest, MassStorageFlagFollowsTheSlots) {
  struct Case {
    const char* name;
    std::vector<int32_t> slotsWithPaths;
    uint32_t mask;
    uint32_t storedFlag;
    int32_t changed;
    uint32_t flag;
  };
  const Case cases[] = {
      {"no_slot_in_use", {}, 0, 0, 0, 0},
      {"flag_left_on_without_slots", {}, 0, 1, 1, 0},
      {"disk_slot_in_use", {2}, 0, 0, 1, 1},
      {"disabled_disk_slot_still_in_use", {3}, States({2}, 3), 0, 1, 1},
      {"disabled_dimm_slot_not_in_use", {7}, States({2}, 7), 1, 1, 0},
      {"enabled_dimm_slot_in_use", {7}, States({1}, 7), 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->Store().Clear();
    for (const int32_t slot : c.slotsWithPaths) SetSlotPath(slot, "font.qvd");
    SetMask(c.mask);
    factory_->SetPrinterDataDword(ui_, kFontsInUse, c.storedFlag);
    EXPECT_EQ(SyncMassStorageFontsFlag(ui_), c.changed);
    EXPECT_EQ(factory_->GetPrinterDataDword(ui_, kFontsInUse, 7), c.flag);
    EXPECT_EQ(AreMassStorageFontsEnabled(ui_), c.flag == 1);
  }
}

TEST_F(UIDriverTest, RemovingACachedCatalogueForgetsTheSlotValueThatNamesIt) {
  ScratchDirectory directory;
  const std::string file = directory.File("qvdsk001.qvd");
  std::string moduleDirectory = file.substr(0, file.size() - std::string("qvdsk001.qvd").size() - 1);
  factory_->moduleDirectory = RWWString(moduleDirectory.c_str());
  struct Case {
    const char* name;
    const char* stored;
    const char* given;  // null: the whole path
    bool valueForgotten;
  };
  const Case cases[] = {
      {"stored_by_file_name", "qvdsk001.qvd", nullptr, true},
      {"given_by_file_name", "qvdsk001.qvd", "qvdsk001.qvd", false},
      {"slot_names_another_file", "qvdsk002.qvd", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(file, "catalogue");
    SetSlotPath(2, c.stored);
    RemoveCachedCatalogue(ui_, 2, RWWString(c.given != nullptr ? c.given : file.c_str()));
    EXPECT_EQ(GetMassStorageSlotPath(ui_, 2).Length() == 0, c.valueForgotten);
    EXPECT_FALSE(FileExists(file));
  }
}

// ---- added fonts

// A font list of the slot's key that claims the catalogue count.
GDeviceFontList* ListOf(int32_t slot, uint32_t catalogueCount) {
  auto* list = new GDeviceFontList(FindMassStorageSlot(slot)->listKey);
  list->SetCatalogueCount(catalogueCount);
  return list;
}

class AddedFontsTest : public UIDriverTest {
 protected:
  // The slot's catalogue file holds the bytes; "" leaves it missing.
  void PutCatalogue(int32_t slot, const std::string& bytes) {
    const std::string path = directory_.File("slot" + std::to_string(slot) + ".qvd");
    if (bytes.empty()) {
      std::remove(path.c_str());
    } else {
      WriteFile(path, bytes);
    }
    SetSlotPath(slot, path);
  }
  void StoreAddedFonts(std::initializer_list<GDeviceFontList*> lists) {
    GDeviceFontListComposite fonts;
    for (GDeviceFontList* list : lists) fonts.AddList(list);
    ASSERT_EQ(WriteAddedFonts(ui_, kAddedFonts, fonts), 1);
  }
  // The list of the slot's key, null when absent.
  static GDeviceFontList* Find(GDeviceFontListComposite* fonts, int32_t slot) {
    if (fonts == nullptr) return nullptr;
    return dynamic_cast<GDeviceFontList*>(fonts->FindList(FindMassStorageSlot(slot)->listKey));
  }

  ScratchDirectory directory_;
};

TEST_F(AddedFontsTest, EachSlotIsLoadedKeptOrDroppedByItsStateAndCatalogue) {
  constexpr int32_t kAbsent = -1;
  // The catalogue count of the catalogue every slot here holds.
  constexpr int32_t kCount = 7;
  struct Case {
    const char* name;
    int32_t slot;
    int32_t state;
    bool catalogue;
    int32_t storedCount;  // the catalogue count of a stored list, or kAbsent
    int32_t remote;
    int32_t expectedState;
    int32_t expectedCount;  // of the list returned and stored, or kAbsent
    bool loaded;            // the list holds the catalogue's fonts
  };
  const Case cases[] = {
      {"disk_slot_undecided_is_loaded", 2, 0, true, kAbsent, 0, 1, kCount, true},
      {"dimm_slot_undecided_is_not_loaded", 6, 0, true, kAbsent, 0, 0, kAbsent, false},
      {"dimm_slot_enabled_is_loaded", 6, 1, true, kAbsent, 0, 1, kCount, true},
      {"dimm_slot_disabled_keeps_nothing", 7, 2, true, kCount, 0, 2, kAbsent, false},
      {"missing_catalogue_drops_the_list", 6, 1, false, kCount, 0, 0, kAbsent, false},
      {"missing_catalogue_kept_on_a_remote_printer", 6, 1, false, kCount, 1, 0, kCount, false},
      {"older_list_is_rebuilt", 3, 1, true, 2, 0, 1, kCount, true},
      {"list_as_new_as_the_catalogue_is_kept", 3, 1, true, kCount, 0, 1, kCount, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->Store().Clear();
    ui_.remote = c.remote;
    PutCatalogue(c.slot, c.catalogue ? FontCatalogue("several_fonts") : "");
    SetMask(States({c.state}, c.slot));
    if (c.storedCount != kAbsent) StoreAddedFonts({ListOf(c.slot, static_cast<uint32_t>(c.storedCount))});

    const std::unique_ptr<GDeviceFontListComposite> fonts = ui_.LoadAddedFonts();
    EXPECT_EQ(GetStorageSlotState(ui_, c.slot), c.expectedState);
    const std::unique_ptr<GDeviceFontListComposite> stored = ReadAddedFonts(ui_, kAddedFonts);
    for (GDeviceFontListComposite* lists : {fonts.get(), stored.get()}) {
      GDeviceFontList* list = Find(lists, c.slot);
      if (c.expectedCount == kAbsent) {
        EXPECT_EQ(list, nullptr);
        continue;
      }
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->GetCatalogueCount(), static_cast<uint32_t>(c.expectedCount));
      EXPECT_EQ(list->GetCount() != 0, c.loaded);
    }
  }
}

TEST_F(AddedFontsTest, NothingInUseAnswersWhatIsStored) {
  EXPECT_EQ(ui_.LoadAddedFonts(), nullptr);
  EXPECT_EQ(factory_->GetPrinterDataDword(ui_, kFontsInUse, 7), 7u);
}

TEST_F(AddedFontsTest, LoadingSetsTheFlagAndStoresTheLists) {
  PutCatalogue(4, FontCatalogue("several_fonts"));
  PutCatalogue(5, FontCatalogue("thirty_five_bytes"));
  const std::unique_ptr<GDeviceFontListComposite> fonts = ui_.LoadAddedFonts();
  ASSERT_NE(fonts, nullptr);
  EXPECT_NE(Find(fonts.get(), 4), nullptr);
  // A catalogue too short for a header gives no list, and the slot is
  // enabled all the same.
  EXPECT_EQ(Find(fonts.get(), 5), nullptr);
  EXPECT_EQ(GetStorageSlotState(ui_, 5), 1);
  EXPECT_TRUE(AreMassStorageFontsEnabled(ui_));
  const std::unique_ptr<GDeviceFontListComposite> stored = ReadAddedFonts(ui_, kAddedFonts);
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->Equals(fonts.get()));
}

TEST_F(AddedFontsTest, MergeKeepsOnlyTheSlotListsOfTheAddedFonts) {
  TestDeviceTree tree = MakeDeviceTree();
  auto* described = new GDeviceFontListComposite;
  described->SetKey(414);
  described->AddList(ListOf(0, 1));
  described->AddList(ListOf(6, 1));
  described->AddList(new GDeviceFontList(77));
  tree.configuration->AddChild(described);
  ui_.SetSettingsRoot(std::move(tree.root));

  GDeviceFontListComposite added;
  added.AddList(ListOf(6, 9));
  added.AddList(ListOf(2, 4));
  MergeAddedFonts(ui_, &added);
  EXPECT_EQ(described->FindList(416), nullptr);
  ASSERT_NE(Find(described, 6), nullptr);
  EXPECT_EQ(Find(described, 6)->GetCatalogueCount(), 9u);
  ASSERT_NE(Find(described, 2), nullptr);
  // Lists of other keys are not the slots'.
  EXPECT_NE(described->FindList(77), nullptr);

  MergeAddedFonts(ui_, nullptr);
  EXPECT_EQ(Find(described, 6), nullptr);
  EXPECT_EQ(Find(described, 2), nullptr);
  EXPECT_NE(described->FindList(77), nullptr);
}

}  // namespace
