#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"

// The key under which the driver server caches a driver object. The server
// reuses a cached object for a new key when both belong to the same driver.
class GDriverKey {
 public:
  GDriverKey() = default;
  GDriverKey(const GDriverKey&) = default;
  GDriverKey& operator=(const GDriverKey&) = default;
  virtual ~GDriverKey() = default;

  // The same printer seen the same way; the base knows nothing to compare.
  virtual bool IsSame(const GDriverKey& other) const;
  virtual bool IsSameDriver(const GDriverKey& other) const = 0;
};

// The spooler's handle of an open printer; the identity does not own it.
using PrinterHandle = void*;

// Which printer an entry point was called for: the spooler's handle and the
// printer, driver and port names. Every entry point builds one as its key
// to the driver server.
class GPrinterIdentity : public GDriverKey {
 public:
  GPrinterIdentity() = default;
  GPrinterIdentity(PrinterHandle handle, const RWWString& printerName, const RWWString& driverName,
                   const RWWString& portName, int32_t flag);

  // Same handle, printer name, flag, driver name and port name.
  bool IsSame(const GDriverKey& other) const override;
  // Same driver name.
  bool IsSameDriver(const GDriverKey& other) const override;

  PrinterHandle Handle() const { return handle_; }
  const RWWString& PrinterName() const { return printerName_; }
  const RWWString& DriverName() const { return driverName_; }
  const RWWString& PortName() const { return portName_; }
  int32_t Flag() const { return flag_; }

 private:
  PrinterHandle handle_ = nullptr;
  RWWString printerName_;
  RWWString driverName_;
  RWWString portName_;
  int32_t flag_ = 0;
};
