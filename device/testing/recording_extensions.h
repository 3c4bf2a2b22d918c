#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/extensions/device_query.h"
#include "device/extensions/driver_extension_manager.h"
#include "device/extensions/job_notifier.h"

// Recording doubles of the services that the extensions give the driver
// object. Each records its calls as text ("register:<path>") and answers
// what the test set.

// What the extension managers made while an ExtensionManagerInstaller was in
// place did; it outlives the managers, which their driver objects delete.
struct ExtensionManagerLog {
  std::vector<std::string> calls;
  std::vector<const GDriver*> owners;
  uint16_t answer = 0;
  int32_t deleted = 0;
};

class RecordingExtensionManager : public GDriverExtensionManager {
 public:
  RecordingExtensionManager(GDriver& owner, ExtensionManagerLog& log);
  ~RecordingExtensionManager() override { ++log_.deleted; }

  void Clear() override { log_.calls.push_back("clear"); }
  uint16_t RegisterExtension(const RWCString& path) override;
  uint16_t UnregisterExtension(const RWCString& path) override;

 private:
  ExtensionManagerLog& log_;
};

// Installs the creator of recording managers for its lifetime, each
// recording into log; puts back the creator installed before.
class ExtensionManagerInstaller {
 public:
  explicit ExtensionManagerInstaller(ExtensionManagerLog& log);
  ExtensionManagerInstaller(const ExtensionManagerInstaller&) = delete;
  ExtensionManagerInstaller& operator=(const ExtensionManagerInstaller&) = delete;
  ~ExtensionManagerInstaller();

 private:
  GDriverExtensionManager::Creator previous_;
  ExtensionManagerLog* previousLog_;
};

// A device query that records the configuration and flag it ran with.
class RecordingDeviceQuery : public GDeviceQuery {
 public:
  using GDeviceQuery::GDeviceQuery;
  using GDeviceQuery::SetText1;
  using GDeviceQuery::SetText2;

  bool HasModelName() const override { return GetText2().Length() != 0; }
  uint16_t Run(GConfiguration* configuration, int32_t flag) override;

  struct RunCall {
    GConfiguration* configuration;
    int32_t flag;
  };
  std::vector<RunCall> runs;
  uint16_t answer = 0;
};

class RecordingJobNotifier : public GJobNotifier {
 public:
  int32_t BeginJob(GDriver& driver, GAttributeComposite* settings, const void* documentInfo) override;
  int32_t EndPage(GDriver& driver, GAttributeComposite* settings) override;
  int32_t EndJob(GDriver& driver, GAttributeComposite* settings) override;
  int32_t AbortJob(GDriver& driver, GAttributeComposite* settings) override;

  struct Call {
    std::string name;
    GDriver* driver;
    GAttributeComposite* settings;
    const void* documentInfo;
  };
  std::vector<Call> calls;
  int32_t answer = 1;

 private:
  int32_t Record(const char* name, GDriver& driver, GAttributeComposite* settings, const void* documentInfo);
};
