#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/settings/settings_codec.h"
#include "device/testing/settings_fixtures.h"
#include "model/os/memory_os_factory.h"

using namespace settings_fixtures;

namespace {

// The stand-in OS factory keeps named objects through the codec when the
// device description's compact-format value (940 in 366 in 359) is 1, and
// as object graphs otherwise; either way they come back as they were.
class SettingsNamedObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { factory_ = new GMemoryOSFactory(std::make_unique<GSettingsCodec>()); }
  void TearDown() override { delete factory_; }

  // The bytes stored under the name.
  std::string Stored(GDriverInterface& driver, const char* name) {
    std::vector<uint8_t> buffer(1 << 16);
    uint32_t size = 0;
    if (factory_->ReadPrinterDataChunked(driver, RWWString(name), buffer.data(), static_cast<uint32_t>(buffer.size()),
                                         size) == 0) {
      return std::string();
    }
    return std::string(buffer.begin(), buffer.begin() + size);
  }

  GMemoryOSFactory* factory_ = nullptr;
};

TEST_F(SettingsNamedObjectTest, ObjectsComeBackInBothForms) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<MPersistentObject>()> object;
  };
  const Case cases[] = {
      {"QuicksetPool", QuicksetPool},
      {"PhySetting", PhySetting},
      {"ZEVQuickset",
       [] {
         return std::unique_ptr<MPersistentObject>(Composite(1101, {Value(5, 1), Text(6, "x")}));
       }},
  };
  for (int16_t flag : {1, 0}) {
    ConfiguredDriver driver(SettingsConfiguration(flag));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (flag == 1 ? " compact" : " object graph"));
      const std::unique_ptr<MPersistentObject> object = c.object();
      ASSERT_EQ(factory_->StoreNamedObject(driver, RWWString(c.name), *object), 1);
      const std::string stored = Stored(driver, c.name);
      EXPECT_EQ(stored.substr(0, 20) == std::string(20, 's'), flag == 1);
      if (flag == 1) {
        EXPECT_EQ(stored, WriteCompact(*object, 1));
      }

      const std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(driver, RWWString(c.name), 0);
      ASSERT_NE(loaded, nullptr);
      EXPECT_TRUE(loaded->Equals(object.get()));
    }
  }
}

// Stored quick sets of an older description lose what the current one no
// longer lists and gain what it adds.
TEST_F(SettingsNamedObjectTest, LoadingMergesWithTheCurrentDescription) {
  ConfiguredDriver driver(SettingsConfiguration(1));
  const std::unique_ptr<MPersistentObject> pool(
      Composite(0x4000005C, {Composite(0, {Value(260, 9), Value(999, 1), Text(376, "Old")})}));
  ASSERT_EQ(factory_->StoreNamedObject(driver, RWWString("QuicksetPool"), *pool), 1);
  const std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(driver, RWWString("QuicksetPool"), 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Dump(*loaded, 2), "0x4000005C{0{260=9 376=\"Old\" 285=1 263=\"A4\" 1124=0}}");
}

}  // namespace
