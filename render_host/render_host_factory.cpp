#include "render_host/render_host_factory.h"

#include "model/os/printer_identity.h"
#include "render_host/render_host_device.h"

std::unique_ptr<GDriverInterface> GRenderHostFactory::CreateRenderDriverObject(const GDriverKey& key) {
  const auto* identity = dynamic_cast<const GPrinterIdentity*>(&key);
  if (identity == nullptr) return nullptr;
  return std::make_unique<GRenderHostDevice>(identity->PrinterName(), identity->DriverName(), identity->PortName());
}

int32_t GRenderHostFactory::GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) {
  if (!clock_) return GMemoryOSFactory::GetLocalTime(now, shifted, minuteOffset);
  now = *clock_;
  shifted = *clock_;
  minuteOffset = 0;
  return 1;
}
