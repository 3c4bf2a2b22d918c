#pragma once

#include <array>
#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/objects/persistent_object.h"

// A copy of the user's international settings: eleven numbers and twelve
// texts, each named after the value of the settings it copies. A default
// object holds the settings of US English; the OS services overwrite each
// value that the user's settings hold.
//
// Stored contents after the base part: version 1, the numbers (32-bit each)
// and then the texts, each in the order of its enumeration.
class GLocaleInfo : public MPersistentObject {
 public:
  enum NumberField : uint32_t {
    kCountry,           // iCountry
    kCurrencyDigits,    // iCurrDigits
    kCurrencyFormat,    // iCurrency
    kDateOrder,         // iDate
    kDigits,            // iDigits
    kLeadingZero,       // iLZero
    kMeasure,           // iMeasure
    kNegativeCurrency,  // iNegCurr
    kTimeFormat,        // iTime
    kTimeLeadingZero,   // iTLZero
    // The locale identifier's text read as a decimal number: 409 for the
    // identifier 00000409 of US English.
    kLocale,
    kNumberCount
  };
  enum TextField : uint32_t {
    kAmSymbol,           // s1159
    kPmSymbol,           // s2359
    kCountryName,        // sCountry
    kCurrencySymbol,     // sCurrency
    kDateSeparator,      // sDate
    kDecimalSeparator,   // sDecimal
    kLanguage,           // sLanguage
    kListSeparator,      // sList
    kLongDate,           // sLongDate
    kShortDate,          // sShortDate
    kThousandSeparator,  // sThousand
    kTimeSeparator,      // sTime
    kTextCount
  };

  GLocaleInfo();
  explicit GLocaleInfo(int32_t key);

  RWCollectable* NewInstance() const override { return new GLocaleInfo; }
  RWCollectable* Clone() const override { return new GLocaleInfo(*this); }
  RWClassID ClassID() const override { return kGLocaleInfoClassID; }
  // Every number and every text equal.
  bool SameContent(const MPersistentObject& other) const override;

  int32_t Number(NumberField field) const { return numbers_[field]; }
  const RWCString& Text(TextField field) const { return texts_[field]; }

  void SetCountry(int32_t value) { numbers_[kCountry] = value; }
  void SetCurrencyDigits(int32_t value) { numbers_[kCurrencyDigits] = value; }
  void SetCurrencyFormat(int32_t value) { numbers_[kCurrencyFormat] = value; }
  void SetDateOrder(int32_t value) { numbers_[kDateOrder] = value; }
  void SetDigits(int32_t value) { numbers_[kDigits] = value; }
  void SetLeadingZero(int32_t value) { numbers_[kLeadingZero] = value; }
  void SetMeasure(int32_t value) { numbers_[kMeasure] = value; }
  void SetNegativeCurrency(int32_t value) { numbers_[kNegativeCurrency] = value; }
  void SetTimeFormat(int32_t value) { numbers_[kTimeFormat] = value; }
  void SetTimeLeadingZero(int32_t value) { numbers_[kTimeLeadingZero] = value; }
  void SetLocale(int32_t value) { numbers_[kLocale] = value; }
  void SetAmSymbol(const char* text) { SetText(kAmSymbol, text); }
  void SetPmSymbol(const char* text) { SetText(kPmSymbol, text); }
  void SetCountryName(const char* text) { SetText(kCountryName, text); }
  void SetCurrencySymbol(const char* text) { SetText(kCurrencySymbol, text); }
  void SetDateSeparator(const char* text) { SetText(kDateSeparator, text); }
  void SetDecimalSeparator(const char* text) { SetText(kDecimalSeparator, text); }
  void SetLanguage(const char* text) { SetText(kLanguage, text); }
  void SetListSeparator(const char* text) { SetText(kListSeparator, text); }
  void SetLongDate(const char* text) { SetText(kLongDate, text); }
  void SetShortDate(const char* text) { SetText(kShortDate, text); }
  void SetThousandSeparator(const char* text) { SetText(kThousandSeparator, text); }
  void SetTimeSeparator(const char* text) { SetText(kTimeSeparator, text); }

 protected:
  // Reading stops at the first value that fails.
  void Fields(GFieldArchive& archive) override;

 private:
  // A null text stands for an empty one.
  void SetText(TextField field, const char* text) { texts_[field] = text != nullptr ? RWCString(text) : RWCString(); }

  std::array<int32_t, kNumberCount> numbers_;
  std::array<RWCString, kTextCount> texts_;
};
