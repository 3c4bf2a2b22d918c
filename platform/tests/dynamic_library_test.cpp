#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using Combine = uint16_t (*)(uint32_t, uint32_t);

std::basic_string<WideChar> TestLibraryName() {
  const std::string narrow = QV_TEST_LIBRARY;
  return std::basic_string<WideChar>(narrow.begin(), narrow.end());
}

TEST(DynamicLibrary, LoadsAndReachesAnExport) {
  platform::ModuleHandle module = platform::OpenModule(TestLibraryName().c_str());
  ASSERT_NE(module, nullptr);
  auto combine = reinterpret_cast<Combine>(platform::FindExport(module, "QvTestCombine"));
  ASSERT_NE(combine, nullptr);
  EXPECT_EQ(combine(0x12, 0x34), 0x1234);
  EXPECT_EQ(platform::FindExport(module, "NoSuchExport"), nullptr);
  EXPECT_TRUE(platform::CloseModule(module));
}

TEST(DynamicLibrary, MissingFilesAndNullHandlesFail) {
  EXPECT_EQ(platform::OpenModule(QV_WIDE("no-such-library-qv.dll")), nullptr);
  EXPECT_EQ(platform::OpenModule(QV_WIDE("")), nullptr);
  EXPECT_EQ(platform::AddModuleReference(nullptr), nullptr);
  EXPECT_EQ(platform::FindExport(nullptr, "QvTestCombine"), nullptr);
  EXPECT_FALSE(platform::CloseModule(nullptr));
}

// A second reference keeps the module loaded after the first is freed.
TEST(DynamicLibrary, AnAddedReferenceOutlivesTheFirst) {
  platform::ModuleHandle first = platform::OpenModule(TestLibraryName().c_str());
  ASSERT_NE(first, nullptr);
  platform::ModuleHandle second = platform::AddModuleReference(first);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(platform::CloseModule(first));
  auto combine = reinterpret_cast<Combine>(platform::FindExport(second, "QvTestCombine"));
  ASSERT_NE(combine, nullptr);
  EXPECT_EQ(combine(1, 2), 0x0102);
  EXPECT_TRUE(platform::CloseModule(second));
}

}  // namespace
