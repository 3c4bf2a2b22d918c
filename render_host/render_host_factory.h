#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "model/os/date_time.h"
#include "model/os/memory_os_factory.h"

// The render host's operating-system services: the in-memory ones, with
// render objects that are render host devices and, when a clock is set, a
// local time that stays that clock, so that two runs of one job write the
// same bytes.
class GRenderHostFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<GDriverInterface> CreateRenderDriverObject(const GDriverKey& key) override;
  int32_t GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) override;

  void SetClock(const GDateTime& clock) { clock_ = clock; }

 private:
  std::optional<GDateTime> clock_;
};
