#include "model/os/printer_identity.h"

bool GDriverKey::IsSame(const GDriverKey&) const { return false; }

GPrinterIdentity::GPrinterIdentity(PrinterHandle handle, const RWWString& printerName, const RWWString& driverName,
                                   const RWWString& portName, int32_t flag)
    : handle_(handle), printerName_(printerName), driverName_(driverName), portName_(portName), flag_(flag) {}

bool GPrinterIdentity::IsSame(const GDriverKey& other) const {
  const auto* identity = dynamic_cast<const GPrinterIdentity*>(&other);
  return identity != nullptr && identity->handle_ == handle_ && identity->printerName_ == printerName_ &&
         identity->flag_ == flag_ && identity->driverName_ == driverName_ && identity->portName_ == portName_;
}

bool GPrinterIdentity::IsSameDriver(const GDriverKey& other) const {
  const auto* identity = dynamic_cast<const GPrinterIdentity*>(&other);
  return identity != nullptr && identity->driverName_ == driverName_;
}
