#pragma once

#include "graphics/fonts/downloaded_font_cache.h"

// The PCL XL generator's list of the fonts it has sent or selected on the
// printer. A font matches a listed one of the same face, character set,
// weight and style that was sent the way the font needs now:
// - a printer font (the font is one the printer holds): any size when the
//   printer scales it, else the same height, requested weight and italic,
//   orientation, escapement angle and scales;
// - a downloaded outline font: any size, the printer scales it; the same
//   orientation;
// - a downloaded bitmap font: the same height, requested weight and italic,
//   orientation, escapement angle and scales.
class GBorzanFontCache : public GDownloadedFontCache {
 public:
  bool Find(GFont& font) override;

 private:
  static bool Matches(const Node& node, const GFont& font);
};
