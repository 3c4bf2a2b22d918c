#pragma once

#include "graphics/fonts/font_info.h"

class GDeviceFontDescription;

// A question put to a generator about the printer's own fonts: the font
// wanted (its description and metrics, read through the font property
// table) and, once a generator has answered, the printer font that serves
// it. The printer font belongs to the generator's device font list; none
// when no printer font serves the font.
struct GDeviceFontRequest {
  GFontInfo font;
  GFontMetrics metrics;
  const GDeviceFontDescription* deviceFont = nullptr;
};
