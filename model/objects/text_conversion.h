#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

// Conversions between the narrow text of the ANSI code page and wide text.
// They never fail: text that does not convert becomes empty. Each answers 1.

// The multibyte conversion of the narrow text.
int32_t NarrowToWide(const RWCString& narrow, RWWString& wide);
// Text made only of characters up to 127 keeps the low byte of each;
// anything else goes through the multibyte conversion.
int32_t WideToNarrow(const RWWString& wide, RWCString& narrow);
// A copy.
int32_t WideToWide(const RWWString& from, RWWString& to);
