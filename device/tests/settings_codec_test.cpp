#include "device/settings/settings_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

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

}  // namespace
