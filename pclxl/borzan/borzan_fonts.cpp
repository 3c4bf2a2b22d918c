#include <memory>

#include "device/driver/tree_lookup.h"
#include "device/fonts/device_font_description.h"
#include "device/fonts/device_font_list.h"
#include "device/fonts/device_font_list_composite.h"
#include "device/media/media.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/font_properties.h"
#include "graphics/fonts/text_escapements.h"
#include "graphics/fonts/text_string.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/borzan_font_record.h"
#include "pclxl/borzan/text_bytes.h"
#include "pclxl/borzan/xl_font_facts.h"
#include "pclxl/borzan/xl_font_format.h"
#include "pclxl/borzan/xl_font_selection.h"
#include "pclxl/xl_font_operators.h"
#include "pclxl/xl_path_operators.h"

namespace {

// What the printer is asked for to embolden or slant a face that lacks
// the weight or the italic the text asks for.
constexpr float kEmboldening = 0.015F;
constexpr float kItalicShear = 0.31623F;
constexpr float kLeastSize = 0.000001F;
constexpr char kEscape = 0x1B;
// The symbol encoding, which printer fonts of the three symbol character
// sets show under their own encoding.
constexpr int32_t kSymbolEncoding = 3;

int32_t Property(const GFont& font, GFontProperty property) {
  return FontPropertyValue(font.GetFontInfo(), font.GetMetricsRecord(), property);
}

float FloatProperty(const GFont& font, GFontProperty property) {
  return static_cast<float>(FontProperty(font.GetFontInfo(), font.GetMetricsRecord(), property));
}

// A scale the host left unset (not a positive number) shows the font as
// it is.
float Scale(const GFont& font, GFontProperty property) {
  const float scale = FloatProperty(font, property);
  return scale > 0 ? scale : 1.0F;
}

// A printer font serves a font of its face, weight, style and character
// set: at any size when the printer scales it, else at its one height and
// unscaled.
bool DeviceFontServes(const GDeviceFontDescription& device, const GFontInfo& info, const GFontMetrics& metrics) {
  const auto value = [&](GFontProperty property) { return FontPropertyValue(info, metrics, property); };
  const auto scale = [&](GFontProperty property) { return static_cast<float>(FontProperty(info, metrics, property)); };
  if (device.GetValue44() != value(GFontProperty::kWeight) || device.GetValue48() != value(GFontProperty::kItalic) ||
      device.GetSymbolSets().CountOf(value(GFontProperty::kOwnEncoding)) == 0 || device.GetName() != info.faceName) {
    return false;
  }
  return device.GetValue60() == 1 || (device.GetValue64() == value(GFontProperty::kHeight) &&
                                      scale(GFontProperty::kXScale) == 1.0F && scale(GFontProperty::kYScale) == 1.0F);
}

// The encoding a printer font shows a string in: the string's own when the
// font carries it, else the font's character set.
int32_t DeviceEncoding(const GFont& font, const GDeviceFontDescription& device, int32_t textEncoding) {
  const int32_t characterSet = Property(font, GFontProperty::kOwnEncoding);
  if (textEncoding == kSymbolEncoding && characterSet >= 53 && characterSet <= 55) return characterSet;
  const bool bothUnicode =
      textEncoding == GTextString::kUnicodeEncoding && characterSet == GTextString::kUnicodeEncoding;
  if (device.GetSymbolSets().CountOf(textEncoding) > 0 || bothUnicode) return textEncoding;
  return characterSet;
}

// The size, weight, slant, scale and direction a font is shown at.
void SetFontShape(const GFont& font, GBorzan::TextState& state) {
  state.characterSize = Property(font, GFontProperty::kHeight);
  if (Property(font, GFontProperty::kRequestedWeight) > Property(font, GFontProperty::kWeight)) {
    state.boldValue = kEmboldening;
  }
  if (Property(font, GFontProperty::kItalic) == 0 && Property(font, GFontProperty::kRequestedItalic) == 1) {
    state.shearX = kItalicShear;
  }
  state.scaleX = Scale(font, GFontProperty::kXScale);
  state.scaleY = Scale(font, GFontProperty::kYScale);
  state.angle = FloatProperty(font, GFontProperty::kEscapementAngle);
}

}  // namespace

uint16_t GBorzan::DeleteFont(const RWCString& fontName) {
  XLRemoveFont(Stream(), Bytes(View(fontName)));
  if (textState_.selection == fontName) textState_.selection = RWCString(kNoFont);
  return TakeStatus();
}

