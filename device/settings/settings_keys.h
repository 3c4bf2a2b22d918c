#pragma once

#include <cstdint>

// Keys of the settings tree that the compact settings format treats apart.

// The device description's settings template, and the document settings
// made from it, with the groups that the 16-bit encoding never takes from
// a stream: installed options and the two other groups stored in the
// printer data, and the group that is kept out of the DEVMODE.
inline constexpr int32_t kSettingsTemplateKey = 359;
inline constexpr int32_t kDocumentSettingsKey = 360;
inline constexpr int32_t kInstalledOptionsKey = 365;
inline constexpr int32_t kStoredGroupKey = 366;
inline constexpr int32_t kOtherStoredGroupKey = 368;
inline constexpr int32_t kDevmodeOnlyGroupKey = 283;

// Settings imported from the configuration library: any child is taken.
inline constexpr int32_t kImportedSettingsKey = 1101;

// The quick-set pool, the device description's list of the settings a
// quick set holds, and a set's name and per-user flag.
inline constexpr int32_t kQuickSetPoolKey = 0x4000005C;
inline constexpr int32_t kQuickSetSettingsKey = 375;
inline constexpr int32_t kQuickSetNameKey = 376;
inline constexpr int32_t kQuickSetPerUserKey = 1124;
// The name of a quick set's custom paper size, taken wherever it is met.
inline constexpr int32_t kCustomSizeNameKey = 0x40000018;

// The watermark pool and a watermark; the custom-size pool and a custom
// size. The two templates only give stored entries their defaults.
inline constexpr int32_t kWatermarkPoolKey = 378;
inline constexpr int32_t kWatermarkKey = 380;
inline constexpr int32_t kCustomSizePoolKey = 276;
inline constexpr int32_t kCustomSizeTemplateKey = 0x40000019;

// Lists of names whose entries (string attributes) come from the printer,
// not from the defaults: user paper-source names and output-bin names. The
// list of user-interface extensions (file names) takes nothing stored.
inline constexpr int32_t kUserSourceNamesKey = 701;
inline constexpr int32_t kBinNamesKey = 314;
inline constexpr int32_t kExtensionListKey = 63;
