#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/objects/persistent_object.h"

// Readers of the colour settings for the render side.
//
// The colour-control attribute sits under key 295 of the job's settings;
// each reader answers one of its bytes (0 to 255), or kNoColorSetting when
// there is no such attribute, when it is not of the class the reader reads
// it as, or when the index or kind is out of range. A place that holds no
// byte (row 2 of GetSettingByte, kind 4 of GetSetting) answers 0.
inline constexpr uint16_t kNoColorSetting = 0xFFFF;

// Through the attribute's own GetSettingByte (any of the three classes).
uint16_t GetColorSettingByte(int32_t index, int32_t row, MPersistentObject& settings);
// Through GTintwiseEnhancedAttribute::GetSetting, for that class only.
uint16_t GetTintwiseSetting(int32_t index, int32_t kind, MPersistentObject& settings);
// Through GTintwiseEnhancedAttributeVer2::GetSetting, for that class only.
uint16_t GetTintwiseSettingVer2(int32_t index, int32_t kind, MPersistentObject& settings);

// Fixed readings. A1 to A6: GetColorSettingByte of (index, row) (0, 0),
// (1, 0), (2, 0), (0, 1), (1, 1), (2, 1).
uint16_t GetColorSettingA1(MPersistentObject& settings);
uint16_t GetColorSettingA2(MPersistentObject& settings);
uint16_t GetColorSettingA3(MPersistentObject& settings);
uint16_t GetColorSettingA4(MPersistentObject& settings);
uint16_t GetColorSettingA5(MPersistentObject& settings);
uint16_t GetColorSettingA6(MPersistentObject& settings);
// B1 to B7: (index, kind) (0, 1), (1, 1), (2, 1), (0, 0), (1, 0), (2, 0),
// (3, 2), read through GetTintwiseSetting when the low byte of mode is 3,
// else through GetTintwiseSettingVer2. B8: GetTintwiseSetting (3, 3).
uint16_t GetColorSettingB1(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB2(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB3(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB4(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB5(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB6(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB7(MPersistentObject& settings, int32_t mode);
uint16_t GetColorSettingB8(MPersistentObject& settings);
// C1 to C3: GetTintwiseSettingVer2 of (0, 3), (1, 3), (2, 3).
uint16_t GetColorSettingC1(MPersistentObject& settings);
uint16_t GetColorSettingC2(MPersistentObject& settings);
uint16_t GetColorSettingC3(MPersistentObject& settings);

// The device tables of the colour features: the association list found
// under the table key in holder (the device configuration), whose key
// objects are value attributes (key 0) holding setting values. GetTableValue
// answers the value of the value attribute that the setting value maps to,
// 0 when the table, the entry or a value attribute is missing;
// GetTableText the text of the string attribute it maps to, empty when
// missing.
int16_t GetTableValue(int32_t tableKey, MPersistentObject& holder, int16_t settingValue);
RWCString GetTableText(int32_t tableKey, MPersistentObject& holder, int16_t settingValue);

// The table of each colour feature.
int16_t GetHalftoneTableValue(MPersistentObject& holder, int16_t settingValue);       // table 533
int16_t GetColorMapTableValue(MPersistentObject& holder, int16_t settingValue);       // table 537
int16_t GetNeutralGraysTableValue(MPersistentObject& holder, int16_t settingValue);   // table 543
int16_t GetEdgeControlTableValue(MPersistentObject& holder, int16_t settingValue);    // table 545
int16_t GetSRGBColorTableValue(MPersistentObject& holder, int16_t settingValue);      // table 552
int16_t GetSRGBExtensionTableValue(MPersistentObject& holder, int16_t settingValue);  // table 552
