#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

class GConfiguration;
class GDeviceQueryProvider;
class GDriver;

// One question to the physical printer about its installed options, made
// by a device-query provider for a driver object. Running it records what
// the device answers in a configuration. The query keeps the provider that
// made it, the driver object and the printer name, none of them owned, and
// two texts that the concrete query fills (the second is the model name).
class GDeviceQuery {
 public:
  GDeviceQuery(GDeviceQueryProvider* provider, GDriver* driver, const RWWString& printerName);
  GDeviceQuery(const GDeviceQuery&) = delete;
  GDeviceQuery& operator=(const GDeviceQuery&) = delete;
  virtual ~GDeviceQuery() = default;

  // Whether the device has told its model name.
  virtual bool HasModelName() const = 0;
  virtual const RWCString& GetText1() const { return text1_; }
  virtual const RWCString& GetText2() const { return text2_; }
  // Asks the device and records its installed options in the
  // configuration; flag 1 asks for the strict check of the model. Answers
  // a 16-bit code.
  virtual uint16_t Run(GConfiguration* configuration, int32_t flag) = 0;

  GDeviceQueryProvider* GetProvider() const { return provider_; }
  GDriver* GetDriver() const { return driver_; }
  const RWWString& GetPrinterName() const { return printerName_; }

 protected:
  void SetText1(const RWCString& text) { text1_ = text; }
  void SetText2(const RWCString& text) { text2_ = text; }

 private:
  GDeviceQueryProvider* provider_;
  GDriver* driver_;
  RWWString printerName_;
  RWCString text1_;
  RWCString text2_;
};
