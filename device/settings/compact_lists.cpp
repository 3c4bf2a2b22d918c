#include "device/settings/compact_lists.h"

#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/settings/compact_stream.h"
#include "foundation/persistence.h"
#include "model/attributes/resource_mapping.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"

namespace {

// What an association's value is, and so what follows its kind field.
enum AssociationKind : int16_t {
  kStringValue = 0,
  kNumberValue = 1,
  kSelectionValue = 2,
  kObjectGraphValue = 9,
};

// ---- font lists: the list's own version, then the list as an object graph

bool WriteFontList(const MPersistentObject& entry, GCompactOutput& out) {
  const auto* list = dynamic_cast<const GDeviceFontList*>(&entry);
  if (list == nullptr) return false;
  out.Byte(kCompactFontList);
  out.Version(kCompactFontListVersion);
  WriteObjectToStream(list, out.Stream());
  return true;
}

bool ReadFontList(GDeviceFontListComposite& lists, GCompactInput& in) {
  const uint32_t version = in.Version();
  if (!in.IsGood() || version != kCompactFontListVersion) return false;
  GDeviceFontList* list = nullptr;
  ReadObjectFromStream(in.Stream(), list);
  if (list == nullptr || !in.IsGood()) {
    delete list;
    return false;
  }
  lists.AddList(list);
  return true;
}

// ---- associations: a value attribute as key object, and a value by kind

bool WriteAssociation(const MPersistentObject& entry, GCompactOutput& out) {
  const auto* association = dynamic_cast<const MPersistentAssociation*>(&entry);
  const auto* keyValue = association != nullptr ? dynamic_cast<const GValueAttribute*>(association->Key()) : nullptr;
  if (keyValue == nullptr) return false;
  const MPersistentObject* value = association->Value();
  const auto* string = dynamic_cast<const GStringAttribute*>(value);
  const auto* number = dynamic_cast<const GValueAttribute*>(value);
  const auto* selection = dynamic_cast<const GSelectionString*>(value);
  out.Byte(kCompactAssociation);
  out.Version(kCompactVersion);
  out.Key(association->MPersistentObject::Key());
  out.Short(keyValue->Value());
  if (string != nullptr) {
    out.Short(kStringValue);
    out.Text(string->Text());
  } else if (number != nullptr) {
    out.Short(kNumberValue);
    out.Short(number->Value());
  } else if (selection != nullptr) {
    out.Short(kSelectionValue);
    out.Text(selection->Text());
  } else {
    out.Short(kObjectGraphValue);
    WriteObjectToStream(value, out.Stream());
  }
  return true;
}

// Kinds that are not written give no association and cost nothing more.
bool ReadAssociation(MAssociationList& list, GCompactInput& in) {
  const uint32_t version = in.Version();
  in.Key();
  const int16_t keyValue = in.Short();
  const int16_t kind = in.Short();
  if (!in.IsGood() || version != kCompactVersion || kind == kObjectGraphValue) return false;
  MPersistentObject* value = nullptr;
  if (kind == kStringValue) {
    value = new GStringAttribute(in.Text(), 0);
  } else if (kind == kNumberValue) {
    value = new GValueAttribute(in.Short(), 0);
  } else if (kind == kSelectionValue) {
    value = new GSelectionString(in.Text(), keyValue, 0);
  } else {
    return true;
  }
  auto* association = new MPersistentAssociation(new GValueAttribute(keyValue, 0), value, 0);
  if (!in.IsGood()) {
    delete association;
    return false;
  }
  list.Put(association);
  return true;
}

// ---- resource mappings

bool WriteMapping(const MPersistentObject& entry, GCompactOutput& out) {
  const auto* mapping = dynamic_cast<const GResourceMapping*>(&entry);
  if (mapping == nullptr) return false;
  out.Byte(kCompactMapping);
  out.Version(kCompactVersion);
  out.Key(mapping->Key());
  out.UShort(mapping->OsId());
  out.Short(mapping->DeviceId());
  out.UInt(mapping->ResourceId());
  return true;
}

bool ReadMapping(GResourceMappingList& list, GCompactInput& in) {
  const uint32_t version = in.Version();
  in.Key();
  const uint16_t osId = in.UShort();
  const int16_t deviceId = in.Short();
  const uint32_t resourceId = in.UInt();
  if (!in.IsGood() || version != kCompactVersion) return false;
  auto* mapping = new GResourceMapping(resourceId, osId, deviceId, 0);
  if (!list.AddIfNew(mapping)) delete mapping;
  return true;
}

// Entries follow until a 0 byte; the entry type bytes themselves are not
// looked at.
template <typename List>
std::unique_ptr<MPersistentObject> ReadEntries(std::unique_ptr<List> list, GCompactInput& in,
                                               bool (*readEntry)(List&, GCompactInput&)) {
  uint8_t type = 0;
  while (in.Byte(type) && type != kCompactEnd) {
    if (!readEntry(*list, in)) break;
  }
  return list;
}

}  // namespace

bool WriteCompactListEntry(uint8_t listType, const MPersistentObject& entry, GCompactOutput& out) {
  switch (listType) {
    case kCompactFontLists:
      return WriteFontList(entry, out);
    case kCompactAssociations:
      return WriteAssociation(entry, out);
    case kCompactMappings:
      return WriteMapping(entry, out);
    default:
      return false;
  }
}

// A font-list composite keeps the key it is made with, whatever was stored.
std::unique_ptr<MPersistentObject> ReadCompactList(uint8_t listType, GCompactInput& in) {
  const uint32_t version = in.Version();
  const int32_t key = in.Key();
  in.UShort();
  if (!in.IsGood() || version != kCompactVersion) return nullptr;
  switch (listType) {
    case kCompactFontLists:
      return ReadEntries(std::make_unique<GDeviceFontListComposite>(), in, ReadFontList);
    case kCompactAssociations:
      return ReadEntries(std::make_unique<MAssociationList>(key), in, ReadAssociation);
    case kCompactMappings:
      return ReadEntries(std::make_unique<GResourceMappingList>(key), in, ReadMapping);
    default:
      return nullptr;
  }
}
