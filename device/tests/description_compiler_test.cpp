#include "device/tools/description_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/testing/test_peripheral_composite.h"
#include "device/tools/description_printer.h"
#include "foundation/persistence.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/configuration.h"
#include "model/attributes/resource_mapping.h"
#include "model/objects/model_stream.h"

namespace {

// A description that uses every kind of child a class can take, written in
// the printer's canonical form.
constexpr const char kCanonical[] =
    "GAttributeComposite 0\n"
    "  TestPeripheralComposite 353 name=\"Root \\\"one\\\" \\\\ \\x01\\xe9\"\n"
    "    GConfiguration 198\n"
    "      GRangeAttribute 202 min=0 max=64 step=2 value=48\n"
    "      GMediaPool 189 current=1\n"
    "        GMedia 190 id=9 name=\"A4\" paper=4960x7016 origin=100x100 printable=4760x6816 resolution=600x600 "
    "orientation=0 type=\"Plain\" text=\"\" extra=0\n"
    "        GMedia 190 id=1 name=\"Letter\" paper=6600x5100 origin=100x100 printable=6400x4900 resolution=600x1200 "
    "orientation=90 type=\"\" text=\"first\" extra=7\n"
    "      GPaperHandlingDevice 0 name=\"In\" kind=0 optional=1 installed=0 detection=2 selects=1 default=3\n"
    "        GAttributeComposite 1\n"
    "          GTray 0 name=\"Tray 1\" id=1 capacity=100 level=-1 first=100 second=0\n"
    "        GAttributeComposite 3\n"
    "          GTray 0 name=\"Tray 2\" id=2 capacity=250 level=20 first=0 second=-5\n"
    "            GMedia 190 id=9 name=\"A4\" paper=4960x7016 origin=0x0 printable=4960x7016 resolution=600x600 "
    "orientation=0 type=\"\" text=\"\" extra=0\n"
    "          GBin 0 name=\"Bin\" id=1 capacity=-1 level=-1 first=0 second=0 order=1 last=2\n"
    "      MAssociationList 85\n"
    "        MPersistentAssociation 2\n"
    "          GValueAttribute 0 value=2\n"
    "          GSelectionString 0 text=\"UPPER\" value=-3\n"
    "      GValueAttribute 940 value=-32768\n"
    "      GStringAttribute 401 text=\"\"\n"
    "      GDeviceFontListComposite 414\n"
    "    TestPeripheralComposite 76 name=\"\"\n"
    "      GConfiguration 198\n"
    "  GResourceMappingList 191\n"
    "    GResourceMapping 0 os=65535 device=-1 resource=4294967295\n"
    "    GResourceMapping 0 os=9 device=9 resource=10009\n";

std::string Printed(MPersistentObject& root) {
  std::string text;
  EXPECT_EQ(PrintDescription(root, text), "");
  return text;
}

TEST(DescriptionCompilerTest, ThePrinterWritesBackWhatTheCompilerRead) {
  const CompiledDescription compiled = CompileDescription(kCanonical);
  ASSERT_FALSE(compiled.error) << compiled.error->line << ": " << compiled.error->message;
  EXPECT_EQ(Printed(*compiled.root), kCanonical);
}

// What the driver server reads is the graph that the compiler built: stored
// in the binary form and read back, it prints the same.
TEST(DescriptionCompilerTest, TheStoredGraphReadsBackTheSame) {
  const CompiledDescription compiled = CompileDescription(kCanonical);
  ASSERT_TRUE(compiled.root);
  std::vector<uint8_t> buffer(1 << 16);
  uint32_t length = 0;
  {
    GOutputStream out(buffer.data(), static_cast<uint32_t>(buffer.size()), kBinaryStreamFormat);
    WriteObjectToStream(compiled.root.get(), *out.Stream());
    out.Stream()->Flush();
    ASSERT_TRUE(out.Stream()->IsGood());
    length = out.Position();
  }
  GInputStream in(buffer.data(), length, kBinaryStreamFormat);
  MPersistentObject* read = nullptr;
  ReadObjectFromStream(*in.Stream(), read);
  const std::unique_ptr<MPersistentObject> restored(read);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->ClassID(), kGAttributeCompositeClassID);
  EXPECT_EQ(Printed(*restored), kCanonical);
}

