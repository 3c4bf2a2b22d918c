// Tests of the colour-control attributes and of the readers of the colour
// settings.
#include "device/colour/tintwise_attribute.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "device/colour/colour_settings.h"
#include "device/tests/object_bytes.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"

namespace {

// What a getter gives: the byte, or nothing when it answers false. The
// byte starts at 0xEE so that a getter that leaves it shows it.
template <typename Getter>
std::optional<uint8_t> Read(Getter getter) {
  uint8_t byte = 0xEE;
  if (!getter(byte)) return std::nullopt;
  return byte;
}

TEST(TintwiseAttribute, ConstructedRowsAndTheirReadsByIndexAndRow) {
  struct Case {
    const char* name;
    int32_t index;
    int32_t row;
    std::optional<uint8_t> other;
    std::optional<uint8_t> key227;
  };
  // clang-format off
  const Case cases[] = {
      {"row0_first", 0, 0, 15, 16},
      {"row0_second", 1, 0, 21, 22},
      {"row0_third", 2, 0, 31, 32},
      {"row1_first", 0, 1, 40, 40},
      {"row1_third", 2, 1, 62, 62},
      {"row2_reads_nothing", 1, 2, 0xEE, 0xEE},
      {"index_3", 3, 0, std::nullopt, std::nullopt},
      {"negative_index", -1, 0, std::nullopt, std::nullopt},
      {"row_3", 0, 3, std::nullopt, std::nullopt},
  };
  // clang-format on
  const GTintwiseAttribute other(295);
  const GTintwiseAttribute alternate(227);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read([&](uint8_t& b) { return other.GetSettingByte(c.index, c.row, b); }), c.other);
    EXPECT_EQ(Read([&](uint8_t& b) { return alternate.GetSettingByte(c.index, c.row, b); }), c.key227);
  }
  GTintwiseAttribute set(295);
  EXPECT_TRUE(set.SetSettingByte(2, 1, 7));
  EXPECT_TRUE(set.SetSettingByte(2, 2, 9));
  EXPECT_FALSE(set.SetSettingByte(3, 1, 9));
  EXPECT_EQ(Read([&](uint8_t& b) { return set.GetSettingByte(2, 1, b); }), 7);
  EXPECT_EQ(Read([&](uint8_t& b) { return GTintwiseAttribute().GetSettingByte(0, 0, b); }), 0);
}

TEST(TintwiseAttribute, TheExtensionsReadTheirSettingsByIndexAndKind) {
  struct Case {
    const char* name;
    int32_t index;
    int32_t kind;
    std::optional<uint8_t> enhanced;
    std::optional<uint8_t> ver2;
  };
  // clang-format off
  const Case cases[] = {
      {"kind0_index0", 0, 0, 70, 70},
      {"kind0_index2", 2, 0, 91, 91},
      {"kind1_index1", 1, 1, 51, 51},
      {"kind2_is_a_single_byte", 3, 2, 95, 95},
      {"kind3", 0, 3, 98, 100},
      {"kind3_index2", 2, 3, 98, 106},
      {"index3_never_set_reads_0", 3, 0, 0, 0},
      {"x2_index3", 3, 3, 98, 0},
      {"kind4_touches_nothing", 0, 4, 0xEE, 0xEE},
      {"kind5", 0, 5, std::nullopt, std::nullopt},
      {"index4", 4, 0, std::nullopt, std::nullopt},
      {"negative_kind", 0, -1, std::nullopt, std::nullopt},
  };
  // clang-format on
  const GTintwiseEnhancedAttribute enhanced(295);
  const GTintwiseEnhancedAttributeVer2 ver2(295);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read([&](uint8_t& b) { return enhanced.GetSetting(c.index, c.kind, b); }), c.enhanced);
    EXPECT_EQ(Read([&](uint8_t& b) { return ver2.GetSetting(c.index, c.kind, b); }), c.ver2);
  }
  // The base rows come from the key, as the base's constructor sets them.
  EXPECT_EQ(Read([&](uint8_t& b) { return GTintwiseEnhancedAttribute(227).GetSettingByte(0, 0, b); }), 16);
}

