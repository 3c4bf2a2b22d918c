// Tests of the slot table's catalogue paths: how a stored value resolves
// against the module's directory and how a path is stored.
#include "device/fonts/mass_storage_slot.h"

#include <gtest/gtest.h>

#include <string>

#include "device/tests/mass_storage_test_support.h"
#include "foundation/testing/string_printers.h"

namespace {

// The text with every '|' replaced by the platform's path separator.
RWWString Path(const std::string& text) {
  RWWString path(text.c_str());
  for (uint32_t i = 0; i < path.Length(); ++i) {
    if (path.Data()[i] == '|') path.CharAt(i) = GOSFactory::Instance()->PathSeparator();
  }
  return path;
}

using MassStorageSlotPath = MassStorageTest;

TEST_F(MassStorageSlotPath, ResolvesStoredValuesAgainstTheModuleDirectory) {
  struct Case {
    const char* name;
    const char* moduleDirectory;
    const char* stored;  // null: the value is absent
    const char* expected;
  };
  const Case cases[] = {
      {"absolute_path_as_stored", "|opt|qv", "|srv|fonts|qvdsk001.qvd", "|srv|fonts|qvdsk001.qvd"},
      {"file_name_inside_module_directory", "|opt|qv", "qvdsk001.qvd", "|opt|qv|qvdsk001.qvd"},
      {"module_directory_unknown", "", "qvdsk001.qvd", "qvdsk001.qvd"},
      {"empty_value", "|opt|qv", "", ""},
      {"absent_value", "|opt|qv", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->moduleDirectory = Path(c.moduleDirectory);
    factory_->Store().Clear();
    if (c.stored) StoreSlotValue(QV_WIDE("DiskFonts1"), Path(c.stored).ToAscii().Data());
    EXPECT_EQ(GetMassStorageSlotPath(driver_, 2), Path(c.expected));
  }
}

TEST_F(MassStorageSlotPath, StoresPathsInsideTheModuleDirectoryByFileName) {
  struct Case {
    const char* name;
    const char* moduleDirectory;
    const char* path;
    const char* stored;
  };
  const Case cases[] = {
      {"inside_module_directory", "|opt|qv", "|opt|qv|qvfls001.qvd", "qvfls001.qvd"},
      {"module_directory_not_a_prefix", "|opt|qv", "|home|opt|qv|qvfls001.qvd", "|home|opt|qv|qvfls001.qvd"},
      {"directory_name_only_begins_alike", "|opt|qv", "|opt|qvx|qvfls001.qvd", "|opt|qvx|qvfls001.qvd"},
      {"module_directory_unknown", "", "|opt|qv|qvfls001.qvd", "|opt|qv|qvfls001.qvd"},
      {"empty_path", "|opt|qv", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->moduleDirectory = Path(c.moduleDirectory);
    EXPECT_EQ(SetMassStorageSlotPath(driver_, 5, Path(c.path)), 1);
    EXPECT_EQ(StoredSlotValue(QV_WIDE("FlashFonts2")), Path(c.stored));
    // What was stored resolves to the path given.
    EXPECT_EQ(GetMassStorageSlotPath(driver_, 5), Path(c.path));
  }
}

TEST_F(MassStorageSlotPath, IndexesOutsideTheTableHaveNoPath) {
  StoreSlotValue(QV_WIDE("DIMMFonts4"), "qvdim004.qvd");
  for (int32_t slot : {-1, kNoMassStorageSlot, 11}) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(FindMassStorageSlot(slot), nullptr);
    EXPECT_EQ(GetMassStorageSlotPath(driver_, slot).Length(), 0u);
    EXPECT_EQ(SetMassStorageSlotPath(driver_, slot, RWWString("x.qvd")), 0);
  }
  EXPECT_EQ(GetMassStorageSlotPath(driver_, 9), RWWString("qvdim004.qvd"));
}

}  // namespace
