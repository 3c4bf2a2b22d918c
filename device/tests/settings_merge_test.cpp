#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "device/settings/settings_codec.h"
#include "device/settings/settings_default_tree.h"
#include "device/testing/settings_fixtures.h"

using namespace settings_fixtures;

namespace {

constexpr int32_t k16Bit = 0;
constexpr int32_t k32Bit = 1;

struct MergeCase {
  const char* name;
  int32_t mode;
  std::function<MPersistentObject*()> stored;
  // The node of the tree read that the row looks at, and how deep.
  int32_t inspect;
  int depth;
  const char* expected;
};

GAttributeComposite* Watermark(std::initializer_list<MPersistentObject*> children) { return Composite(380, children); }

// Reading merges the stored tree with the defaults of the device
// description (settings_fixtures.h): each row writes a stored tree, reads
// it back, and looks at one node of the result.
// clang-format off
const MergeCase kMergeCases[] = {
    {"stored_value_with_key_and_class_of_a_default_is_kept", k32Bit,
     [] { return State(368, {Value(700, 9)}); }, 368, 1, "368[700=9]"},
    {"stored_value_whose_key_has_no_default_is_dropped", k32Bit,
     [] { return State(368, {Value(999, 4), Value(700, 9)}); }, 368, 1, "368[700=9]"},
    {"stored_leaf_of_another_class_gives_way_to_the_default", k32Bit,
     [] { return State(368, {Text(700, "nine")}); }, 368, 1, "368[700=0]"},
    {"missing_children_follow_the_stored_ones_in_default_order", k32Bit,
     [] { return State(365, {Value(600, 0)}); }, 365, 1, "365[600=0 510#1012]"},
    {"stored_order_is_kept", k32Bit,
     [] { return State(366, {Composite(378), Value(940, 0)}); }, 366, 1, "366[378{…} 940=0]"},
    {"group_366_of_the_document_settings_comes_from_the_defaults_in_16_bits", k16Bit,
     [] { return State(360, {State(366, {Value(940, 0)})}); }, 366, 1, "366[940=1 378{…}]"},
    {"group_366_of_the_document_settings_is_read_in_32_bits", k32Bit,
     [] { return State(360, {State(366, {Value(940, 0)})}); }, 366, 1, "366[940=0 378{…}]"},
    {"group_283_of_the_document_settings_comes_from_the_defaults_in_16_bits", k16Bit,
     [] { return State(360, {State(283, {Value(800, 5)})}); }, 283, 1, "283[800=0]"},
    {"group_366_alone_is_read_in_16_bits", k16Bit,
     [] { return State(366, {Value(940, 0)}); }, 366, 1, "366[940=0 378{…}]"},
    {"custom_size_name_is_taken_anywhere", k32Bit,
     [] { return State(368, {Text(0x40000018, "Card"), Value(700, 1)}); }, 368, 1,
     "368[0x40000018=\"Card\" 700=1]"},
    {"custom_size_name_has_no_key_of_its_own_in_16_bits", k16Bit,
     [] { return State(368, {Text(0x40000018, "Card"), Value(700, 1)}); }, 368, 1, "368[700=1]"},
    {"user_source_names_take_texts", k32Bit,
     [] { return Composite(701, {Text(0, "Tray 9"), Value(0, 3), Text(0, "Tray 10")}); }, 701, 1,
     "701{0=\"Tray 9\" 0=\"Tray 10\"}"},
    {"bin_names_take_texts", k16Bit,
     [] { return Composite(314, {Text(0, "Stacker")}); }, 314, 1, "314{0=\"Stacker\"}"},
    {"extension_list_takes_nothing_stored", k32Bit,
     [] { return Composite(63, {Text(0, "other.dll")}); }, 63, 1, "63{0=\"ext.dll\"}"},
    {"imported_settings_take_anything", k32Bit,
     [] { return Composite(1101, {Value(5, 1), Text(6, "x"), Value(1101, 2)}); }, 1101, 1,
     "1101{5=1 6=\"x\" 1101=2}"},
    {"enumeration_takes_choices_of_the_default_class", k16Bit,
     [] { return With(new GEnumAttribute(250), {Value(0, 5)}); }, 250, 1, "250<0=5>"},
    {"watermark_pool_gets_no_template", k32Bit,
     [] { return State(366, {Value(940, 1), Composite(378)}); }, 378, 1, "378{}"},
    {"stored_watermark_takes_the_template_for_what_it_lacks", k32Bit,
     [] { return State(366, {Value(940, 1), Composite(378, {Watermark({Text(384, "Logo"), Value(390, 45)})})}); },
     378, 2,
     "378{380{384=\"Logo\" 390=45 385=\"\" 386=\"Arial\" 387=0 388=0 389=0 392=0 393=0 394=0 396=0 397=0 403=0 "
     "398=0 399=0 400=0 1112=0}}"},
    {"custom_size_pool_gets_no_template", k32Bit,
     [] { return State(360, {Composite(276)}); }, 276, 1, "276{}"},
    {"stored_custom_size_is_taken_by_the_template", k32Bit,
     [] { return State(360, {Composite(276, {new GCustomMediaSize(0x4001, "Card", 1, 100, 150, 0x40000019)})}); },
     276, 1, "276{0x40000019#775}"},
    {"quick_set_takes_its_template_from_the_device_description", k32Bit,
     [] { return Composite(0x4000005C, {Composite(0, {Value(260, 9), Text(376, "Mine"), Value(777, 1)})}); },
     0x4000005C, 2, "0x4000005C{0{260=9 376=\"Mine\" 285=1 263=\"A4\" 1124=0}}"},
    {"empty_quick_set_pool_gets_the_template_set", k32Bit,
     [] { return Composite(0x4000005C); }, 0x4000005C, 2, "0x4000005C{0{260=1 285=1 263=\"A4\" 376=\"\" 1124=0}}"},
};
// clang-format on

TEST(SettingsMerge, StoredTreesAreMergedWithTheDefaults) {
  ConfiguredDriver driver(SettingsConfiguration());
  for (const MergeCase& c : kMergeCases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<MPersistentObject> stored(c.stored());
    GSettingsCodec codec;
    const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, WriteCompact(*stored, c.mode), c.mode);
    ASSERT_NE(read, nullptr);
    MPersistentObject* node = read->Key() == c.inspect ? read.get() : read->FindByKey(c.inspect);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Dump(*node, c.depth), c.expected);
  }
}