TEST(TintwiseAttribute, ValueConstructorsTakeTheBytesInStoredOrder) {
  const GTintwiseEnhancedAttribute enhanced(295, 1, 2, 3, 4, 5, 6, 7, 8);
  const GTintwiseEnhancedAttributeVer2 ver2(295, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
  struct Case {
    int32_t index;
    int32_t kind;
    uint8_t enhanced;
    uint8_t ver2;
  };
  const Case cases[] = {{0, 0, 1, 1}, {0, 1, 2, 2},  {1, 0, 3, 4}, {1, 1, 4, 5}, {2, 0, 5, 7},
                        {2, 1, 6, 8}, {0, 2, 7, 10}, {0, 3, 8, 3}, {1, 3, 8, 6}, {2, 3, 8, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + "," + std::to_string(c.kind));
    EXPECT_EQ(Read([&](uint8_t& b) { return enhanced.GetSetting(c.index, c.kind, b); }), c.enhanced);
    EXPECT_EQ(Read([&](uint8_t& b) { return ver2.GetSetting(c.index, c.kind, b); }), c.ver2);
  }
  const GTintwiseAttribute base(295, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(Read([&](uint8_t& b) { return base.GetSettingByte(1, 0, b); }), 3);
  EXPECT_EQ(Read([&](uint8_t& b) { return base.GetSettingByte(1, 1, b); }), 4);
}

TEST(TintwiseAttribute, StoredFormsHoldEachClassesOwnBytesAsWords) {
  GTintwiseAttribute base(295, 1, 2, 3, 4, 5, 0xFF);
  GTintwiseEnhancedAttribute enhanced(295, 1, 2, 3, 4, 5, 6, 7, 8);
  GTintwiseEnhancedAttributeVer2 ver2(295, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
  // Index 3 is neither stored nor compared.
  enhanced.SetSetting(3, 0, 50);
  ver2.SetSetting(3, 3, 60);
  struct Case {
    const char* name;
    GTintwiseAttribute* attribute;
    std::string own;
  };
  const Case cases[] = {
      {"base", &base, Words({1}) + Shorts({1, 2, 3, 4, 5, 0xFF})},
      {"enhanced", &enhanced, Words({1}) + Shorts({1, 2, 3, 4, 5, 6, 7, 8})},
      {"ver2", &ver2, Words({1}) + Shorts({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.attribute->SetChangedFlag(0);
    const std::string bytes = SaveContentsToFileBytes(*c.attribute);
    const std::string attributePart = AttributePart(295, c.attribute->SerialNumber(), 0);
    EXPECT_EQ(bytes, attributePart + c.own);
    EXPECT_EQ(c.attribute->StoredSize(), attributePart.size() + c.own.size());
    EXPECT_TRUE(RoundTrips(*c.attribute));
  }
  EXPECT_EQ(ver2.StoredSize() - AttributePart(0, 0, 0).size(), 24u);

  // A restored extension keeps the base rows it had; another stored version
  // keeps every byte.
  GTintwiseEnhancedAttribute restored(227);
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, SaveContentsToFileBytes(enhanced)), 20u + 20u);
  EXPECT_TRUE(restored.SameSettings(enhanced));
  EXPECT_EQ(Read([&](uint8_t& b) { return restored.GetSettingByte(0, 0, b); }), 16);
  std::string newer = SaveContentsToFileBytes(ver2);
  newer[20] = 2;
  GTintwiseEnhancedAttributeVer2 kept(295);
  EXPECT_EQ(RestoreContentsFromFileBytes(kept, newer), 24u);
  EXPECT_TRUE(kept.SameSettings(GTintwiseEnhancedAttributeVer2(295)));
}

TEST(TintwiseAttribute, EqualityCopiesAndKindsOfTheThreeClasses) {
  GTintwiseEnhancedAttribute enhanced(295);
  enhanced.SetSetting(3, 1, 44);
  enhanced.SetSettingByte(0, 0, 1);
  const std::unique_ptr<GTintwiseEnhancedAttribute> clone(static_cast<GTintwiseEnhancedAttribute*>(enhanced.Clone()));
  EXPECT_EQ(Read([&](uint8_t& b) { return clone->GetSetting(3, 1, b); }), 0);
  EXPECT_EQ(Read([&](uint8_t& b) { return clone->GetSettingByte(0, 0, b); }), 1);
  EXPECT_TRUE(clone->SameContent(enhanced));
  // Neither the base rows nor index 3 are compared by an extension.
  EXPECT_TRUE(GTintwiseEnhancedAttribute(227).SameContent(GTintwiseEnhancedAttribute(227)));
  EXPECT_TRUE(GTintwiseEnhancedAttribute(295).SameSettings(GTintwiseEnhancedAttribute(227)));
  EXPECT_FALSE(GTintwiseEnhancedAttribute(295).SameContent(GTintwiseEnhancedAttribute(227)));
  EXPECT_FALSE(GTintwiseAttribute(295).SameSettings(GTintwiseAttribute(227)));
  EXPECT_FALSE(enhanced.SameSettings(GTintwiseEnhancedAttributeVer2(295)));
  EXPECT_FALSE(GTintwiseAttribute(295).SameSettings(enhanced));

  GTintwiseEnhancedAttributeVer2 target(295, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  target.CopySettings(enhanced);
  EXPECT_FALSE(target.SameSettings(GTintwiseEnhancedAttributeVer2(295)));
  target.CopySettings(GTintwiseEnhancedAttributeVer2(1));
  EXPECT_TRUE(target.SameSettings(GTintwiseEnhancedAttributeVer2(295)));
  EXPECT_EQ(target.Key(), 295);

  EXPECT_TRUE(enhanced.IsKindOf(kGTintwiseEnhancedAttributeClassID));
  EXPECT_TRUE(enhanced.IsKindOf(kGAttributeClassID));
  EXPECT_FALSE(enhanced.IsKindOf(kGTintwiseAttributeClassID));
  EXPECT_FALSE(GTintwiseEnhancedAttributeVer2().IsKindOf(kGTintwiseAttributeClassID));
}

// Settings holding the colour-control attribute below a group, as a job's
// state does.
std::unique_ptr<GState> SettingsWith(GAttribute* control) {
  auto settings = std::make_unique<GState>(360);
  auto* group = new GState(362);
  group->AddChild(new GValueAttribute(1, 294));
  if (control != nullptr) group->AddChild(control);
  settings->AddChild(group);
  return settings;
}

TEST(ColourSettings, EachReaderTakesItsPlaceThroughTheClassItReads) {
  const auto base = SettingsWith(new GTintwiseAttribute(295, 1, 2, 3, 4, 5, 6));
  const auto enhanced = SettingsWith(new GTintwiseEnhancedAttribute(295, 11, 12, 13, 14, 15, 16, 17, 18));
  const auto ver2 = SettingsWith(new GTintwiseEnhancedAttributeVer2(295, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30));
  const auto none = SettingsWith(nullptr);
  constexpr uint16_t kNo = kNoColorSetting;
  struct Case {
    const char* name;
    uint16_t (*read)(MPersistentObject&);
    uint16_t base, enhanced, ver2;
  };
  // clang-format off
  const Case cases[] = {
      // The extensions answer the base rows that key 295 gave them.
      {"A1", GetColorSettingA1, 1, 15, 15},
      {"A3", GetColorSettingA3, 5, 31, 31},
      {"A4", GetColorSettingA4, 2, 40, 40},
      {"A6", GetColorSettingA6, 6, 62, 62},
      {"B1_enhanced", [](MPersistentObject& s) { return GetColorSettingB1(s, 0x103); }, kNo, 12, kNo},
      {"B1_ver2", [](MPersistentObject& s) { return GetColorSettingB1(s, 4); }, kNo, kNo, 22},
      {"B3_enhanced", [](MPersistentObject& s) { return GetColorSettingB3(s, 3); }, kNo, 16, kNo},
      {"B4_ver2", [](MPersistentObject& s) { return GetColorSettingB4(s, 0); }, kNo, kNo, 21},
      {"B6_ver2", [](MPersistentObject& s) { return GetColorSettingB6(s, 0); }, kNo, kNo, 27},
      {"B7_enhanced", [](MPersistentObject& s) { return GetColorSettingB7(s, 3); }, kNo, 17, kNo},
      {"B7_ver2", [](MPersistentObject& s) { return GetColorSettingB7(s, 1); }, kNo, kNo, 30},
      {"B8", GetColorSettingB8, kNo, 18, kNo},
      {"C1", GetColorSettingC1, kNo, kNo, 23},
      {"C3", GetColorSettingC3, kNo, kNo, 29},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.read(*base), c.base);
    EXPECT_EQ(c.read(*enhanced), c.enhanced);
    EXPECT_EQ(c.read(*ver2), c.ver2);
    EXPECT_EQ(c.read(*none), kNo);
  }
  // Places without a byte read 0; places out of range answer no setting.
  EXPECT_EQ(GetColorSettingByte(0, 2, *base), 0);
  EXPECT_EQ(GetColorSettingByte(3, 0, *base), kNo);
  EXPECT_EQ(GetTintwiseSetting(0, 4, *enhanced), 0);
  EXPECT_EQ(GetTintwiseSettingVer2(0, 5, *ver2), kNo);
  // Another attribute under the key is no colour-control attribute.
  EXPECT_EQ(GetColorSettingA1(*SettingsWith(new GValueAttribute(3, 295))), kNo);
}

// A device table: setting values to device codes, or to texts.
MAssociationList* Table(int32_t key, std::initializer_list<std::pair<int16_t, MPersistentObject*>> rows) {
  auto* table = new MAssociationList(key);
  for (const auto& [setting, value] : rows) {
    table->Put(new MPersistentAssociation(new GValueAttribute(setting, 0), value, 0));
  }
  return table;
}

TEST(ColourSettings, DeviceTablesMapSettingValuesToCodesAndTexts) {
  MPersistentComposite configuration(198);
  configuration.AddChild(Table(533, {{40, new GValueAttribute(3, 0)}, {41, new GStringAttribute("text", 0)}}));
  configuration.AddChild(Table(552, {{98, new GValueAttribute(-7, 0)}}));
  EXPECT_EQ(GetTableValue(533, configuration, 40), 3);
  EXPECT_EQ(GetHalftoneTableValue(configuration, 40), 3);
  EXPECT_EQ(GetSRGBColorTableValue(configuration, 98), -7);
  EXPECT_EQ(GetSRGBExtensionTableValue(configuration, 98), -7);
  EXPECT_EQ(GetTableValue(533, configuration, 41), 0);
  EXPECT_EQ(GetTableValue(533, configuration, 42), 0);
  EXPECT_EQ(GetColorMapTableValue(configuration, 40), 0);
  EXPECT_EQ(GetTableText(533, configuration, 41), RWCString("text"));
  EXPECT_EQ(GetTableText(533, configuration, 40).Length(), 0u);
  EXPECT_EQ(GetTableText(537, configuration, 41).Length(), 0u);
}

}  // namespace
