#include "model/os/international_settings.h"

#include "model/objects/locale_info.h"
#include "model/objects/text_conversion.h"
#include "model/os/osfactry.h"
#include "model/os/registry_path_name.h"

namespace {

constexpr WideChar kKeyPath[] = QV_WIDE("Control Panel\\International");
// The registry's narrow values hold at most 128 bytes with the terminator.
constexpr uint32_t kLongestText = 127;

struct NumberValue {
  const WideChar* name;
  void (GLocaleInfo::*set)(int32_t);
};

struct TextValue {
  const WideChar* name;
  void (GLocaleInfo::*set)(const char*);
};

constexpr NumberValue kNumbers[] = {
    {QV_WIDE("iCountry"), &GLocaleInfo::SetCountry},
    {QV_WIDE("iCurrDigits"), &GLocaleInfo::SetCurrencyDigits},
    {QV_WIDE("iCurrency"), &GLocaleInfo::SetCurrencyFormat},
    {QV_WIDE("iDate"), &GLocaleInfo::SetDateOrder},
    {QV_WIDE("iDigits"), &GLocaleInfo::SetDigits},
    {QV_WIDE("iLZero"), &GLocaleInfo::SetLeadingZero},
    {QV_WIDE("iMeasure"), &GLocaleInfo::SetMeasure},
    {QV_WIDE("iNegCurr"), &GLocaleInfo::SetNegativeCurrency},
    {QV_WIDE("iTime"), &GLocaleInfo::SetTimeFormat},
    {QV_WIDE("iTLZero"), &GLocaleInfo::SetTimeLeadingZero},
    {QV_WIDE("Locale"), &GLocaleInfo::SetLocale},
};

constexpr TextValue kTexts[] = {
    {QV_WIDE("s1159"), &GLocaleInfo::SetAmSymbol},
    {QV_WIDE("s2359"), &GLocaleInfo::SetPmSymbol},
    {QV_WIDE("sCountry"), &GLocaleInfo::SetCountryName},
    {QV_WIDE("sCurrency"), &GLocaleInfo::SetCurrencySymbol},
    {QV_WIDE("sDate"), &GLocaleInfo::SetDateSeparator},
    {QV_WIDE("sDecimal"), &GLocaleInfo::SetDecimalSeparator},
    {QV_WIDE("sLanguage"), &GLocaleInfo::SetLanguage},
    {QV_WIDE("sList"), &GLocaleInfo::SetListSeparator},
    {QV_WIDE("sLongDate"), &GLocaleInfo::SetLongDate},
    {QV_WIDE("sShortDate"), &GLocaleInfo::SetShortDate},
    {QV_WIDE("sThousand"), &GLocaleInfo::SetThousandSeparator},
    {QV_WIDE("sTime"), &GLocaleInfo::SetTimeSeparator},
};

// The value's text; empty when it is missing.
RWWString UserValue(GOSFactory& factory, const WideChar* name) {
  RWWString text;
  factory.ReadUserString(text, RWWString(kKeyPath), RWWString(name), RWWString());
  return text;
}

}  // namespace

std::unique_ptr<GLocaleInfo> ReadInternationalSettingsFrom(GOSFactory& factory) {
  auto settings = std::make_unique<GLocaleInfo>();
  if (factory.UserKeyExists(RWWString(kKeyPath)) == 0) return settings;
  for (const NumberValue& value : kNumbers) {
    const RWWString text = UserValue(factory, value.name);
    if (text.Length() != 0)
      (settings.get()->*value.set)(static_cast<int32_t>(DecimalTextValue(text.Data(), text.Length())));
  }
  for (const TextValue& value : kTexts) {
    RWWString text = UserValue(factory, value.name);
    if (text.Length() == 0) continue;
    RWCString narrow;
    WideToNarrow(text, narrow);
    if (narrow.Length() > kLongestText) narrow.Resize(kLongestText);
    (settings.get()->*value.set)(narrow.Data());
  }
  return settings;
}
