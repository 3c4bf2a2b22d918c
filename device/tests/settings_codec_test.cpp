#include "device/settings/settings_codec.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/attributes/value32_attribute.h"
#include "device/testing/settings_fixtures.h"
#include "foundation/binary_stream.h"
#include "foundation/persistence.h"

using namespace settings_fixtures;
using namespace std::string_literals;

namespace {

const std::string kSignature(20, 's');

// An object graph as the binary stream form of object persistence writes
// it: the form font lists are kept in.
std::string Graph(const MPersistentObject& object) {
  std::stringbuf channel(std::ios::out | std::ios::binary);
  GBinaryOutStream stream(&channel);
  WriteObjectToStream(&object, stream);
  stream.Flush();
  return channel.str();
}

std::string LittleEndian16(uint32_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// The font-list composite (key 414) holding lists 6 and 7, in an encoding
// whose version field is the given bytes.
std::string FontListsBytes(const std::string& version, const std::string& listVersion, const std::string& key) {
  std::string entries;
  for (int32_t slot : {6, 7})
    entries += "\x0E"s + listVersion + Graph(*std::unique_ptr<GDeviceFontList>(FontList(slot)));
  return "\x0C"s + version + key + LittleEndian16(static_cast<uint32_t>(entries.size()) + 4) + entries + "\x00"s;
}

struct NodeCase {
  const char* name;
  std::function<std::unique_ptr<MPersistentObject>()> tree;
  std::string bytes16;
  std::string bytes32;
};

std::unique_ptr<MPersistentObject> Imported(std::initializer_list<MPersistentObject*> children) {
  return std::unique_ptr<MPersistentObject>(Composite(1101, children));
}

// One tree per node type, with the bytes of both encodings worked out by
// hand. The leaves sit in composite 1101, which takes any child.
const NodeCase kNodeCases[] = {
    {"values_in_the_type_byte_and_signed",
     [] {
       return Imported({Value(261, 7), Value(262, 21), Value(263, -1), Value(264, 0), Value(265, 20)});
     },
     "\x01\x01\x00\x4D\x04\x17\x00"
     "\x75\x05\x01"
     "\x03\x06\x01\x15\x00"
     "\x03\x07\x01\xFF\xFF"
     "\x6E\x08\x01"
     "\x82\x09\x01"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x21\x00"
     "\x75\x05\x01\x00\x00"
     "\x03\x06\x01\x00\x00\x15\x00"
     "\x03\x07\x01\x00\x00\xFF\xFF"
     "\x6E\x08\x01\x00\x00"
     "\x82\x09\x01\x00\x00"
     "\x00"s},
    {"strings_with_their_terminator",
     [] {
       return Imported({Text(261, "A4"), Text(262, "")});
     },
     "\x01\x01\x00\x4D\x04\x12\x00"
     "\x07\x05\x01\x03\x00"
     "A4\x00"
     "\x07\x06\x01\x01\x00\x00"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x16\x00"
     "\x07\x05\x01\x00\x00\x03\x00"
     "A4\x00"
     "\x07\x06\x01\x00\x00\x01\x00\x00"
     "\x00"s},
    {"range_maximum_first", [] { return Imported({new GRangeAttribute(1, 10, 1, 5, 264)}); },
     "\x01\x01\x00\x4D\x04\x11\x00"
     "\x05\x01\x00\x08\x01\x0A\x00\x01\x00\x01\x00\x05\x00"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x15\x00"
     "\x05\x01\x00\x00\x00\x08\x01\x00\x00\x0A\x00\x01\x00\x01\x00\x05\x00"
     "\x00"s},
    {"display_string_texts_in_stream_form",
     [] { return Imported({new GDisplayStringAttribute(265, 12, "Hi", "Mod")}); },
     "\x01\x01\x00\x4D\x04\x20\x00"
     "\x06\x01\x00\x09\x01"
     "\x02\x00\x00\x00\x02\x00\x00\x00Hi"
     "\x0C\x00"
     "\x03\x00\x00\x00\x03\x00\x00\x00Mod"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x24\x00"
     "\x06\x01\x00\x00\x00\x09\x01\x00\x00"
     "\x02\x00\x00\x00\x02\x00\x00\x00Hi"
     "\x0C\x00"
     "\x03\x00\x00\x00\x03\x00\x00\x00Mod"
     "\x00"s},
    {"custom_media_size", [] { return Imported({new GCustomMediaSize(0x4001, "Card", 1, 100, 150, 269)}); },
     "\x01\x01\x00\x4D\x04\x21\x00"
     "\x0B\x01\x00\x0D\x01"
     "\x01\x40"
     "\x04\x00\x00\x00\x04\x00\x00\x00"
     "Card"
     "\x01\x00"
     "\x64\x00\x00\x00\x96\x00\x00\x00"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x25\x00"
     "\x0B\x01\x00\x00\x00\x0D\x01\x00\x00"
     "\x01\x40"
     "\x04\x00\x00\x00\x04\x00\x00\x00"
     "Card"
     "\x01\x00"
     "\x64\x00\x00\x00\x96\x00\x00\x00"
     "\x00"s},
    {"tintwise_rows_by_index", [] { return Imported({new GTintwiseAttribute(266, 1, 2, 3, 4, 5, 6)}); },
     "\x01\x01\x00\x4D\x04\x0F\x00"
     "\x04\x01\x00\x0A\x01\x01\x02\x03\x04\x05\x06"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x13\x00"
     "\x04\x01\x00\x00\x00\x0A\x01\x00\x00\x01\x02\x03\x04\x05\x06"
     "\x00"s},
    {"tintwise_enhanced", [] { return Imported({new GTintwiseEnhancedAttribute(267, 1, 2, 3, 4, 5, 6, 7, 8)}); },
     "\x01\x01\x00\x4D\x04\x11\x00"
     "\x13\x01\x00\x0B\x01\x01\x02\x03\x04\x05\x06\x07\x08"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x15\x00"
     "\x13\x01\x00\x00\x00\x0B\x01\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08"
     "\x00"s},
    {"tintwise_enhanced_ver2",
     [] { return Imported({new GTintwiseEnhancedAttributeVer2(268, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10)}); },
     "\x01\x01\x00\x4D\x04\x13\x00"
     "\x14\x01\x00\x0C\x01\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x17\x00"
     "\x14\x01\x00\x00\x00\x0C\x01\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A"
     "\x00"s},
    {"form_to_tray_with_one_association", [] { return Imported({FormToTray(510)}); },
     "\x01\x01\x00\x4D\x04\x19\x00"
     "\x08\x01\x00\xFE\x01\x89\x2E\x00\x00"
     "\x0A\x01\x00\x00\x00\x01\x00\x89\x2E\x05\x00"
     "\x00"
     "\x00"s,
     "\x01\x01\x00\x00\x00\x4D\x04\x00\x00\x21\x00"
     "\x08\x01\x00\x00\x00\xFE\x01\x00\x00\x89\x2E\x00\x00"
     "\x0A\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x89\x2E\x05\x00"
     "\x00"
     "\x00"s},
    {"state_holding_an_empty_composite",
     [] {
       return std::unique_ptr<MPersistentObject>(State(366, {Value(940, 1), Composite(378)}));
     },
     "\x02\x01\x00\x6E\x01\x0F\x00"
     "\x6F\xAC\x03"
     "\x01\x01\x00\x7A\x01\x04\x00\x00"
     "\x00"s,
     "\x02\x01\x00\x00\x00\x6E\x01\x00\x00\x15\x00"
     "\x6F\xAC\x03\x00\x00"
     "\x01\x01\x00\x00\x00\x7A\x01\x00\x00\x04\x00\x00"
     "\x00"s},
    {"enumeration_of_keyless_choices", [] { return std::unique_ptr<MPersistentObject>(Choices(250)); },
     "\x09\x01\x00\xFA\x00\x0A\x00"
     "\x6F\x00\x00"
     "\x70\x00\x00"
     "\x00"s,
     "\x09\x01\x00\x00\x00\xFA\x00\x00\x00\x0E\x00"
     "\x6F\x00\x00\x00\x00"
     "\x70\x00\x00\x00\x00"
     "\x00"s},
    {"font_lists_as_object_graphs", FontLists, FontListsBytes("\x01\x00"s, "\x03\x00"s, "\x9E\x01"s),
     FontListsBytes("\x01\x00\x00\x00"s, "\x03\x00\x00\x00"s, "\x9E\x01\x00\x00"s)},
    {"associations_of_text_number_and_selection", Associations,
     "\x0F\x01\x00\xC1\x00\x3B\x00"
     "\x11\x01\x00\x00\x00\x01\x00\x00\x00"
     "\x05\x00\x00\x00\x05\x00\x00\x00Upper"
     "\x11\x01\x00\x00\x00\x02\x00\x01\x00\xFD\xFF"
     "\x11\x01\x00\x00\x00\x03\x00\x02\x00"
     "\x05\x00\x00\x00\x05\x00\x00\x00Lower"
     "\x00"s,
     "\x0F\x01\x00\x00\x00\xC1\x00\x00\x00\x47\x00"
     "\x11\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00"
     "\x05\x00\x00\x00\x05\x00\x00\x00Upper"
     "\x11\x01\x00\x00\x00\x00\x00\x00\x00\x02\x00\x01\x00\xFD\xFF"
     "\x11\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x02\x00"
     "\x05\x00\x00\x00\x05\x00\x00\x00Lower"
     "\x00"s},
    {"resource_mappings", Mappings,
     "\x10\x01\x00\x54\x00\x1E\x00"
     "\x12\x01\x00\x00\x00\x0F\x00\x07\x00\x34\x12\x00\x00"
     "\x12\x01\x00\x00\x00\x04\x01\xFF\xFF\x00\x00\x01\x00"
     "\x00"s,
     "\x10\x01\x00\x00\x00\x54\x00\x00\x00\x26\x00"
     "\x12\x01\x00\x00\x00\x00\x00\x00\x00\x0F\x00\x07\x00\x34\x12\x00\x00"
     "\x12\x01\x00\x00\x00\x00\x00\x00\x00\x04\x01\xFF\xFF\x00\x00\x01\x00"
     "\x00"s},
};

// Every node type is written as worked out by hand in both encodings, and
// reading those bytes gives the tree back, which writes the same bytes.
TEST(SettingsCodec, EveryNodeTypeRoundTripsByteExactInBothEncodings) {
  struct Encoding {
    const char* name;
    int32_t mode;
    std::string NodeCase::*bytes;
  };
  const Encoding encodings[] = {{"16_bit", 0, &NodeCase::bytes16}, {"32_bit", 1, &NodeCase::bytes32}};
  ConfiguredDriver driver(SettingsConfiguration());
  for (const NodeCase& c : kNodeCases) {
    for (const Encoding& e : encodings) {
      SCOPED_TRACE(std::string(c.name) + " " + e.name);
      const std::unique_ptr<MPersistentObject> tree = c.tree();
      const std::string expected = kSignature + c.*e.bytes;
      int32_t answer = 0;
      EXPECT_EQ(WriteCompact(*tree, e.mode, &answer), expected);
      EXPECT_EQ(answer, 1);

      GSettingsCodec codec;
      uint32_t end = 0;
      const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, expected, e.mode, &end);
      ASSERT_NE(read, nullptr);
      EXPECT_EQ(end, expected.size());
      EXPECT_TRUE(read->Equals(tree.get()));
      EXPECT_EQ(WriteCompact(*read, e.mode), expected);
    }
  }
}

// A colour-control attribute whose settings cannot be read.
class UnreadableTintwise : public GTintwiseAttribute {
 public:
  explicit UnreadableTintwise(int32_t key) : GTintwiseAttribute(key) {}
  bool GetSettingByte(int32_t, int32_t, uint8_t&) const override { return false; }
};

// What the format cannot hold ends the write with 0, and every node that
// was opened is still closed with its length and terminator.
TEST(SettingsCodec, WritingStopsAtWhatTheFormatCannotHold) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<MPersistentObject>()> tree;
    std::string bytes;
  };
  const Case cases[] = {
      {"class_without_a_kind_closes_every_open_node",
       [] {
         return std::unique_ptr<MPersistentObject>(
             State(366, {Value(940, 1), Composite(378, {new GValue32Attribute(5, 9)}), Value(261, 7)}));
       },
       kSignature + "\x02\x01\x00\x6E\x01\x0F\x00"
                    "\x6F\xAC\x03"
                    "\x01\x01\x00\x7A\x01\x04\x00\x00"
                    "\x00"s},
      {"colour_setting_that_cannot_be_read",
       [] {
         return Imported({Value(261, 7), new UnreadableTintwise(266), Value(262, 1)});
       },
       kSignature + "\x01\x01\x00\x4D\x04\x07\x00\x75\x05\x01\x00"s},
      {"association_keyed_by_a_text",
       [] {
         auto list = std::make_unique<MAssociationList>(193);
         list->Put(new MPersistentAssociation(Text(0, "one"), Value(0, 1), 0));
         return list;
       },
       kSignature + "\x0F\x01\x00\xC1\x00\x04\x00\x00"s},
      {"text_too_long_for_its_count", [] { return Imported({new GStringAttribute(RWCString('x', 65535), 261)}); },
       kSignature + "\x01\x01\x00\x4D\x04\x04\x00\x00"s},
      {"root_that_is_no_composite", [] { return std::unique_ptr<MPersistentObject>(Value(261, 7)); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t answer = 1;
    EXPECT_EQ(WriteCompact(*c.tree(), 0, &answer), c.bytes);
    EXPECT_EQ(answer, 0);
  }
}

TEST(SettingsCodec, OnlyModesZeroAndOneAreKnown) {
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;
  for (int32_t mode : {-1, 2}) {
    SCOPED_TRACE(mode);
    int32_t answer = 1;
    EXPECT_EQ(WriteCompact(*PhySetting(), mode, &answer), "");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(ReadCompact(codec, driver, WriteCompact(*PhySetting(), 1), mode), nullptr);
  }
}

// A stream that is not one, or whose root cannot be read, gives no tree.
TEST(SettingsCodec, ReadingGivesNoTreeWithoutASignatureAndARoot) {
  struct Case {
    const char* name;
    std::string bytes;
    uint32_t end;
  };
  const Case cases[] = {
      {"signature_stops_at_the_first_wrong_byte", "sssss"s + "t" + std::string(14, 's') + "\x01", 6},
      {"signature_cut_short", std::string(19, 's'), 19},
      {"nothing_after_the_signature", kSignature, 20},
      {"root_of_a_leaf_type", kSignature + "\x03\x01\x00\x6E\x01\x04\x00\x00"s, 27},
      {"root_whose_key_has_no_default", kSignature + "\x01\x01\x00\xE7\x03\x04\x00\x00"s, 27},
      {"list_of_another_version", kSignature + "\x0F\x02\x00\xC1\x00\x04\x00\x00"s, 27},
  };
  ConfiguredDriver driver(SettingsConfiguration());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GSettingsCodec codec;
    uint32_t end = 0;
    EXPECT_EQ(ReadCompact(codec, driver, c.bytes, 0, &end), nullptr);
    EXPECT_EQ(end, c.end);
  }
}

