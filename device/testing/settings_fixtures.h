#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/attributes/display_string_attribute.h"
#include "device/colour/tintwise_attribute.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/forms/form_to_tray_database.h"
#include "device/media/custom_media_size.h"
#include "device/settings/settings_codec.h"
#include "model/attributes/configuration.h"
#include "model/attributes/enum_attribute.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/resource_mapping.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/model_stream.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"
#include "model/os/printer_identity.h"
#include "model/testing/name_only_driver.h"

// A small device description and driver for the compact settings format,
// shared by its tests and its fuzz target.
//
// The settings template (359) holds one leaf of every kind under keys 261
// to 269, an enumeration (250) of two choices, the custom-size pool (276),
// the groups 365 (a form-to-tray database 510 and value 600), 366 (the
// compact-format flag 940 and the watermark pool 378), 368 (value 700) and
// 283 (value 800), the name lists 701 and 314, and the extension list 63.
// The quick-set list (375) names settings 260 and 285 and the text 263.

namespace settings_fixtures {

inline std::string ToHex(int32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(static_cast<uint32_t>(value) >> shift) & 0xF];
  return text;
}

template <typename Node>
Node* With(Node* node, std::initializer_list<MPersistentObject*> children) {
  for (MPersistentObject* child : children) node->AddChild(child);
  return node;
}

inline GAttributeComposite* Composite(int32_t key, std::initializer_list<MPersistentObject*> children = {}) {
  return With(new GAttributeComposite(key), children);
}

inline GState* State(int32_t key, std::initializer_list<MPersistentObject*> children = {}) {
  return With(new GState(key), children);
}

inline GValueAttribute* Value(int32_t key, int16_t value) { return new GValueAttribute(value, key); }

inline GStringAttribute* Text(int32_t key, const char* text) { return new GStringAttribute(text, key); }

inline GEnumAttribute* Choices(int32_t key) { return With(new GEnumAttribute(key), {Value(0, 1), Value(0, 2)}); }

inline GFormToTrayDatabase* FormToTray(int32_t key) {
  auto* database = new GFormToTrayDatabase(key);
  database->SetAssociation(1, 5, GFormToTrayDatabase::kDefaultMediaTypeId);
  return database;
}

// The settings template, whose compact-format flag is the one given.
inline GState* SettingsTemplate(int16_t compactFlag) {
  return State(359, {
                        Value(261, 7),
                        Value(262, -1),
                        Text(263, "A4"),
                        new GRangeAttribute(1, 10, 1, 5, 264),
                        new GDisplayStringAttribute(265, 12, "Hi", ""),
                        new GTintwiseAttribute(266, 1, 2, 3, 4, 5, 6),
                        new GTintwiseEnhancedAttribute(267, 1, 2, 3, 4, 5, 6, 7, 8),
                        new GTintwiseEnhancedAttributeVer2(268, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10),
                        new GCustomMediaSize(0x4001, "Card", 1, 100, 150, 269),
                        Choices(250),
                        Composite(276),
                        State(365, {FormToTray(510), Value(600, 1)}),
                        State(366, {Value(940, compactFlag), Composite(378)}),
                        State(368, {Value(700, 0)}),
                        State(283, {Value(800, 0)}),
                        Composite(701),
                        Composite(314),
                        Composite(63, {Text(0, "ext.dll")}),
                    });
}

inline std::unique_ptr<GConfiguration> SettingsConfiguration(int16_t compactFlag = 1) {
  auto configuration = std::make_unique<GConfiguration>(0);
  configuration->AddChild(SettingsTemplate(compactFlag));
  configuration->AddChild(Composite(375, {Value(260, 1), Value(285, 1), Text(263, "A4")}));
  return configuration;
}

// A driver object with a device description and nothing else.
class ConfiguredDriver : public NameOnlyDriver {
 public:
  explicit ConfiguredDriver(std::unique_ptr<GConfiguration> configuration)
      : NameOnlyDriver(RWWString("Office")), configuration_(std::move(configuration)) {}

  GConfiguration* GetConfiguration() override { return configuration_.get(); }

 private:
  std::unique_ptr<GConfiguration> configuration_;
};

// ---- trees as the printer data keeps them

// A quick set as the template of the device description gives it, with a
// custom paper size name.
inline GAttributeComposite* QuickSet(const char* name, int16_t paper, int16_t perUser) {
  return Composite(0, {Value(260, paper), Value(285, 2), Text(263, "Letter"), Text(376, name), Value(1124, perUser),
                       Text(0x40000018, "Card")});
}

inline std::unique_ptr<MPersistentObject> QuicksetPool() {
  return std::unique_ptr<MPersistentObject>(
      Composite(0x4000005C, {QuickSet("Draft", 0x4001, 0), QuickSet("Photo", 1, 1)}));
}

