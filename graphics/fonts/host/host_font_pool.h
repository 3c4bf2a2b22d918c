#pragma once

#include "graphics/fonts/truetype/tt_font_pool.h"

// The font host's pool of TrueType fonts, which MakeHostFont makes the
// process's pool when there is none. Its fonts are GHostFontData objects,
// which carry their own renderers, so it attaches nothing to them.
class GHostFontPool final : public GTTFontPool {};
