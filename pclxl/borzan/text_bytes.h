#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "foundation/rw_cstring.h"

// Text as the stream library takes it: ubyte arrays of the characters as
// they stand.
inline std::string_view View(const RWCString& text) { return {text.Data(), text.Length()}; }

inline std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
