#include "device/colour/colour_settings.h"

#include "device/colour/tintwise_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"

namespace {

// The colour-control attribute of the settings as a T, or null.
template <typename T>
const T* ColourControl(MPersistentObject& settings) {
  MPersistentObject* found = settings.FindByKey(GTintwiseAttribute::kSettingsKey);
  return found != nullptr ? dynamic_cast<const T*>(found) : nullptr;
}

// Reads one byte through the getter of T, which must be the attribute's
// class: the layouts of the classes differ.
template <typename T>
uint16_t ReadSetting(int32_t index, int32_t kind, MPersistentObject& settings) {
  const T* attribute = ColourControl<T>(settings);
  if (attribute == nullptr) return kNoColorSetting;
  uint8_t byte = 0;
  return attribute->GetSetting(index, kind, byte) ? byte : kNoColorSetting;
}

bool ReadsEnhanced(int32_t mode) { return (mode & 0xFF) == 3; }

uint16_t ReadByMode(int32_t index, int32_t kind, MPersistentObject& settings, int32_t mode) {
  return ReadsEnhanced(mode) ? GetTintwiseSetting(index, kind, settings)
                             : GetTintwiseSettingVer2(index, kind, settings);
}

// The value object that a setting value maps to in a device table.
MPersistentObject* TableEntry(int32_t tableKey, MPersistentObject& holder, int16_t settingValue) {
  auto* table = dynamic_cast<MAssociationList*>(holder.FindByKey(tableKey));
  if (table == nullptr) return nullptr;
  const GValueAttribute setting(settingValue, 0);
  return table->FindValue(&setting);
}

// Table keys of the colour features.
constexpr int32_t kHalftoneTable = 533;
constexpr int32_t kColorMapTable = 537;
constexpr int32_t kNeutralGraysTable = 543;
constexpr int32_t kEdgeControlTable = 545;
constexpr int32_t kSRGBTable = 552;

}  // namespace

uint16_t GetColorSettingByte(int32_t index, int32_t row, MPersistentObject& settings) {
  const auto* attribute = ColourControl<GTintwiseAttribute>(settings);
  if (attribute == nullptr) return kNoColorSetting;
  uint8_t byte = 0;
  return attribute->GetSettingByte(index, row, byte) ? byte : kNoColorSetting;
}

uint16_t GetTintwiseSetting(int32_t index, int32_t kind, MPersistentObject& settings) {
  return ReadSetting<GTintwiseEnhancedAttribute>(index, kind, settings);
}

uint16_t GetTintwiseSettingVer2(int32_t index, int32_t kind, MPersistentObject& settings) {
  return ReadSetting<GTintwiseEnhancedAttributeVer2>(index, kind, settings);
}

uint16_t GetColorSettingA1(MPersistentObject& settings) { return GetColorSettingByte(0, 0, settings); }
uint16_t GetColorSettingA2(MPersistentObject& settings) { return GetColorSettingByte(1, 0, settings); }
uint16_t GetColorSettingA3(MPersistentObject& settings) { return GetColorSettingByte(2, 0, settings); }
uint16_t GetColorSettingA4(MPersistentObject& settings) { return GetColorSettingByte(0, 1, settings); }
uint16_t GetColorSettingA5(MPersistentObject& settings) { return GetColorSettingByte(1, 1, settings); }
uint16_t GetColorSettingA6(MPersistentObject& settings) { return GetColorSettingByte(2, 1, settings); }

uint16_t GetColorSettingB1(MPersistentObject& settings, int32_t mode) { return ReadByMode(0, 1, settings, mode); }
uint16_t GetColorSettingB2(MPersistentObject& settings, int32_t mode) { return ReadByMode(1, 1, settings, mode); }
uint16_t GetColorSettingB3(MPersistentObject& settings, int32_t mode) { return ReadByMode(2, 1, settings, mode); }
uint16_t GetColorSettingB4(MPersistentObject& settings, int32_t mode) { return ReadByMode(0, 0, settings, mode); }
uint16_t GetColorSettingB5(MPersistentObject& settings, int32_t mode) { return ReadByMode(1, 0, settings, mode); }
uint16_t GetColorSettingB6(MPersistentObject& settings, int32_t mode) { return ReadByMode(2, 0, settings, mode); }
uint16_t GetColorSettingB7(MPersistentObject& settings, int32_t mode) { return ReadByMode(3, 2, settings, mode); }
uint16_t GetColorSettingB8(MPersistentObject& settings) { return GetTintwiseSetting(3, 3, settings); }

uint16_t GetColorSettingC1(MPersistentObject& settings) { return GetTintwiseSettingVer2(0, 3, settings); }
uint16_t GetColorSettingC2(MPersistentObject& settings) { return GetTintwiseSettingVer2(1, 3, settings); }
uint16_t GetColorSettingC3(MPersistentObject& settings) { return GetTintwiseSettingVer2(2, 3, settings); }

int16_t GetTableValue(int32_t tableKey, MPersistentObject& holder, int16_t settingValue) {
  const auto* value = dynamic_cast<const GValueAttribute*>(TableEntry(tableKey, holder, settingValue));
  return value != nullptr ? value->Value() : 0;
}

RWCString GetTableText(int32_t tableKey, MPersistentObject& holder, int16_t settingValue) {
  const auto* text = dynamic_cast<const GStringAttribute*>(TableEntry(tableKey, holder, settingValue));
  return text != nullptr ? text->Text() : RWCString();
}

int16_t GetHalftoneTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kHalftoneTable, holder, settingValue);
}
int16_t GetColorMapTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kColorMapTable, holder, settingValue);
}
int16_t GetNeutralGraysTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kNeutralGraysTable, holder, settingValue);
}
int16_t GetEdgeControlTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kEdgeControlTable, holder, settingValue);
}
int16_t GetSRGBColorTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kSRGBTable, holder, settingValue);
}
int16_t GetSRGBExtensionTableValue(MPersistentObject& holder, int16_t settingValue) {
  return GetTableValue(kSRGBTable, holder, settingValue);
}