// Comments, blank lines, properties left at their defaults and in any order.
TEST(DescriptionCompilerTest, ASourceMayLeaveOutWhatIsDefault) {
  const CompiledDescription compiled = CompileDescription(
      "# the root\n"
      "GAttributeComposite 0   # a comment after the object\n"
      "\n"
      "  GTray 5 id=0x2 name=\"# not a comment\"\r\n"
      "    # a comment deeper\n"
      "    GMedia 190 resolution=300x300 name=\"Env\"\n");
  ASSERT_FALSE(compiled.error) << compiled.error->line << ": " << compiled.error->message;
  EXPECT_EQ(Printed(*compiled.root),
            "GAttributeComposite 0\n"
            "  GTray 5 name=\"# not a comment\" id=2 capacity=-1 level=-1 first=0 second=0\n"
            "    GMedia 190 id=0 name=\"Env\" paper=0x0 origin=0x0 printable=0x0 resolution=300x300 orientation=0 "
            "type=\"\" text=\"\" extra=0\n");
}

TEST(DescriptionCompilerTest, TheTreeInterfaceReachesAStagesChildren) {
  const CompiledDescription compiled = CompileDescription(kCanonical);
  ASSERT_TRUE(compiled.root);
  auto* root = dynamic_cast<TestPeripheralComposite*>(compiled.root->FindByKey(353));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->EntryCount(), 1u);
  EXPECT_EQ(root->FindByKey(76), root->Children()[0].Get());
  EXPECT_EQ(root->FindKindOf(TestPeripheralComposite::kID), root->Children()[0].Get());
  ASSERT_NE(root->GetConfiguration(), nullptr);
  auto* device = dynamic_cast<GPaperHandlingDevice*>(root->GetConfiguration()->FindByKey(0));
  ASSERT_NE(device, nullptr);
  ASSERT_NE(device->GetEntry(3), nullptr);
  EXPECT_EQ(device->GetEntry(3)->EntryCount(), 2u);
}

struct MalformedCase {
  const char* name;
  const char* source;
  int32_t line;
  const char* message;
};

constexpr MalformedCase kMalformedCases[] = {
    {"empty", "# nothing\n\n", 1, "no object"},
    {"odd_indentation", "GAttributeComposite 0\n   GValueAttribute 1\n", 2, "two per level"},
    {"tab_indentation", "GAttributeComposite 0\n\tGValueAttribute 1\n", 2, "spaces"},
    {"indented_first", "  GAttributeComposite 0\n", 1, "not indented"},
    {"second_top", "GAttributeComposite 0\nGAttributeComposite 1\n", 2, "second object at the top"},
    {"two_levels_deeper", "GAttributeComposite 0\n    GValueAttribute 1\n", 2, "deeper"},
    {"unknown_class", "GAttributeComposite 0\n  GNoSuchClass 1\n", 2, "unknown class \"GNoSuchClass\""},
    {"missing_key", "GAttributeComposite\n", 1, "key"},
    {"key_beyond_32_bits", "GAttributeComposite 4294967296\n", 1, "key"},
    {"unknown_property", "GAttributeComposite 0\n  GValueAttribute 1 colour=2\n", 2, "no property \"colour\""},
    {"no_equals", "GAttributeComposite 0\n  GValueAttribute 1 value\n", 2, "name=value"},
    {"property_twice", "GAttributeComposite 0\n  GValueAttribute 1 value=1 value=2\n", 2, "twice"},
    {"number_not_a_number", "GAttributeComposite 0\n  GValueAttribute 1 value=12a\n", 2, "a number"},
    {"number_out_of_range", "GAttributeComposite 0\n  GValueAttribute 1 value=32768\n", 2, "-32768 to 32767"},
    {"pair_part_out_of_range", "GAttributeComposite 0\n  GMedia 1 paper=-1x5\n", 2, "outside"},
    {"pair_without_x", "GAttributeComposite 0\n  GMedia 1 paper=100\n", 2, "AxB"},
    {"text_unquoted", "GAttributeComposite 0\n  GStringAttribute 1 text=abc\n", 2, "double quotes"},
    {"text_open", "GAttributeComposite 0\n  GStringAttribute 1 text=\"abc\n", 2, "does not close"},
    {"text_bad_escape", "GAttributeComposite 0\n  GStringAttribute 1 text=\"a\\n\"\n", 2, "escape"},
    {"text_short_hex", "GAttributeComposite 0\n  GStringAttribute 1 text=\"a\\x4\"\n", 2, "escape"},
    {"child_of_a_leaf", "GAttributeComposite 0\n  GValueAttribute 1\n    GValueAttribute 2\n", 3, "takes no children"},
    {"non_attribute_in_media_pool", "GAttributeComposite 0\n  GMediaPool 189\n    GResourceMapping 1\n", 3,
     "not taken"},
    {"equal_configuration_children",
     "GAttributeComposite 0\n  GConfiguration 198\n    GValueAttribute 1 value=1\n    GValueAttribute 1 value=1\n", 4,
     "not taken"},
    {"second_stage_configuration",
     "GAttributeComposite 0\n  TestPeripheralComposite 1\n    GConfiguration 198\n    GConfiguration 198\n", 4,
     "second configuration"},
    {"mapping_list_other_child", "GAttributeComposite 0\n  GResourceMappingList 191\n    GValueAttribute 1\n", 3,
     "only GResourceMapping"},
    {"device_id_mapped_twice",
     "GAttributeComposite 0\n  GResourceMappingList 191\n    GResourceMapping 0 os=1 device=1\n"
     "    GResourceMapping 0 os=2 device=1\n",
     4, "mapped before"},
    {"configuration_id_zero", "GAttributeComposite 0\n  GPaperHandlingDevice 0\n    GAttributeComposite 0\n", 3,
     "1 to 65535"},
    {"configuration_id_twice",
     "GAttributeComposite 0\n  GPaperHandlingDevice 0\n    GAttributeComposite 4\n    GAttributeComposite 4\n", 4,
     "second configuration"},
    {"configuration_not_an_attribute", "GAttributeComposite 0\n  GPaperHandlingDevice 0\n    GConfiguration 4\n", 3,
     "attribute"},
    {"tray_two_media", "GAttributeComposite 0\n  GTray 0\n    GMedia 190\n    GMedia 190 id=1\n", 4, "one medium"},
    {"tray_other_child", "GAttributeComposite 0\n  GTray 0\n    GValueAttribute 1\n", 3, "only a GMedia"},
    {"association_one_object", "GAttributeComposite 0\n  MPersistentAssociation 1\n    GValueAttribute 1\n", 2,
     "key object and a value object"},
    {"fixed_device_not_installed", "GAttributeComposite 0\n  GPaperHandlingDevice 0 optional=0 installed=0\n", 2,
     "installed=0 does not hold"},
    {"default_without_configuration", "GAttributeComposite 0\n  GPaperHandlingDevice 0 default=2\n", 2,
     "default=2 does not hold"},
    {"current_beyond_the_media", "GAttributeComposite 0\n  GMediaPool 189 current=0\n", 2, "current=0 does not hold"},
    {"range_value_outside", "GAttributeComposite 0\n  GRangeAttribute 1 min=0 max=10 value=11\n", 2,
     "value=11 does not hold"},
};

