// Tests of the request descriptor: equality and order by name, and its
// stored form.
#include "device/query/pml_descriptor.h"

#include <gtest/gtest.h>

#include <string>

#include "model/testing/round_trip.h"

namespace {

RWWString Wide(const char* text) { return RWWString::FromMultibyte(text); }

TEST(PMLDescriptor, EqualByKeyAndNameAndOrderedByName) {
  const GPMLDescriptor memory(Wide("hrMemorySize"), 1, "\x06\x01");
  GPMLDescriptor sameName(Wide("hrMemorySize"), 7, "other");
  EXPECT_TRUE(memory.SameContent(sameName));
  sameName.SetKey(2);
  EXPECT_FALSE(memory.SameContent(sameName));
  const GPMLDescriptor tray(Wide("prtInputName"), 1);
  EXPECT_FALSE(memory.SameContent(tray));
  EXPECT_TRUE(memory.LessThan(tray));
  EXPECT_FALSE(tray.LessThan(memory));
  EXPECT_FALSE(memory.LessThan(memory));
  EXPECT_TRUE(GPMLDescriptor(Wide("hr"), 0).LessThan(memory));
}

TEST(PMLDescriptor, StoresNameValueAndData) {
  GPMLDescriptor descriptor;
  descriptor.SetNameAndValue(Wide("Ab"), -2);
  descriptor.SetData(RWCString("\x01\x00\x02", 3));
  const std::string bytes = SaveContentsToFileBytes(descriptor);
  EXPECT_EQ(bytes, Words({1, 0, descriptor.SerialNumber(), 1, 2}) + std::string("A\0b\0", 4) + Words({0xFFFFFFFE, 3}) +
                       std::string("\x01\x00\x02", 3));
  EXPECT_EQ(descriptor.StoredSize(), bytes.size());
  EXPECT_TRUE(RoundTrips(descriptor));
}

TEST(PMLDescriptor, OtherVersionsRestoreNothing) {
  const std::string stored = SaveContentsToFileBytes(GPMLDescriptor(Wide("x"), 5, "d"));
  const std::string otherVersion = stored.substr(0, 12) + Words({2}) + stored.substr(16);
  GPMLDescriptor descriptor;
  RestoreContentsFromFileBytes(descriptor, otherVersion);
  EXPECT_EQ(descriptor.GetName().Length(), 0u);
  EXPECT_EQ(descriptor.GetData().Length(), 0u);
  EXPECT_EQ(descriptor.GetValue(), 0);
}

}  // namespace