// A child that cannot be read ends its parent: the parent's bytes are
// skipped as far as its length says, never past the end of the input nor
// back, and the defaults fill in (16-bit encoding; the defaults of 366 are
// 940 = 1 and the watermark pool 378, which as a default carries its
// watermark template 380).
TEST(SettingsCodec, AChildThatCannotBeReadEndsItsParent) {
  struct Case {
    const char* name;
    std::string node;
    const char* expected;
    // Where reading stops, counted after the signature; -1 for the end.
    int32_t end;
  };
  // Group 366 holding 378, in which one child of the given type stands,
  // followed by 940 = 0 in 366.
  const auto nested = [](const std::string& child) {
    const std::string inner =
        "\x01\x01\x00\x7A\x01"s + LittleEndian16(static_cast<uint32_t>(child.size()) + 4) + child + "\x00"s;
    const std::string children = inner + "\x6E\xAC\x03"s;
    return "\x02\x01\x00\x6E\x01"s + LittleEndian16(static_cast<uint32_t>(children.size()) + 4) + children + "\x00"s;
  };
  const Case cases[] = {
      {"unknown_type", nested("\x63\xFF\xFF"s), "366[378{} 940=0]", -1},
      {"font_lists_inside_a_composite", nested("\x0C\x01\x00\x9E\x01\x04\x00\x00"s), "366[378{} 940=0]", -1},
      {"associations_inside_a_composite", nested("\x0F\x01\x00\xC1\x00\x04\x00\x00"s), "366[378{} 940=0]", -1},
      {"mappings_inside_a_composite", nested("\x10\x01\x00\x54\x00\x04\x00\x00"s), "366[378{} 940=0]", -1},
      {"list_entry_outside_its_list", nested("\x12\x01\x00\x00\x00\x0F\x00"s), "366[378{} 940=0]", -1},
      {"association_record_outside_its_database", nested("\x0A\x01\x00\x00\x00\x01\x00"s), "366[378{} 940=0]", -1},
      {"leaf_of_another_version", nested("\x05\x02\x00\x08\x01\x0A\x00\x01\x00\x01\x00\x05\x00"s), "366[378{} 940=0]",
       -1},
      {"composite_whose_key_has_no_default",
       "\x02\x01\x00\x6E\x01\x0F\x00"
       "\x01\x01\x00\xE7\x03\x04\x00\x00"
       "\x6E\xAC\x03"
       "\x00"s,
       "366[940=1 378{380{…}}]", -1},
      {"length_past_the_end_of_the_input", "\x02\x01\x00\x6E\x01\xFF\xFF\x6E\xAC\x03\x63\xAB\xCD"s,
       "366[940=0 378{380{…}}]", -1},
      {"length_behind_the_position", "\x02\x01\x00\x6E\x01\x00\x00\x63\x6F\xAC\x03\x00"s, "366[940=1 378{380{…}}]", 8},
      {"input_that_ends_inside_a_child", "\x02\x01\x00\x6E\x01\x0C\x00\x6E\xAC\x03\x03\xAC"s, "366[940=0 378{380{…}}]",
       -1},
      {"input_that_ends_before_the_terminator", "\x02\x01\x00\x6E\x01\x07\x00\x6E\xAC\x03"s, "366[940=0 378{380{…}}]",
       -1},
  };
  ConfiguredDriver driver(SettingsConfiguration());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GSettingsCodec codec;
    const std::string bytes = kSignature + c.node;
    uint32_t end = 0;
    const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, bytes, 0, &end);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Dump(*read, 2), c.expected);
    EXPECT_EQ(end, c.end < 0 ? bytes.size() : kSignature.size() + c.end);
  }
}