TEST(DescriptionCompilerTest, AMalformedLineStopsTheCompileWithItsNumber) {
  for (const MalformedCase& c : kMalformedCases) {
    SCOPED_TRACE(c.name);
    const CompiledDescription compiled = CompileDescription(c.source);
    EXPECT_FALSE(compiled.root);
    ASSERT_TRUE(compiled.error);
    EXPECT_EQ(compiled.error->line, c.line);
    EXPECT_NE(compiled.error->message.find(c.message), std::string::npos) << compiled.error->message;
  }
}

// A graph holding what a description cannot show is reported, not printed
// wrongly.
TEST(DescriptionCompilerTest, ThePrinterNamesWhatItCannotShow) {
  GResourceMappingList list(191);
  list.AddIfNew(new GResourceMapping(1, 2, 3, 0));
  auto* device = new GPaperHandlingDevice(RWCString("In"), 0, 0, 1, 0, 0, 0);
  device->AddEntry(2, new GAttributeComposite(5));
  GConfiguration root(198);
  root.AddChild(device);
  root.AddChild(new GResourceMappingList(1));
  std::string text;
  EXPECT_NE(PrintDescription(root, text).find("configuration 2 keyed 5"), std::string::npos);

  GConfiguration unknown(198);
  unknown.AddChild(new GConfiguration(1));
  unknown.AddChild(new MPersistentComposite(7));
  text.clear();
  EXPECT_NE(PrintDescription(unknown, text).find("key 7 has no description"), std::string::npos);
  EXPECT_EQ(text, "GConfiguration 198\n  GConfiguration 1\n");

  // A graph too deep for a description: a restore can make one.
  GConfiguration deep(0);
  GConfiguration* level = &deep;
  for (int i = 0; i < 70; ++i) {
    auto* next = new GConfiguration(i + 1);
    level->AddChild(next);
    level = next;
  }
  text.clear();
  EXPECT_NE(PrintDescription(deep, text).find("key 65 lies deeper than 64 levels"), std::string::npos);
}

}  // namespace
