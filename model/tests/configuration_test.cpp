// Tests of the configuration, the capability set and the resource mappings.
#include "model/attributes/configuration.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "model/attributes/capabilities.h"
#include "model/attributes/resource_mapping.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/attribute_test_support.h"

namespace {

TEST(ConfigurationTest, HoldsNoTwoEqualChildrenButEveryNestedConfiguration) {
  GConfiguration configuration(198);
  configuration.AddChild(nullptr);
  configuration.AddChild(Value(5, 1));
  configuration.AddChild(Value(5, 1));  // deleted: equal to the held child
  configuration.AddChild(Value(5, 2));
  configuration.AddChild(new GConfiguration(7));
  configuration.AddChild(new GConfiguration(7));
  EXPECT_EQ(configuration.EntryCount(), 4u);

  const GObjectRef shared(Value(5, 2));
  configuration.AddChild(shared.Get());
  EXPECT_EQ(shared->ReferenceCount(), 0);
  EXPECT_EQ(configuration.EntryCount(), 4u);

  EXPECT_TRUE(configuration.IsKindOf(kMPersistentCompositeClassID));
  EXPECT_FALSE(configuration.IsKindOf(kGAttributeCompositeClassID));
}

TEST(ConfigurationTest, RoundTripsAndCopiesShareTheChildren) {
  GConfiguration configuration(198);
  configuration.AddChild(Value(359, 1));
  auto* nested = new GConfiguration(366);
  nested->AddChild(Text(940, "x"));
  configuration.AddChild(nested);
  EXPECT_TRUE(RoundTrips(configuration));
  const std::unique_ptr<GConfiguration> copy(static_cast<GConfiguration*>(configuration.Clone()));
  EXPECT_EQ(copy->Children()[1].Get(), nested);
  EXPECT_EQ(SaveContentsToFileBytes(GConfiguration(1)).size(), 12u + 8u + 4u);
}

TEST(CapabilitiesTest, BitsAnswerAndGrowAsAsked) {
  const uint32_t list[] = {3, 17, 5};
  struct Case {
    const char* name;
    std::function<GCapabilities()> make;
    uint32_t bitCount;
    std::vector<uint32_t> set;
  };
  // clang-format off
  const Case cases[] = {
      {"empty", [] { return GCapabilities(1); }, 0, {}},
      {"cleared_bits", [] { return GCapabilities(1, 12); }, 12, {}},
      {"one_bit", [] { return GCapabilities(1, 12, 4); }, 12, {4}},
      {"one_bit_past_the_count_grows", [] { return GCapabilities(1, 4, 9); }, 10, {9}},
      {"listed_bits", [&] { return GCapabilities(1, 8, list, 3); }, 18, {3, 5, 17}},
      {"set_bit_on_empty", [] { GCapabilities c(1); c.SetBit(9); return c; }, 10, {9}},
      {"cleared_again", [&] { GCapabilities c(1, 0, list, 3); c.ClearBits(list, 2); c.ClearBit(40); return c; }, 18, {5}},
      {"unrepresentable_bit_ignored", [] { GCapabilities c(1, 2); c.SetBit(0xFFFFFFFF); return c; }, 2, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GCapabilities capabilities = c.make();
    EXPECT_EQ(capabilities.BitCount(), c.bitCount);
    EXPECT_EQ(capabilities.CountSet(), c.set.size());
    for (uint32_t bit : c.set) EXPECT_TRUE(capabilities.TestBit(bit)) << bit;
    EXPECT_FALSE(capabilities.TestBit(c.bitCount));
    EXPECT_TRUE(RoundTrips(capabilities));
  }
}

TEST(CapabilitiesTest, ListQueriesTreatBitsBeyondTheSetAsAbsent) {
  const uint32_t set[] = {1, 2};
  const GCapabilities capabilities(1, 8, set, 2);
  const uint32_t inside[] = {1, 2};
  const uint32_t mixed[] = {2, 3};
  const uint32_t beyond[] = {1, 8};
  EXPECT_TRUE(capabilities.TestAll(inside, 2));
  EXPECT_FALSE(capabilities.TestAll(mixed, 2));
  EXPECT_FALSE(capabilities.TestAll(beyond, 2));
  EXPECT_TRUE(capabilities.TestAll(nullptr, 0));
  EXPECT_TRUE(capabilities.TestAny(mixed, 2));
  EXPECT_FALSE(capabilities.TestAny(beyond + 1, 1));
  EXPECT_TRUE(capabilities.AllInRange(mixed, 2));
  EXPECT_FALSE(capabilities.AllInRange(beyond, 2));
}

TEST(CapabilitiesTest, StoredBitsAreReadOnlyWhenThereAreAny) {
  RecordingErrorHandler errors;
  const GCapabilities stored(1, 10, 9);
  const std::string bytes = SaveContentsToFileBytes(stored);
  // Root part, version, count 10, two bytes with bit 9 in the second.
  EXPECT_EQ(bytes.substr(12), Words({1, 10}) + std::string("\x00\x02", 2));

  struct Case {
    const char* name;
    std::string count;  // the stored count and what follows it
    uint32_t bitCount;  // of a set of 3 bits, bit 1 set, restored over
  };
  // clang-format off
  const Case cases[] = {
      {"empty_set_keeps_the_present_bits", Words({0}), 3},
      {"count_beyond_the_input", Words({0xFFFFFFF0}) + "\x01", 3},
      {"largest_count", Words({0xFFFFFFFF}) + "\x01", 3},
      {"bytes_missing", Words({20}) + "\x01\x02", 3},
      {"whole_set", Words({12}) + "\xFF\x0F", 12},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GCapabilities present(1, 3, 1);
    RestoreContentsFromFileBytes(present, bytes.substr(0, 16) + c.count);
    EXPECT_EQ(present.BitCount(), c.bitCount);
    EXPECT_TRUE(present.TestBit(1));
  }
}

TEST(CapabilitiesTest, EqualityIgnoresBitsPastTheCount) {
  const GCapabilities a(1, 3, 1);
  EXPECT_FALSE(a.SameContent(GCapabilities(1, 9, 1)));
  EXPECT_FALSE(a.SameContent(GCapabilities(2, 3, 1)));
  // Three bits stored in a byte whose unused bits are set.
  GCapabilities restored(1);
  RestoreContentsFromFileBytes(restored, Words({1, 1, 0, 1, 3}) + "\xFA");
  EXPECT_EQ(restored.BitCount(), 3u);
  EXPECT_TRUE(a.SameContent(restored));
}

std::unique_ptr<GResourceMappingList> Mappings() {
  auto list = std::make_unique<GResourceMappingList>(191);
  EXPECT_TRUE(list->AddIfNew(new GResourceMapping(1001, 1, 10, 0)));
  EXPECT_TRUE(list->AddIfNew(new GResourceMapping(1002, 5, 11, 0)));
  EXPECT_TRUE(list->AddIfNewDeviceId(new GResourceMapping(1002, 5, 12, 0)));
  return list;
}

TEST(ResourceMappingTest, ListsLookUpInEveryDirectionFirstMatchFirst) {
  const std::unique_ptr<GResourceMappingList> list = Mappings();
  ASSERT_NE(list->FindByOsId(5), nullptr);
  EXPECT_EQ(list->FindByOsId(5)->DeviceId(), 11);
  EXPECT_EQ(list->FindByDeviceId(12)->ResourceId(), 1002u);
  EXPECT_EQ(list->FindByResourceId(1001)->OsId(), 1);
  EXPECT_EQ(list->FindByOsId(6), nullptr);
  EXPECT_EQ(list->FindByDeviceId(-1), nullptr);
}

TEST(ResourceMappingTest, AddingRefusesRepeatedIdsWithoutTakingTheMapping) {
  struct Case {
    const char* name;
    GResourceMapping mapping;
    bool byDeviceIdOnly;
    bool added;
  };
  const Case cases[] = {
      {"new_ids", GResourceMapping(2000, 9, 20, 0), false, true},
      {"resource_id_in_use_with_a_new_device_id", GResourceMapping(1001, 9, 20, 0), false, false},
      {"device_id_in_use", GResourceMapping(2000, 9, 10, 0), false, false},
      {"resource_id_in_use_by_device_id_only", GResourceMapping(1001, 9, 20, 0), true, true},
      {"device_id_in_use_by_device_id_only", GResourceMapping(2000, 9, 11, 0), true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GResourceMappingList> list = Mappings();
    const GObjectRef mapping(c.mapping.CloneObject());
    auto* candidate = static_cast<GResourceMapping*>(mapping.Get());
    EXPECT_EQ(c.byDeviceIdOnly ? list->AddIfNewDeviceId(candidate) : list->AddIfNew(candidate), c.added);
    EXPECT_EQ(list->EntryCount(), c.added ? 4u : 3u);
    EXPECT_EQ(mapping->ReferenceCount(), c.added ? 1 : 0);
  }
  const std::unique_ptr<GResourceMappingList> list = Mappings();
  const GObjectRef ignored(new GResourceMapping(3000, 3, 30, 0));
  list->AddChild(ignored.Get());
  EXPECT_EQ(list->EntryCount(), 3u);
  EXPECT_EQ(ignored->ReferenceCount(), 0);
}

TEST(ResourceMappingTest, RemovalHandsTheMappingToTheCaller) {
  const std::unique_ptr<GResourceMappingList> list = Mappings();
  const std::unique_ptr<GResourceMapping> removed(list->RemoveByOsId(5));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->DeviceId(), 11);
  EXPECT_EQ(removed->ReferenceCount(), -1);
  const GObjectRef shared(list->FindByResourceId(1001));
  const std::unique_ptr<GResourceMapping> copy(list->RemoveByResourceId(1001));
  EXPECT_NE(copy.get(), shared.Get());
  EXPECT_TRUE(copy->SameContent(*shared));
  EXPECT_EQ(list->RemoveByDeviceId(10), nullptr);
  EXPECT_EQ(list->EntryCount(), 1u);
  const std::unique_ptr<GResourceMapping> last(list->RemoveByDeviceId(12));
  EXPECT_EQ(list->EntryCount(), 0u);
}

TEST(ResourceMappingTest, CopiesKeepTheirMappings) {
  const std::unique_ptr<GResourceMappingList> list = Mappings();
  const std::unique_ptr<MPersistentObject> deep(list->DeepCopy());
  ASSERT_NE(deep, nullptr);
  EXPECT_EQ(deep->ClassID(), kGResourceMappingListClassID);
  EXPECT_TRUE(deep->SameContent(*list));
  EXPECT_NE(static_cast<GResourceMappingList&>(*deep).FindByOsId(1), list->FindByOsId(1));
  const std::unique_ptr<MPersistentObject> clone(list->CloneObject());
  EXPECT_EQ(static_cast<GResourceMappingList&>(*clone).FindByOsId(1), list->FindByOsId(1));
}

TEST(ResourceMappingTest, MappingsAndListsRoundTrip) {
  const GResourceMapping unset;
  EXPECT_EQ(unset.ResourceId(), GResourceMapping::kNoResourceId);
  EXPECT_TRUE(RoundTrips(unset));
  const GResourceMapping mapping(0x12345678, 0xFFFF, -2, 7);
  EXPECT_TRUE(RoundTrips(mapping));
  EXPECT_EQ(SaveContentsToFileBytes(mapping).substr(12), Words({1, 0x12345678, 0xFFFEFFFF}));
  EXPECT_TRUE(RoundTrips(*Mappings()));
}

}  // namespace
