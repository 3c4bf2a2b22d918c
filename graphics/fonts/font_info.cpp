#include "graphics/fonts/font_info.h"

bool GFontMetrics::SameMeasures(const GFontMetrics& other) const {
  return floatMetric1.Get() == other.floatMetric1.Get() && floatMetric2.Get() == other.floatMetric2.Get() &&
         metric3 == other.metric3 && metric4 == other.metric4 && metric5 == other.metric5 && metric6 == other.metric6 &&
         metric9 == other.metric9 && metric10 == other.metric10;
}
