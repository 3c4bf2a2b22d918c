#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"

// What the user-interface side asks of the page-description generator
// below the pipeline head: whether a soft font's selection text can be used
// with the generator's printer language. The generators implement it.
class GFontEscapeCheck {
 public:
  GFontEscapeCheck() = default;
  GFontEscapeCheck(const GFontEscapeCheck&) = default;
  GFontEscapeCheck& operator=(const GFontEscapeCheck&) = default;
  virtual ~GFontEscapeCheck() = default;

  // 1 when the selection text can be used, else 0.
  virtual int32_t IsFontEscapeUsable(const RWCString& selection) = 0;
};