uint16_t GBorzan::DrawTextString(GTextStringGraphic& graphic) {
  GFont* font = graphic.GetFont();
  const GTextString* text = graphic.GetText();
  if (font == nullptr || font->GetBody() == nullptr || text == nullptr) return TakeStatus();
  if (!IsInPath()) XLNewPath(Stream());
  const bool opaque = PaintsOpaque(false);
  if (opaque) SetTxModes(0);
  if (GBorzanFontRef* record = TextFontRecord(*font, *text); record != nullptr) {
    if (record->GetDownloadKind() == GDownloadedFont::kResidentKind) {
      ShowWithDeviceFont(graphic, *font, *record);
    } else {
      ShowWithDownload(graphic, *font, *record);
    }
  }
  if (opaque) SetTxModes(1);
  return TakeStatus();
}

GBorzanFontRef* GBorzan::TextFontRecord(GFont& font, const GTextString& text) {
  if (auto* own = dynamic_cast<GBorzanFontRef*>(font.GetDownloadedFontRef()); own != nullptr && own->IsKnownTo(this)) {
    return own;
  }
  GDownloadedFontCache* cache = DownloadedFontCache();
  if (cache == nullptr) return nullptr;
  if (cache->Find(font)) return static_cast<GBorzanFontRef*>(font.GetDownloadedFontRef());
  if (text.GetEncoding() != GTextString::kGlyphIndexEncoding) {
    if (const GDeviceFontDescription* device = FindDeviceFont(font.GetFontInfo(), font.GetMetricsRecord());
        device != nullptr) {
      GBorzanFontRef* record =
          AddFontRecord(font, GDownloadedFont::kResidentKind, Property(font, GFontProperty::kOwnEncoding));
      record->SetDeviceFont(const_cast<GDeviceFontDescription*>(device));
      record->SetName(device->GetText1());
      const uint32_t units = MemoryBudget().IsTracking() + xl_font::FontPageUnits(xl_font::FontCharacters(font));
      record->AddSize(units * 1024);
      return record;
    }
  }
  const int32_t encoding = text.GetEncoding();
  const bool mapped = encoding == GTextString::kGlyphIndexEncoding || (encoding >= 16 && encoding <= 23);
  const bool outline = (font.GetKind() & xl_font::kScalableStyle) != 0;
  GBorzanFontRef* record = AddFontRecord(font, outline ? GDownloadedFont::kOutlineKind : GDownloadedFont::kBitmapKind,
                                         mapped ? GTextString::kMappedEncoding : encoding);
  const int32_t number = FontCounters()[1]++;
  record->SetName(RWCString((std::to_string(number) + (outline ? "TT" : "BM")).c_str()));
  return record;
}

GBorzanFontRef* GBorzan::AddFontRecord(GFont& font, int32_t kind, int32_t encoding) {
  auto record = std::make_unique<GBorzanFontRef>(this);
  record->SetDownloadKind(kind);
  record->SetEncoding(encoding);
  record->SetUseStamp(NextUseStamp());
  font.SetDownloadedFontRef(std::unique_ptr<GDownloadedFontRef>(record->Duplicate()));
  DownloadedFontCache()->Add(font.GetFontInfo(), font.GetMetricsRecord(), std::move(record));
  return static_cast<GBorzanFontRef*>(font.GetDownloadedFontRef());
}

const GDeviceFontDescription* GBorzan::FindDeviceFont(const GFontInfo& info, const GFontMetrics& metrics) const {
  GDeviceFontListComposite* lists = DeviceFontListInUse();
  if (lists == nullptr) return nullptr;
  const GDeviceFontDescription* found = nullptr;
  ForEachChildAs<GDeviceFontList>(*lists, [&](GDeviceFontList& list) {
    for (const GDeviceFontDescription& device : list) {
      if (DeviceFontServes(device, info, metrics)) {
        found = &device;
        return false;
      }
    }
    return true;
  });
  return found;
}

void GBorzan::ShowWithDeviceFont(GTextStringGraphic& graphic, GFont& font, GBorzanFontRef& record) {
  const GDeviceFontDescription* device = record.GetDeviceFont();
  const GTextString& text = *graphic.GetText();
  if (device == nullptr) return;
  const int32_t encoding = DeviceEncoding(font, *device, text.GetEncoding());
  TextState wanted;
  wanted.selection = device->GetText1();
  wanted.symbolSet = xl_font::PclSymbolSet(encoding);
  SetFontShape(font, wanted);
  wanted.subMode = xl_font::IsVertical(font) ? 1 : 0;
  wanted.writingMode = wanted.subMode;
  ApplyTextAttributes(wanted);
  if (encoding == text.GetEncoding()) {
    WriteText(graphic, text);
  } else {
    WriteText(graphic, GTextString(text, encoding, GlyphCodeMapper()));
  }
}

