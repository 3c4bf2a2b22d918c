#include "model/os/dynamic_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "model/testing/round_trip.h"

namespace {

const RWWString kTestLibrary(QV_TEST_LIBRARY);

intptr_t Sum(GDynamicLibrary& library) {
  return reinterpret_cast<intptr_t>(library.CallEntry("QvTestSum", 3, 10, 20, 30));
}

TEST(DynamicLibrary, LoadsOnFirstCallAndReachesItsEntries) {
  GDynamicLibrary library(kTestLibrary);
  EXPECT_EQ(library.IsLoaded(), 0);
  uint32_t table[2] = {0, 0};
  EXPECT_EQ(library.CallEntry16("QvTestFill", 0x1234ABCD, table), 0xABCD);
  EXPECT_EQ(library.IsLoaded(), 1);
  EXPECT_NE(library.Handle(), nullptr);
  EXPECT_EQ(Sum(library), 60);

  EXPECT_EQ(library.CallEntry16("NoSuchEntry", 1, table), 0);
  EXPECT_EQ(library.CallEntry("NoSuchEntry", 1), nullptr);

  // The table's address reaches the entry whole, also where addresses are
  // wider than 32 bits.
  EXPECT_EQ(table[0], 0x1234ABCDu);
  EXPECT_EQ(table[1], 0u);

  library.Free();
  EXPECT_EQ(library.IsLoaded(), 0);
  EXPECT_EQ(library.Handle(), nullptr);
  EXPECT_EQ(library.Load(), 1);
}

TEST(DynamicLibrary, ALibraryThatCannotBeLoadedAnswersNothing) {
  GDynamicLibrary library(RWWString(QV_WIDE("no-such-library-qv.dll")));
  EXPECT_EQ(library.CallEntry("QvTestSum", 0), nullptr);
  uint32_t table = 0;
  EXPECT_EQ(library.CallEntry16("QvTestFill", 1, &table), 0);
  EXPECT_EQ(library.IsLoaded(), 0);
  EXPECT_EQ(library.Load(), 0);
}

// Every copy holds its own reference: whichever goes first, the others can
// still call into the module.
TEST(DynamicLibrary, CopiesKeepTheModuleLoadedForEachOther) {
  auto original = std::make_unique<GDynamicLibrary>(kTestLibrary);
  ASSERT_EQ(original->Load(), 1);
  {
    GDynamicLibrary copy(*original);
    EXPECT_EQ(copy.IsLoaded(), 1);
    EXPECT_EQ(copy.Handle(), original->Handle());
    EXPECT_EQ(copy.Key(), 0);
  }
  EXPECT_EQ(Sum(*original), 60);

  GDynamicLibrary assigned;
  assigned = *original;
  EXPECT_EQ(assigned.IsLoaded(), 1);
  EXPECT_TRUE(assigned.SameContent(*original));
  original.reset();
  uint32_t table = 0;
  EXPECT_EQ(assigned.CallEntry16("QvTestFill", 0x0102, &table), 0x0102);

  // Assigning an unloaded library lets go of the module held before.
  assigned = GDynamicLibrary(RWWString(QV_WIDE("other.dll")));
  EXPECT_EQ(assigned.IsLoaded(), 0);
  EXPECT_EQ(assigned.Handle(), nullptr);
}

TEST(DynamicLibrary, EqualityCountsKeyNameLoadedStateAndModule) {
  GDynamicLibrary loaded(kTestLibrary);
  GDynamicLibrary unloaded(kTestLibrary);
  ASSERT_EQ(loaded.Load(), 1);
  EXPECT_FALSE(loaded.SameContent(unloaded));
  ASSERT_EQ(unloaded.Load(), 1);
  EXPECT_TRUE(loaded.SameContent(unloaded));
  unloaded.SetKey(5);
  EXPECT_FALSE(loaded.SameContent(unloaded));
  EXPECT_FALSE(GDynamicLibrary(RWWString(QV_WIDE("a"))).SameContent(GDynamicLibrary(RWWString(QV_WIDE("b")))));
}

TEST(DynamicLibrary, StoresOnlyItsNameAndRestoresUnloaded) {
  GDynamicLibrary library(RWWString(QV_WIDE("ab")));
  library.SetKey(9);
  EXPECT_TRUE(RoundTrips(library));
  const std::string contents = SaveContentsToFileBytes(library);
  EXPECT_EQ(contents.size(), library.StoredSize());
  EXPECT_EQ(contents.substr(12), Words({1, 2}) + std::string("a\0b\0", 4));

  GDynamicLibrary target(kTestLibrary);
  ASSERT_EQ(target.Load(), 1);
  EXPECT_EQ(RestoreContentsFromFileBytes(target, contents), contents.size());
  EXPECT_EQ(target.IsLoaded(), 0);
  EXPECT_TRUE(target.Name() == library.Name());
  EXPECT_EQ(target.Key(), 9);
}

}  // namespace