// The document settings as the template gives them come back whole. In
// the 16-bit encoding the groups kept in the printer data and the one kept
// out of the DEVMODE are the defaults', added after what was read.
TEST(SettingsMerge, DocumentSettingsComeBackWithTheirGroups) {
  struct Case {
    const char* name;
    int32_t mode;
    const char* settings;
    const char* installedOptions;
  };
  const Case cases[] = {
      {"16_bit", k16Bit,
       "360[261=7 262=-1 263=\"A4\" 264#762 265#787 266#792 267#797 268#1201 269#775 250<…> 276{…} 701{…} "
       "314{…} 63{…} 365[…] 366[…] 368[…] 283[…]]",
       "365[510#1012 600=1]"},
      {"32_bit", k32Bit,
       "360[261=7 262=-1 263=\"A4\" 264#762 265#787 266#792 267#797 268#1201 269#775 250<…> 276{…} 365[…] "
       "366[…] 368[…] 283[…] 701{…} 314{…} 63{…}]",
       "365[510#1012 600=0]"},
  };
  ConfiguredDriver driver(SettingsConfiguration());
  const std::unique_ptr<MPersistentObject> settings = DocumentSettings();
  static_cast<GValueAttribute*>(settings->FindByKey(600))->SetValue(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GSettingsCodec codec;
    const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, WriteCompact(*settings, c.mode), c.mode);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Dump(*read), c.settings);
    EXPECT_EQ(Dump(*read->FindByKey(365)), c.installedOptions);
  }
}

// A codec keeps the defaults of the description it first read with; a
// codec made for another description keeps only what that one knows.
TEST(SettingsMerge, DefaultsComeFromTheFirstReadOfEachCodec) {
  ConfiguredDriver first(SettingsConfiguration());
  auto other = std::make_unique<GConfiguration>(0);
  other->AddChild(State(359, {State(365, {Text(600, "six hundred"), Value(601, 3)})}));
  ConfiguredDriver second(std::move(other));
  const std::string bytes = WriteCompact(*PhySetting(), k32Bit);

  GSettingsCodec codec;
  ASSERT_NE(ReadCompact(codec, first, bytes, k32Bit), nullptr);
  const std::unique_ptr<MPersistentObject> again = ReadCompact(codec, second, bytes, k32Bit);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Dump(*again), "365[510#1012 600=0]");

  GSettingsCodec fresh;
  const std::unique_ptr<MPersistentObject> other_read = ReadCompact(fresh, second, bytes, k32Bit);
  ASSERT_NE(other_read, nullptr);
  EXPECT_EQ(Dump(*other_read), "365[600=\"six hundred\" 601=3]");
}

// What the default tree holds when the device description lacks a part.
TEST(SettingsDefaultTree, PartsTheDescriptionLacksAreLeftOut) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<GConfiguration>()> configuration;
    const char* root;
    const char* quickSets;
  };
  const Case cases[] = {
      {"whole_description", [] { return SettingsConfiguration(); }, "0{360[…] 1101{…} 0x4000005C{…}}",
       "0x4000005C{0{260=1 285=1 263=\"A4\" 376=\"\" 1124=0}}"},
      {"no_quick_set_list",
       [] {
         auto configuration = std::make_unique<GConfiguration>(0);
         configuration->AddChild(State(359, {Value(261, 7)}));
         return configuration;
       },
       "0{360[…] 1101{…} 0x4000005C{…}}", "0x4000005C{0{376=\"\" 1124=0}}"},
      {"no_description", [] { return std::unique_ptr<GConfiguration>(); }, "0{1101{…} 0x4000005C{…}}",
       "0x4000005C{0{376=\"\" 1124=0}}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfiguredDriver driver(c.configuration());
    const std::unique_ptr<GAttributeComposite> tree = BuildSettingsDefaultTree(driver);
    EXPECT_EQ(Dump(*tree), c.root);
    EXPECT_EQ(Dump(*tree->FindByKey(0x4000005C), 2), c.quickSets);
  }
  ConfiguredDriver driver(SettingsConfiguration());
  const std::unique_ptr<GAttributeComposite> tree = BuildSettingsDefaultTree(driver);
  EXPECT_EQ(Dump(*tree->FindByKey(378), 2),
            "378{380{384=\"\" 385=\"\" 386=\"Arial\" 387=0 388=0 389=0 390=20 392=0 393=0 394=0 396=0 397=0 403=0 "
            "398=0 399=0 400=0 1112=0}}");
  EXPECT_EQ(Dump(*tree->FindByKey(276)), "276{0x40000019#775}");
}

}  // namespace
