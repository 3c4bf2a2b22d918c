#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "graphics/output/output_channel_provider.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/os/date_time.h"
#include "model/os/os_version.h"

class GCommand;
class GConfiguration;
class GPeripheral;
class GPJL;
class GState;

// The OS factory of the job-header tests: a fixed local time and minute
// offset (or none at all), a fixed operating system, and a chosen answer to
// the progress question.
class FixedClockFactory : public TestGraphicsDeviceFactory {
 public:
  FixedClockFactory();
  ~FixedClockFactory() override;

  int32_t GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) override;
  GOSVersion& GetOSVersion(GOSVersion& record) override;
  int32_t IsProgressSuppressed() override { return progressSuppressed; }

  // 2026-12-11 09:41:07.
  GDateTime time{2026, 12, 11, 9, 41, 7, 0, 5};
  int16_t offset = 0;
  bool timeAvailable = true;
  // Windows 2000, build 2195.
  GOSVersion system{13, 5u << 16, 2195};
  int32_t progressSuppressed = 0;
};

// A memory output-channel provider registered for its lifetime.
class RegisteredMemoryProvider {
 public:
  RegisteredMemoryProvider();
  ~RegisteredMemoryProvider();
  RegisteredMemoryProvider(const RegisteredMemoryProvider&) = delete;
  RegisteredMemoryProvider& operator=(const RegisteredMemoryProvider&) = delete;

  // The bytes of the last channel made, empty before the first.
  std::string Output() const;

 private:
  GOutputChannelProvider provider_{GOutputChannelProvider::Kind::kMemory};
};

// Has the stage process the command (taken over) and answers the error
// code of what comes back, 0 when it is no error command.
uint16_t ProcessThrough(GPeripheral& stage, GCommand* command);

// One job through a printer that holds a copy of the writer and a test
// generator named "TESTPDL": a document start carrying the settings, then
// a document end.
struct PJLJob {
  // The job settings (a document state, key 246) the document start
  // carries; null for none.
  std::unique_ptr<GState> settings;
  // The writer's own configuration; null for none.
  GConfiguration* configuration = nullptr;
  TestGraphicsDevice* device = nullptr;
  RWWString documentName = RWWString(QV_WIDE("Report"));
  RWCString alternateName;
  RWWString outputName = RWWString(QV_WIDE("memory"));
};

// The error code each command came back with (0 for none).
struct PJLJobStatus {
  uint16_t start = 0;
  uint16_t end = 0;
};
PJLJobStatus RunJob(PJLJob& job, const GPJL& writer);
