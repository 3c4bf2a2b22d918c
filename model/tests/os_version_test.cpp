#include "model/os/os_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Text = std::basic_string<WideChar>;

// A system as the version queries see it.
struct FakeSystem : GSystemVersionQueries {
  std::optional<platform::SystemVersionInfo> extended;  // the 276-byte query
  std::optional<platform::SystemVersionInfo> larger;    // the 552-byte query
  uint32_t oldAnswer = 0;
  bool hasProductOptions = true;
  std::map<Text, std::vector<uint8_t>> productOptions;
  std::vector<uint32_t> sizesAsked;

  bool QueryVersionEx(uint32_t recordSize, platform::SystemVersionInfo& info) override {
    const auto& answer = recordSize == 276 ? extended : larger;
    if (!answer) return false;
    info = *answer;
    return true;
  }
  uint32_t QueryVersion() override { return oldAnswer; }
  bool OpenProductOptions() override { return hasProductOptions; }
  bool ReadProductOption(const WideChar* name, uint8_t* buffer, uint32_t& size) override {
    sizesAsked.push_back(size);
    const auto found = productOptions.find(name);
    if (found == productOptions.end() || found->second.size() > size) return false;
    std::memcpy(buffer, found->second.data(), found->second.size());
    size = static_cast<uint32_t>(found->second.size());
    return true;
  }

  // A REG_SZ value: UTF-16 units with the terminator.
  void SetText(const WideChar* name, const char* text) {
    std::vector<uint8_t> bytes;
    for (const char* p = text;; ++p) {
      bytes.push_back(static_cast<uint8_t>(*p));
      bytes.push_back(0);
      if (*p == 0) break;
    }
    productOptions[name] = bytes;
  }
};

platform::SystemVersionInfo NT(uint32_t major, uint32_t minor, uint32_t build) { return {major, minor, build, 2}; }
platform::SystemVersionInfo Windows95(uint32_t minor) { return {4, minor, 950, 1}; }

