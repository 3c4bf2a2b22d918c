#include "device/settings/compact_leaves.h"

#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include "device/attributes/display_string_attribute.h"
#include "device/colour/tintwise_attribute.h"
#include "device/forms/form_to_tray_database.h"
#include "device/media/custom_media_size.h"
#include "device/settings/compact_stream.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"

namespace {

// Values 0 to 20 are folded into the type byte.
constexpr int16_t kLargestSmallValue = kCompactLastSmallValue - kCompactSmallValue;

// ---- value and string attributes: a key, no version

bool WriteValue(const GValueAttribute& value, GCompactOutput& out) {
  const int16_t v = value.Value();
  const bool small = v >= 0 && v <= kLargestSmallValue;
  out.Byte(static_cast<uint8_t>(small ? kCompactSmallValue + v : kCompactValue));
  out.Key(value.Key());
  if (!small) out.Short(v);
  return true;
}

// The count covers the text and a 0 byte.
bool WriteString(const GStringAttribute& string, GCompactOutput& out) {
  const RWCString& text = string.Text();
  if (text.Length() >= std::numeric_limits<uint16_t>::max()) return false;
  out.Byte(kCompactString);
  out.Key(string.Key());
  out.UShort(static_cast<uint16_t>(text.Length() + 1));
  out.Bytes(reinterpret_cast<const uint8_t*>(text.Data()), text.Length());
  out.Byte(0);
  return true;
}

// Counts 0 and 1 both give the empty text; the last byte counted is the
// terminator, whatever it holds.
std::unique_ptr<GAttribute> ReadString(GCompactInput& in) {
  const int32_t key = in.Key();
  const uint16_t count = in.UShort();
  std::vector<uint8_t> bytes(count);
  if (!in.IsGood() || !in.Bytes(bytes.data(), count)) return nullptr;
  const uint32_t length = count == 0 ? 0 : count - 1u;
  return std::make_unique<GStringAttribute>(RWCString(reinterpret_cast<const char*>(bytes.data()), length), key);
}

// ---- colour-control attributes: version, key, one byte per setting

// A setting as the (position, kind) arguments of the class's accessors.
struct SettingPlace {
  int32_t index;
  int32_t kind;
};

constexpr SettingPlace kTintwisePlaces[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
constexpr SettingPlace kEnhancedPlaces[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 2}, {3, 3}};
constexpr SettingPlace kVer2Places[] = {{0, 0}, {0, 1}, {0, 3}, {1, 0}, {1, 1}, {1, 3}, {2, 0}, {2, 1}, {2, 3}, {3, 2}};

bool GetSetting(const GTintwiseAttribute& a, SettingPlace p, uint8_t& byte) {
  return a.GetSettingByte(p.index, p.kind, byte);
}
bool SetSetting(GTintwiseAttribute& a, SettingPlace p, uint8_t byte) { return a.SetSettingByte(p.index, p.kind, byte); }
template <typename Extension>
bool GetSetting(const Extension& a, SettingPlace p, uint8_t& byte) {
  return a.GetSetting(p.index, p.kind, byte);
}
template <typename Extension>
bool SetSetting(Extension& a, SettingPlace p, uint8_t byte) {
  return a.SetSetting(p.index, p.kind, byte);
}

// Every setting is read before anything is written.
template <typename Tintwise, size_t N>
bool WriteTintwise(const Tintwise& tintwise, uint8_t type, const SettingPlace (&places)[N], GCompactOutput& out) {
  std::array<uint8_t, N> bytes{};
  for (size_t i = 0; i < N; ++i) {
    if (!GetSetting(tintwise, places[i], bytes[i])) return false;
  }
  out.Byte(type);
  out.Version(kCompactVersion);
  out.Key(tintwise.Key());
  out.Bytes(bytes.data(), N);
  return true;
}

template <typename Tintwise, size_t N>
std::unique_ptr<GAttribute> ReadTintwise(const SettingPlace (&places)[N], GCompactInput& in) {
  const uint32_t version = in.Version();
  const int32_t key = in.Key();
  std::array<uint8_t, N> bytes{};
  if (!in.IsGood() || version != kCompactVersion || !in.Bytes(bytes.data(), N)) return nullptr;
  auto tintwise = std::make_unique<Tintwise>(key);
  for (size_t i = 0; i < N; ++i) SetSetting(*tintwise, places[i], bytes[i]);
  return tintwise;
}

// ---- the other leaves: version, key, fields

void WriteHeader(uint8_t type, const MPersistentObject& node, GCompactOutput& out) {
  out.Byte(type);
  out.Version(kCompactVersion);
  out.Key(node.Key());
}

// Reads version and key; false for another version or input that ended.
bool ReadHeader(GCompactInput& in, int32_t& key) {
  const uint32_t version = in.Version();
  key = in.Key();
  return in.IsGood() && version == kCompactVersion;
}

bool WriteRange(const GRangeAttribute& range, GCompactOutput& out) {
  WriteHeader(kCompactRange, range, out);
  out.Short(range.Max());
  out.Short(range.Min());
  out.Short(range.Step());
  out.Short(range.Value());
  return true;
}

std::unique_ptr<GAttribute> ReadRange(GCompactInput& in) {
  int32_t key = 0;
  if (!ReadHeader(in, key)) return nullptr;
  const int16_t maximum = in.Short();
  const int16_t minimum = in.Short();
  const int16_t step = in.Short();
  const int16_t value = in.Short();
  if (!in.IsGood()) return nullptr;
  return std::make_unique<GRangeAttribute>(minimum, maximum, step, value, key);
}

bool WriteDisplayString(const GDisplayStringAttribute& attribute, GCompactOutput& out) {
  const GDisplayString& text = attribute.GetDisplayString();
  WriteHeader(kCompactDisplayString, attribute, out);
  out.Text(text.DefaultText());
  out.UShort(static_cast<uint16_t>(text.StringId()));
  out.Text(text.ModuleName());
  return true;
}

std::unique_ptr<GAttribute> ReadDisplayString(GCompactInput& in) {
  int32_t key = 0;
  if (!ReadHeader(in, key)) return nullptr;
  GDisplayString text;
  text.SetDefaultText(in.Text());
  text.SetStringId(static_cast<int16_t>(in.UShort()));
  text.SetModuleName(in.Text());
  if (!in.IsGood()) return nullptr;
  auto attribute = std::make_unique<GDisplayStringAttribute>();
  attribute->SetKey(key);
  attribute->SetDisplayString(text);
  return attribute;
}

bool WriteCustomMediaSize(const GCustomMediaSize& size, GCompactOutput& out) {
  WriteHeader(kCompactCustomMediaSize, size, out);
  out.Short(size.GetId());
  out.Text(size.GetName());
  out.UShort(static_cast<uint16_t>(size.GetUnit()));
  out.UInt(size.GetSize().width);
  out.UInt(size.GetSize().height);
  return true;
}

std::unique_ptr<GAttribute> ReadCustomMediaSize(GCompactInput& in) {
  int32_t key = 0;
  if (!ReadHeader(in, key)) return nullptr;
  const int16_t id = in.Short();
  const RWCString name = in.Text();
  const uint16_t unit = in.UShort();
  const uint32_t width = in.UInt();
  const uint32_t height = in.UInt();
  if (!in.IsGood()) return nullptr;
  return std::make_unique<GCustomMediaSize>(id, name, unit, width, height, key);
}

// The database's two defaults are written for readers that want them; the
// database itself keeps its constant ones. Children that are no
// associations are passed over.
bool WriteFormToTray(const GFormToTrayDatabase& database, GCompactOutput& out) {
  WriteHeader(kCompactFormToTray, database, out);
  out.Short(static_cast<int16_t>(GFormToTrayDatabase::kDefaultMediaTypeId));
  out.Short(static_cast<int16_t>(GFormToTrayDatabase::kDefaultMediaId));
  for (const GCountedPtr& child : database.Associations().Children()) {
    const auto* association = dynamic_cast<const GFormToTrayAssociation*>(child.Get());
    if (association == nullptr) continue;
    WriteHeader(kCompactFormToTrayAssociation, *association, out);
    out.Short(static_cast<int16_t>(association->GetTrayId()));
    out.Short(static_cast<int16_t>(association->GetMediaTypeId()));
    out.Short(static_cast<int16_t>(association->GetMediaId()));
  }
  out.Byte(kCompactEnd);
  return true;
}

// Records follow until a 0 type byte; a record of another type or version,
// or input that ends first, gives no database.
std::unique_ptr<GAttribute> ReadFormToTray(GCompactInput& in) {
  int32_t key = 0;
  if (!ReadHeader(in, key)) return nullptr;
  in.Short();
  in.Short();
  auto database = std::make_unique<GFormToTrayDatabase>(key);
  uint8_t type = 0;
  while (in.Byte(type) && type != kCompactEnd) {
    int32_t associationKey = 0;
    if (type != kCompactFormToTrayAssociation || !ReadHeader(in, associationKey)) return nullptr;
    const auto trayId = static_cast<uint16_t>(in.Short());
    const auto mediaTypeId = static_cast<uint16_t>(in.Short());
    const auto mediaId = static_cast<uint16_t>(in.Short());
    if (!in.IsGood()) return nullptr;
    database->SetAssociation(trayId, mediaId, mediaTypeId);
  }
  if (type != kCompactEnd || !in.IsGood()) return nullptr;
  return database;
}

bool WriteTintwiseBase(const GTintwiseAttribute& tintwise, GCompactOutput& out) {
  return WriteTintwise(tintwise, kCompactTintwise, kTintwisePlaces, out);
}
bool WriteTintwiseEnhanced(const GTintwiseEnhancedAttribute& tintwise, GCompactOutput& out) {
  return WriteTintwise(tintwise, kCompactTintwiseEnhanced, kEnhancedPlaces, out);
}
bool WriteTintwiseVer2(const GTintwiseEnhancedAttributeVer2& tintwise, GCompactOutput& out) {
  return WriteTintwise(tintwise, kCompactTintwiseVer2, kVer2Places, out);
}

// A class that claims a leaf kind's base type without being of that class
// is not written.
template <typename T>
bool WriteAs(const MPersistentObject& leaf, GCompactOutput& out, bool (*write)(const T&, GCompactOutput&)) {
  const auto* node = dynamic_cast<const T*>(&leaf);
  return node != nullptr && write(*node, out);
}

}  // namespace