// Nesting deeper than any settings tree reads as no child, even where a
// leaf of the defaults keeps finding itself by its key.
TEST(SettingsCodec, NestingIsBounded) {
  std::string nodes = "\x02\x01\x00\x6E\x01\x00\x00"s;
  for (int level = 0; level < 2000; ++level) nodes += "\x01\x01\x00\xAC\x03\x00\x00"s;
  nodes += std::string(2001, '\0');
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;
  const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, kSignature + nodes, 0);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Dump(*read), "366[940=1 378{…}]");
}

// Every cut of a stream reads without harm, as a tree or as nothing.
TEST(SettingsCodec, CutStreamsReadAsFarAsTheyGo) {
  ConfiguredDriver driver(SettingsConfiguration());
  for (int32_t mode : {0, 1}) {
    const std::string bytes = WriteCompact(*DocumentSettings(), mode);
    for (size_t length = 0; length < bytes.size(); ++length) {
      SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(length));
      GSettingsCodec codec;
      const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, bytes.substr(0, length), mode);
      EXPECT_EQ(read != nullptr, length >= kSignature.size() + (mode == 0 ? 7 : 11));
    }
  }
}

// Lists are taken as stored: an entry that cannot be read ends the list,
// and an association whose value went out as an object graph is one.
TEST(SettingsCodec, ListsEndAtAnEntryThatCannotBeRead) {
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;

  MAssociationList associations(193);
  associations.Put(new MPersistentAssociation(Value(0, 1), Value(0, 10), 0));
  associations.Put(new MPersistentAssociation(Value(0, 2), new GCustomMediaSize(1, "A", 0, 1, 1, 0), 0));
  associations.Put(new MPersistentAssociation(Value(0, 3), Value(0, 30), 0));
  int32_t answer = 0;
  const std::string written = WriteCompact(associations, 1, &answer);
  EXPECT_EQ(answer, 1);
  const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, written, 1);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->EntryCount(), 1u);

  // A mapping of another version ends the list; a mapping whose device id
  // is taken is passed over.
  const std::unique_ptr<MPersistentObject> mappings =
      ReadCompact(codec, driver,
                  kSignature +
                      "\x10\x01\x00\x54\x00\x2B\x00"
                      "\x12\x01\x00\x00\x00\x0F\x00\x07\x00\x01\x00\x00\x00"
                      "\x12\x01\x00\x00\x00\x10\x00\x07\x00\x02\x00\x00\x00"
                      "\x12\x01\x00\x00\x00\x11\x00\x08\x00\x03\x00\x00\x00"
                      "\x12\x02\x00\x00\x00\x12\x00\x09\x00\x04\x00\x00\x00"
                      "\x00"s,
                  0);
  ASSERT_NE(mappings, nullptr);
  EXPECT_EQ(mappings->EntryCount(), 2u);

  // A font list of another version ends the composite; the composite keeps
  // its own key whatever was stored.
  const std::unique_ptr<MPersistentObject> fonts =
      ReadCompact(codec, driver, kSignature + "\x0C\x01\x00\x00\x02\x07\x00\x0E\x02\x00\x00"s, 0);
  ASSERT_NE(fonts, nullptr);
  EXPECT_EQ(fonts->Key(), 414);
  EXPECT_EQ(static_cast<GDeviceFontListComposite&>(*fonts).GetListCount(), 0u);
}

