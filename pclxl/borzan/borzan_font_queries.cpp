#include "device/fonts/device_font_description.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/font_properties.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/xl_font_facts.h"
#include "pclxl/borzan/xl_font_format.h"
#include "pclxl/generator/device_font_request.h"

int32_t GBorzan::GetFontCapabilities(const GFont& font) {
  constexpr int32_t kAnyFont = 4;
  constexpr int32_t kAsOutlines = 16;
  constexpr int32_t kAsBitmaps = 28;
  const int32_t style = font.GetKind();
  int32_t answer = kAnyFont;
  if ((style & xl_font::kScalableStyle) != 0) answer += kAsOutlines;
  if ((style & xl_font::kBitmapStyle) == 0) return answer;
  answer += kAsBitmaps;
  if (const GDeviceFontDescription* found = FindQueriedDeviceFont(font.GetFontInfo(), font.GetMetricsRecord())) {
    return DeviceFontFoundAnswer(*found);
  }
  return answer;
}

int32_t GBorzan::MatchDeviceFont(GDeviceFontRequest& request, int32_t kind, int32_t codeMode, uint16_t& code) {
  code = 0;
  request.deviceFont = nullptr;
  const int32_t answer = MatchRequestAnswer(kind);
  if (answer == kNoDeviceFontSearch) return answer;
  const GDeviceFontDescription* found = FindQueriedDeviceFont(request.font, request.metrics);
  if (found == nullptr) return answer;
  request.deviceFont = found;
  if (codeMode == 0) {
    code = xl_font::PclSymbolSet(found->GetPrimarySymbolSet());
  } else if (codeMode == 1) {
    code = xl_font::PclSymbolSet(FontPropertyValue(request.font, request.metrics, GFontProperty::kOwnEncoding));
  }
  return DeviceFontFoundAnswer(*found);
}

const GDeviceFontDescription* GBorzan::FindQueriedDeviceFont(const GFontInfo& info, const GFontMetrics& metrics) {
  FontCounters()[0] = 1;
  return FindDeviceFont(info, metrics);
}
