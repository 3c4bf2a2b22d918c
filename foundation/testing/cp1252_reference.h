#pragma once

#include <string>

#include "platform/wide_char.h"

// glibc's own conversion between code page 1252 and UTF-16, called directly:
// the reference that native tests hold the library's conversions against.
// Each answers the converted text, or the empty text when iconv refuses the
// input (as the library's conversions answer a failed conversion).
std::basic_string<WideChar> ReferenceWide(const std::string& narrow);
std::string ReferenceNarrow(const std::basic_string<WideChar>& wide);