TEST(DetectOperatingSystem, ClassifiesTheExtendedQuery) {
  struct Case {
    const char* name;
    platform::SystemVersionInfo info;
    const char* productType;
    const char* productSuite;
    uint32_t code;
  };
  const Case cases[] = {
      {"win32s", {3, 10, 0, 0}, nullptr, nullptr, 4},
      {"windows95", Windows95(0), nullptr, nullptr, 6},
      {"windows95_minor_20", Windows95(20), nullptr, nullptr, 6},
      {"windows98", Windows95(10), nullptr, nullptr, 7},
      {"windows_me", Windows95(90), nullptr, nullptr, 8},
      {"nt4_workstation", NT(4, 0, 1381), "WinNT", nullptr, 9},
      {"nt4_server", NT(4, 0, 1381), "ServerNT", nullptr, 10},
      {"nt4_workstation_with_suite", NT(4, 0, 1381), "WINNT", "", 13},
      {"nt5_2195_without_suite", NT(5, 0, 2195), "WinNT", nullptr, 9},
      {"nt5_2195_with_suite", NT(5, 0, 2195), "WinNT", "Term", 13},
      {"nt5_2195_server", NT(5, 0, 2195), "LanmanNT", nullptr, 10},
      {"nt51_any_build", NT(5, 1, 2600), nullptr, nullptr, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    system.extended = c.info;
    if (c.productType) system.SetText(QV_WIDE("ProductType"), c.productType);
    if (c.productSuite) system.SetText(QV_WIDE("ProductSuite"), c.productSuite);
    GOSVersion record;
    ASSERT_TRUE(DetectOperatingSystem(record, system));
    EXPECT_EQ(record, (GOSVersion{c.code, c.info.major << 16 | c.info.minor, c.info.build & 0xFFFF}));
  }
}

// The suite is read into no more room than the product type took: a suite
// longer than "WinNT" does not fit and the system counts as NT 4.0.
TEST(DetectOperatingSystem, ReadsTheSuiteWithTheRoomOfTheProductType) {
  FakeSystem system;
  system.extended = NT(5, 0, 2195);
  system.SetText(QV_WIDE("ProductType"), "WinNT");
  system.SetText(QV_WIDE("ProductSuite"), "Terminal Server");
  GOSVersion record;
  ASSERT_TRUE(DetectOperatingSystem(record, system));
  EXPECT_EQ(record.osCode, 9u);
  EXPECT_EQ(system.sizesAsked, (std::vector<uint32_t>{128, 12}));
}

TEST(DetectOperatingSystem, FailuresLeaveTheRecordUntouched) {
  struct Case {
    const char* name;
    FakeSystem system;
  };
  FakeSystem nt6;
  nt6.extended = NT(6, 0, 6000);
  FakeSystem oldWindows95;
  oldWindows95.extended = {3, 95, 0, 1};
  FakeSystem unknownPlatform;
  unknownPlatform.extended = {4, 0, 0, 3};
  FakeSystem noProductOptions;
  noProductOptions.extended = NT(4, 0, 1381);
  noProductOptions.hasProductOptions = false;
  FakeSystem noProductType;
  noProductType.extended = NT(4, 0, 1381);
  FakeSystem largerQueryNT6;
  largerQueryNT6.larger = NT(6, 1, 7600);
  Case cases[] = {{"nt6", nt6},
                  {"windows95_family_below_4", oldWindows95},
                  {"unknown_platform", unknownPlatform},
                  {"no_product_options_key", noProductOptions},
                  {"no_product_type", noProductType},
                  {"larger_query_nt6", largerQueryNT6}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    GOSVersion record{77, 88, 99};
    EXPECT_FALSE(DetectOperatingSystem(record, c.system));
    EXPECT_EQ(record, (GOSVersion{77, 88, 99}));
  }
}

// Systems later than the classification knows keep their version, so that
// what depends on it treats them as the newer systems they are.
TEST(QueryOSVersion, KeepsTheVersionOfASystemThatIsNotClassified) {
  struct Case {
    const char* name;
    std::optional<platform::SystemVersionInfo> extended;
    std::optional<platform::SystemVersionInfo> larger;
    GOSVersion expected;
  };
  const Case cases[] = {
      {"classified", NT(5, 1, 2600), std::nullopt, {14, 5u << 16 | 1, 2600}},
      {"nt6", NT(6, 2, 9200), std::nullopt, {0, 6u << 16 | 2, 9200}},
      {"nt10_large_build", NT(10, 0, 0x14F3A), std::nullopt, {0, 10u << 16, 0x4F3A}},
      {"larger_query_nt6", std::nullopt, NT(6, 1, 7601), {0, 6u << 16 | 1, 7601}},
      {"no_query_answers", std::nullopt, std::nullopt, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    system.extended = c.extended;
    system.larger = c.larger;
    system.hasProductOptions = false;
    EXPECT_EQ(QueryOSVersion(system), c.expected);
  }
}

TEST(DetectOperatingSystem, FallsBackToTheLargerRecordThenToGetVersion) {
  struct Case {
    const char* name;
    std::optional<platform::SystemVersionInfo> larger;
    uint32_t oldAnswer;
    GOSVersion expected;
  };
  const Case cases[] = {
      {"larger_windows95", Windows95(10), 0, {5, 0x4000A, 950}},
      {"larger_win32s", platform::SystemVersionInfo{3, 1, 0, 0}, 0, {4, 0x30001, 0}},
      {"larger_nt51", NT(5, 1, 0x10A28), 0, {14, 0x50001, 0x0A28}},
      {"getversion_win32s", std::nullopt, 0x8000'0A03, {4, 0x3000A, 0}},
      {"getversion_windows95", std::nullopt, 0xC000'0004, {5, 0x40000, 0}},
      {"getversion_nt4", std::nullopt, 0x0565'0004, {9, 0x40000, 0}},
      {"getversion_nt5", std::nullopt, 0x0893'0005, {9, 0x50000, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    system.larger = c.larger;
    system.oldAnswer = c.oldAnswer;
    system.SetText(QV_WIDE("ProductType"), "WinNT");
    GOSVersion record;
    ASSERT_TRUE(DetectOperatingSystem(record, system));
    EXPECT_EQ(record, c.expected);
  }
}

TEST(MapOSVersionToFamily, FoldsCodesIntoFamilies) {
  const std::pair<uint32_t, uint32_t> codeToFamily[] = {{0, 0},  {1, 1},  {2, 2},  {3, 2}, {4, 2},  {5, 3},
                                                        {6, 0},  {7, 0},  {8, 0},  {9, 4}, {10, 4}, {11, 4},
                                                        {12, 6}, {13, 4}, {14, 4}, {15, 0}};
  for (const auto& [code, family] : codeToFamily) {
    EXPECT_EQ(MapOSVersionToFamily(GOSVersion{code, 0, 0}), family) << "code " << code;
  }
}

}  // namespace