inline std::unique_ptr<MPersistentObject> PhySetting() {
  auto* database = new GFormToTrayDatabase(510);
  database->SetAssociation(2, 7, 11000);
  database->SetAssociation(3, 8, GFormToTrayDatabase::kDefaultMediaTypeId);
  return std::unique_ptr<MPersistentObject>(State(365, {database, Value(600, 0)}));
}

// An empty font list of a slot. Its serial number is fixed, as the object
// graph it is stored in carries it.
inline GDeviceFontList* FontList(int32_t slot) {
  auto* list = new GDeviceFontList(slot);
  list->SetSerialNumber(static_cast<uint32_t>(100 + slot));
  return list;
}

inline std::unique_ptr<MPersistentObject> FontLists() {
  auto lists = std::make_unique<GDeviceFontListComposite>();
  lists->AddList(FontList(6));
  lists->AddList(FontList(7));
  return lists;
}

// Associations of the three kinds that read back.
inline std::unique_ptr<MPersistentObject> Associations() {
  auto list = std::make_unique<MAssociationList>(193);
  list->Put(new MPersistentAssociation(Value(0, 1), Text(0, "Upper"), 0));
  list->Put(new MPersistentAssociation(Value(0, 2), Value(0, -3), 0));
  list->Put(new MPersistentAssociation(Value(0, 3), new GSelectionString("Lower", 3, 0), 0));
  return list;
}

inline std::unique_ptr<MPersistentObject> Mappings() {
  auto list = std::make_unique<GResourceMappingList>(84);
  list->AddIfNew(new GResourceMapping(0x1234, 15, 7, 0));
  list->AddIfNew(new GResourceMapping(0x10000, 260, -1, 0));
  return list;
}

// The document settings as the template gives them.
inline std::unique_ptr<MPersistentObject> DocumentSettings() {
  const std::unique_ptr<GState> settingsTemplate(SettingsTemplate(1));
  std::unique_ptr<MPersistentObject> settings(settingsTemplate->DeepCopy());
  settings->SetKey(360);
  return settings;
}

// ---- trees as text, for expectations that read as the tree they expect

// A node and, down to the depth, its children: an attribute composite as
// key{...}, a state as key[...], an enumeration as key<...>, a value as
// key=value, a text as key="text", another leaf as key#class ID. A
// composite below the depth shows as key{…}. Keys past 16 bits are in hex.
inline std::string Dump(MPersistentObject& node, int depth = 1) {
  const int32_t key = node.Key();
  std::string text = key > 0xFFFF ? "0x" + ToHex(key) : std::to_string(key);
  if (const auto* value = dynamic_cast<const GValueAttribute*>(&node))
    return text + "=" + std::to_string(value->Value());
  if (const auto* string = dynamic_cast<const GStringAttribute*>(&node)) {
    return text + "=\"" + std::string(string->Text().Data(), string->Text().Length()) + "\"";
  }
  if (node.AsComposite() == nullptr) return text + "#" + std::to_string(node.ClassID());
  const char* brackets = node.ClassID() == kGStateClassID           ? "[]"
                         : node.ClassID() == kGEnumAttributeClassID ? "<>"
                                                                    : "{}";
  text += brackets[0];
  if (depth == 0) return text + "…" + brackets[1];
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  const char* separator = "";
  while (children->Advance()) {
    text += separator + Dump(*children->Current(), depth - 1);
    separator = " ";
  }
  return text + brackets[1];
}

// ---- the codec on memory streams

// What the codec writes in the mode, and its answer.
inline std::string WriteCompact(const MPersistentObject& tree, int32_t mode, int32_t* answer = nullptr) {
  std::vector<uint8_t> buffer(1 << 16);
  GOutputStream owner(buffer.data(), static_cast<uint32_t>(buffer.size()), kBinaryStreamFormat);
  GSettingsCodec codec;
  const int32_t written = codec.Write(tree, *owner.Stream(), owner, mode);
  if (answer != nullptr) *answer = written;
  owner.Stream()->Flush();
  return std::string(buffer.begin(), buffer.begin() + owner.Position());
}

// What the codec reads from the bytes, and where reading stopped.
inline std::unique_ptr<MPersistentObject> ReadCompact(GSettingsCodec& codec, GDriverInterface& driver,
                                                      const std::string& bytes, int32_t mode, uint32_t* end = nullptr) {
  GInputStream owner(bytes.data(), static_cast<uint32_t>(bytes.size()), kBinaryStreamFormat);
  std::unique_ptr<MPersistentObject> tree = codec.Read(*owner.Stream(), owner, driver, mode);
  if (end != nullptr) *end = owner.Position();
  return tree;
}

}  // namespace settings_fixtures
