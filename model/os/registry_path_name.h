#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"

// A value name that begins with "???" names a registry value instead of a
// printer-data value: "???\" + root + "\" + key path + "\" + value name,
// where root is the number of a predefined root key in decimal (signed or
// not: -2147483647 and 2147483649 both name the current user's root).
struct GRegistryPathName {
  uint32_t root = 0;
  RWWString keyPath;
  RWWString valueName;
};

// Leading decimal digits after an optional minus sign, accumulated in 32
// bits with wrap-around, as the runtime reads numbers from text.
uint32_t DecimalTextValue(const WideChar* text, uint32_t length);

// At least three characters, the first three "???".
bool IsRegistryPathName(const RWWString& name);

// Splits a registry path name: the root is the text between the first and
// the second backslash, read as a decimal number accumulated in 32 bits with
// wrap-around; the key path runs to the last backslash and the value name
// follows it. False when the name has fewer than three backslashes.
bool ParseRegistryPathName(const RWWString& name, GRegistryPathName& parsed);
