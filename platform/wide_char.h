#pragma once

// Wide text is UTF-16 on both builds. Windows' wchar_t already is a 16-bit
// code unit; elsewhere char16_t is. QV_WIDE("text") writes a literal of that
// unit type, so one spelling serves both builds.
#ifdef _WIN32
using WideChar = wchar_t;
#define QV_WIDE(text) L##text
#else
using WideChar = char16_t;
#define QV_WIDE(text) u##text
#endif

static_assert(sizeof(WideChar) == 2, "wide text is stored as 16-bit units");