bool WriteCompactLeaf(const MPersistentObject& leaf, GCompactOutput& out) {
  switch (leaf.BaseTypeId()) {
    case kGValueAttributeClassID:
      return WriteAs(leaf, out, WriteValue);
    case kGStringAttributeClassID:
      return WriteAs(leaf, out, WriteString);
    case kGTintwiseAttributeClassID:
      return WriteAs(leaf, out, WriteTintwiseBase);
    case kGTintwiseEnhancedAttributeClassID:
      return WriteAs(leaf, out, WriteTintwiseEnhanced);
    case kGTintwiseEnhancedAttributeVer2ClassID:
      return WriteAs(leaf, out, WriteTintwiseVer2);
    case kGRangeAttributeClassID:
      return WriteAs(leaf, out, WriteRange);
    case kGDisplayStringAttributeClassID:
      return WriteAs(leaf, out, WriteDisplayString);
    case kGCustomMediaSizeClassID:
      return WriteAs(leaf, out, WriteCustomMediaSize);
    case kGFormToTrayDatabaseClassID:
      return WriteAs(leaf, out, WriteFormToTray);
    default:
      return false;
  }
}

std::unique_ptr<GAttribute> ReadCompactLeaf(uint8_t type, GCompactInput& in) {
  if (type >= kCompactSmallValue && type <= kCompactLastSmallValue) {
    const int32_t key = in.Key();
    if (!in.IsGood()) return nullptr;
    return std::make_unique<GValueAttribute>(static_cast<int16_t>(type - kCompactSmallValue), key);
  }
  switch (type) {
    case kCompactValue: {
      const int32_t key = in.Key();
      const int16_t value = in.Short();
      if (!in.IsGood()) return nullptr;
      return std::make_unique<GValueAttribute>(value, key);
    }
    case kCompactString:
      return ReadString(in);
    case kCompactTintwise:
      return ReadTintwise<GTintwiseAttribute>(kTintwisePlaces, in);
    case kCompactTintwiseEnhanced:
      return ReadTintwise<GTintwiseEnhancedAttribute>(kEnhancedPlaces, in);
    case kCompactTintwiseVer2:
      return ReadTintwise<GTintwiseEnhancedAttributeVer2>(kVer2Places, in);
    case kCompactRange:
      return ReadRange(in);
    case kCompactDisplayString:
      return ReadDisplayString(in);
    case kCompactCustomMediaSize:
      return ReadCustomMediaSize(in);
    case kCompactFormToTray:
      return ReadFormToTray(in);
    default:
      return nullptr;
  }
}
