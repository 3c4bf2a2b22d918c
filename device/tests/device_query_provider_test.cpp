// Tests of the device-query providers and their registry: which list a
// provider joins by its mask, the order of asking and the stored part of
// the provider base.
#include "device/query/device_query_provider.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/query/pml_descriptor.h"
#include "device/query/provider_registry.h"
#include "model/testing/round_trip.h"

namespace {

// A provider with a fixed mask that answers every request with a token of
// its own (device queries) or a descriptor holding its registration name
// (query objects), or with nothing when silent, and records the requests.
class TestProvider : public GDeviceQueryProvider {
 public:
  explicit TestProvider(uint32_t mask, bool silent = false) : mask_(mask), silent_(silent) {}

  GDeviceQuery* CreateDeviceQuery(GDriver*, const RWCString& name, uint32_t mask, const RWWString& parameter) override {
    asked.push_back(std::string(name.Data(), name.Length()));
    lastMask = mask;
    lastParameter = parameter;
    return silent_ ? nullptr : Token();
  }
  MPersistentObject* CreateQueryObject(MPersistentObject*, const RWCString& name, uint32_t, const RWWString&) override {
    asked.push_back(std::string(name.Data(), name.Length()));
    return silent_ ? nullptr : new GPMLDescriptor(RWWString::FromMultibyte(name), 0);
  }
  uint32_t GetCapabilityMask() const override { return mask_; }

  // Never dereferenced: it only tells which provider answered.
  GDeviceQuery* Token() { return reinterpret_cast<GDeviceQuery*>(&token_); }

  RWCollectable* NewInstance() const override { return new TestProvider(mask_); }
  RWCollectable* Clone() const override { return new TestProvider(*this); }

  std::vector<std::string> asked;
  uint32_t lastMask = 0;
  RWWString lastParameter;

 private:
  uint32_t mask_;
  bool silent_;
  char token_ = 0;
};

const RWWString kPort = RWWString::FromMultibyte("IP_10.0.0.7:");

TEST(DeviceQueryProvider, SupportsMasksWithinItsCapabilities) {
  const TestProvider provider(0x30001);
  struct Case {
    const char* name;
    uint32_t mask;
    bool supported;
  };
  const Case cases[] = {
      {"nothing", 0, true},          {"one_device_bit", 0x10000, true}, {"all_bits", 0x30001, true},
      {"other_query_bit", 2, false}, {"beyond", 0x40000, false},        {"some_beyond", 0x10002, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(provider.SupportsMask(c.mask), c.supported);
    EXPECT_EQ(provider.SupportsCapability(c.mask), c.supported);
  }
  EXPECT_FALSE(provider.SameContent(provider));
  EXPECT_TRUE(provider.IsKindOf(kGDeviceQueryProviderClassID));
}

TEST(DeviceQueryProvider, StoresOnlyAVersionWordAfterTheRoot) {
  TestProvider provider(0x10000);
  provider.SetKey(12);
  const std::string bytes = SaveContentsToFileBytes(provider);
  EXPECT_EQ(bytes, Words({1, 12, provider.SerialNumber(), 1}));
  EXPECT_EQ(provider.StoredSize(), bytes.size());
  // The version word is read and not examined.
  TestProvider restored(0x10000);
  const std::string stored = Words({1, 30, 0, 7});
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, stored), stored.size());
  EXPECT_EQ(RestoreContentsFromStreamBytes(restored, stored), stored.size());
  EXPECT_EQ(restored.Key(), 30);
}

TEST(ProviderRegistry, MasksChooseTheListsAndNamesAreUnique) {
  GProviderRegistry registry;
  TestProvider queryObjects(0x0001);
  TestProvider deviceQueries(0x10000);
  TestProvider both(0x20002);
  TestProvider late(0x10000);
  EXPECT_EQ(registry.Register(&queryObjects, "objects"), 0);
  EXPECT_EQ(registry.Register(&deviceQueries, "QVNRA 1.0"), 0);
  EXPECT_EQ(registry.Register(&both, "both"), 0);
  EXPECT_EQ(registry.Register(&late, "QVNRA 1.0"), 1);
  EXPECT_EQ(registry.Register(&late, "both"), 1);
  EXPECT_EQ(registry.FindProvider("QVNRA 1.0"), &deviceQueries);
  EXPECT_EQ(registry.FindProvider("both"), &both);
  EXPECT_EQ(registry.FindProvider("QVNRA 1.0 "), nullptr);

  struct Case {
    const char* name;
    uint32_t mask;
    uint32_t count;
  };
  const Case cases[] = {
      {"query_object_bit_1", 1, 1},
      {"query_object_bit_2", 2, 1},
      {"device_query", 0x10000, 1},
      {"other_device_query", 0x20000, 1},
      {"both_halves", 0x20002, 2},
      {"device_query_and_bit_1", 0x10001, 0},
      {"no_bits", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(registry.CountProviders(c.mask), c.count);
  }

  EXPECT_EQ(registry.Unregister("both"), 0);
  EXPECT_EQ(registry.FindProvider("both"), nullptr);
  EXPECT_EQ(registry.CountProviders(0x20002), 0u);
  EXPECT_EQ(registry.Unregister("never"), 0);
  EXPECT_EQ(registry.Register(&late, "both"), 0);
  EXPECT_EQ(registry.FindProvider("both"), &late);
}

TEST(ProviderRegistry, AsksProvidersInOrderUntilOneAnswers) {
  GProviderRegistry registry;
  TestProvider other(0x20000);
  TestProvider silent(0x10000, true);
  TestProvider agent(0x10000);
  TestProvider second(0x10000);
  registry.Register(&other, "other");
  registry.Register(&silent, "silent");
  registry.Register(&agent, "QVNRA 1.0");
  registry.Register(&second, "second");

  EXPECT_EQ(registry.CreateDeviceQuery(nullptr, kPort, 0x10000), agent.Token());
  EXPECT_TRUE(other.asked.empty());
  EXPECT_EQ(silent.asked, std::vector<std::string>{"silent"});
  EXPECT_EQ(agent.asked, std::vector<std::string>{"QVNRA 1.0"});
  EXPECT_EQ(agent.lastMask, 0x10000u);
  EXPECT_EQ(agent.lastParameter, kPort);
  EXPECT_TRUE(second.asked.empty());
  EXPECT_EQ(registry.CreateDeviceQuery(nullptr, kPort, 0x40000), nullptr);
  // No query-object provider is registered: nobody is asked.
  EXPECT_EQ(registry.CreateQueryObject(nullptr, kPort, 1), nullptr);
  EXPECT_EQ(agent.asked.size(), 1u);
}

TEST(ProviderRegistry, QueryObjectsComeFromTheQueryObjectList) {
  GProviderRegistry registry;
  TestProvider deviceOnly(0x10000);
  TestProvider objects(0x0003);
  registry.Register(&deviceOnly, "device");
  registry.Register(&objects, "objects");
  const std::unique_ptr<MPersistentObject> made(registry.CreateQueryObject(nullptr, kPort, 2));
  const auto* descriptor = dynamic_cast<const GPMLDescriptor*>(made.get());
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->GetName(), RWWString::FromMultibyte("objects"));
  EXPECT_TRUE(deviceOnly.asked.empty());
  EXPECT_EQ(registry.CreateQueryObject(nullptr, kPort, 4), nullptr);
}

TEST(ProviderRegistry, TheProcessRegistryStartsEmpty) {
  EXPECT_EQ(&GetProviderRegistry(), &GetProviderRegistry());
  EXPECT_EQ(GetProviderRegistry().CountProviders(0xFFFFFFFF), 0u);
}

}  // namespace
