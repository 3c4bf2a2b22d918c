#include "device/testing/recording_extensions.h"

namespace {

// The log of the managers that the installed creator makes.
ExtensionManagerLog* installedLog = nullptr;

std::unique_ptr<GDriverExtensionManager> CreateRecordingManager(GDriver& owner) {
  return std::make_unique<RecordingExtensionManager>(owner, *installedLog);
}

}  // namespace

RecordingExtensionManager::RecordingExtensionManager(GDriver& owner, ExtensionManagerLog& log) : log_(log) {
  log_.owners.push_back(&owner);
}

uint16_t RecordingExtensionManager::RegisterExtension(const RWCString& path) {
  log_.calls.push_back("register:" + std::string(path.Data(), path.Length()));
  return log_.answer;
}

uint16_t RecordingExtensionManager::UnregisterExtension(const RWCString& path) {
  log_.calls.push_back("unregister:" + std::string(path.Data(), path.Length()));
  return log_.answer;
}

ExtensionManagerInstaller::ExtensionManagerInstaller(ExtensionManagerLog& log)
    : previous_(GDriverExtensionManager::SetCreator(CreateRecordingManager)), previousLog_(installedLog) {
  installedLog = &log;
}

ExtensionManagerInstaller::~ExtensionManagerInstaller() {
  GDriverExtensionManager::SetCreator(previous_);
  installedLog = previousLog_;
}

uint16_t RecordingDeviceQuery::Run(GConfiguration* configuration, int32_t flag) {
  runs.push_back({configuration, flag});
  return answer;
}

int32_t RecordingJobNotifier::BeginJob(GDriver& driver, GAttributeComposite* settings, const void* documentInfo) {
  return Record("begin", driver, settings, documentInfo);
}

int32_t RecordingJobNotifier::EndPage(GDriver& driver, GAttributeComposite* settings) {
  return Record("page", driver, settings, nullptr);
}

int32_t RecordingJobNotifier::EndJob(GDriver& driver, GAttributeComposite* settings) {
  return Record("end", driver, settings, nullptr);
}

int32_t RecordingJobNotifier::AbortJob(GDriver& driver, GAttributeComposite* settings) {
  return Record("abort", driver, settings, nullptr);
}

int32_t RecordingJobNotifier::Record(const char* name, GDriver& driver, GAttributeComposite* settings,
                                     const void* documentInfo) {
  calls.push_back({name, &driver, settings, documentInfo});
  return answer;
}