void GBorzan::ShowWithDownload(GTextStringGraphic& graphic, GFont& font, GBorzanFontRef& record) {
  const GTextString& text = *graphic.GetText();
  const GTextString codes =
      record.GetEncoding() == text.GetEncoding() ? text : GTextString(text, record.GetEncoding(), GlyphCodeMapper());
  SendGlyphs(font, record, text, codes);
  ApplyTextAttributes(DownloadedSelection(font, record));
  WriteText(graphic, codes);
  record.SetUseStamp(NextUseStamp());
}

GBorzan::TextState GBorzan::DownloadedSelection(const GFont& font, const GBorzanFontRef& record) const {
  TextState wanted;
  wanted.selection = record.GetName();
  wanted.symbolSet = xl_font::PclSymbolSet(record.GetEncoding());
  if (record.GetDownloadKind() == GDownloadedFont::kBitmapKind) {
    // Bitmaps are made at the device's pixels, at their one size.
    wanted.characterSize = Property(font, GFontProperty::kHeight);
    return wanted;
  }
  SetFontShape(font, wanted);
  wanted.writingMode = xl_font::IsVertical(font) ? 1 : 0;
  return wanted;
}

void GBorzan::ApplyTextAttributes(const TextState& wanted) {
  TextState& now = textState_;
  if (wanted.boldValue != now.boldValue) XLSetCharBoldValue(Stream(), wanted.boldValue);
  if (wanted.shearX != now.shearX || wanted.shearY != now.shearY || wanted.scaleX != now.scaleX ||
      wanted.scaleY != now.scaleY || wanted.angle != now.angle) {
    XLSetCharShear(Stream(), XLPair<float>{wanted.shearX, wanted.shearY});
    XLSetCharScale(Stream(), XLPair<float>{wanted.scaleX, wanted.scaleY});
    XLSetCharAngle(Stream(), wanted.angle);
  }
  if (wanted.subMode != now.subMode) XLSetCharSubMode(Stream(), std::span<const uint8_t>(&wanted.subMode, 1));
  if (wanted.writingMode != now.writingMode) XLSetCharAttributes(Stream(), wanted.writingMode);
  if (wanted.selection != now.selection || wanted.characterSize != now.characterSize ||
      wanted.symbolSet != now.symbolSet) {
    const std::string_view selection = View(wanted.selection);
    if (selection.find(kEscape) == std::string_view::npos) {
      XLSetFont(Stream(), Bytes(selection), wanted.characterSize > 0 ? wanted.characterSize : kLeastSize,
                wanted.symbolSet);
    } else {
      XLSetFontPCLSelect(Stream(), Bytes(FillSizePlaceholders(selection, wanted.characterSize, YResolution())));
    }
  }
  now = wanted;
}

void GBorzan::WriteText(const GTextStringGraphic& graphic, const GTextString& codes) {
  GPoint position = graphic.GetPosition();
  if (HasTextFlag() && CurrentMedium() != nullptr) position.x += CurrentMedium()->GetPrintableOrigin().x;
  XLSetCursor(Stream(), XLPair<int16_t>{static_cast<int16_t>(position.x), static_cast<int16_t>(position.y)});
  std::span<const int16_t> xSpacing;
  std::span<const int16_t> ySpacing;
  if (const GTextEscapements* escapements = graphic.GetEscapements(); escapements != nullptr) {
    if (escapements->GetXAdvances() != nullptr) xSpacing = {escapements->GetXAdvances(), escapements->GetCount()};
    if (escapements->GetYAdvances() != nullptr) ySpacing = {escapements->GetYAdvances(), escapements->GetCount()};
  }
  if (codes.GetCodeSize() == 1) {
    XLText(Stream(), {static_cast<const uint8_t*>(codes.GetCodes()), codes.GetLength()}, xSpacing, ySpacing);
  } else if (codes.GetCodeSize() == 2) {
    XLText(Stream(), {static_cast<const uint16_t*>(codes.GetCodes()), codes.GetLength()}, xSpacing, ySpacing);
  }
}