// The reader takes forms the writer never makes: a text counted 0, and
// list entries whatever their type byte.
TEST(SettingsCodec, ReaderTakesFormsTheWriterNeverMakes) {
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;
  const std::unique_ptr<MPersistentObject> text =
      ReadCompact(codec, driver, kSignature + "\x01\x01\x00\x4D\x04\x09\x00\x07\x05\x01\x00\x00\x00"s, 0);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(Dump(*text), "1101{261=\"\"}");

  const std::unique_ptr<MPersistentObject> mappings = ReadCompact(
      codec, driver,
      kSignature + "\x10\x01\x00\x54\x00\x11\x00\x55\x01\x00\x00\x00\x0F\x00\x07\x00\x01\x00\x00\x00\x00"s, 0);
  ASSERT_NE(mappings, nullptr);
  ASSERT_EQ(mappings->EntryCount(), 1u);
  EXPECT_EQ(static_cast<GResourceMappingList&>(*mappings).FindByDeviceId(7)->OsId(), 15);
}

// The 16-bit encoding keeps the low half of a key.
TEST(SettingsCodec, SixteenBitKeysKeepTheirLowHalf) {
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;
  const std::unique_ptr<MPersistentObject> tree = Imported({new GCustomMediaSize(1, "A", 0, 1, 1, 0x40000019)});
  const std::string bytes = WriteCompact(*tree, 0);
  EXPECT_EQ(bytes.substr(kSignature.size() + 7, 5), "\x0B\x01\x00\x19\x00"s);
  const std::unique_ptr<MPersistentObject> read = ReadCompact(codec, driver, bytes, 0);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Dump(*read), "1101{25#775}");
}

// The OS factory's one codec serves every thread: the first reads build the
// default tree once while others read beside them.
TEST(SettingsCodec, ThreadsShareOneCodec) {
  ConfiguredDriver driver(SettingsConfiguration());
  GSettingsCodec codec;
  const std::string bytes = WriteCompact(*PhySetting(), 1);
  std::vector<std::thread> threads;
  std::atomic<int> read{0};
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      for (int j = 0; j < 20; ++j) {
        if (ReadCompact(codec, driver, bytes, 1) != nullptr) ++read;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(read.load(), 80);
}

}  // namespace
