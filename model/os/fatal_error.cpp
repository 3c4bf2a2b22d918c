#include "model/os/fatal_error.h"

#include <atomic>
#include <cstdio>

#include "model/os/drvrsrvr.h"
#include "platform/process_hooks.h"

namespace {

constexpr const char kCaption[] = "Printer Driver";
constexpr const char kShutdownMessage[] =
    "There has been a critical error and the printer driver cannot continue.  Save your work, and exit the "
    "current application.  (Error id = %u)";
constexpr const char kPlainMessage[] = "Error id = %u  (No error string table, yet...)";
// The exit code of an abnormal termination.
constexpr int kAbnormalExit = 3;

std::atomic<bool> shuttingDownForFatalError{false};

}  // namespace

void ReportFatalError(int32_t type, uint16_t id, const char*, int32_t, const char*) {
  char message[256];
  std::snprintf(message, sizeof(message), type == kFatalTypeShutdown ? kShutdownMessage : kPlainMessage,
                static_cast<unsigned>(id));
  platform::ShowFatalMessage(kCaption, message);
  if (type == kFatalTypeShutdown && !shuttingDownForFatalError.exchange(true)) {
    if (GDriverServer* server = GDriverServer::Instance()) server->Shutdown();
    shuttingDownForFatalError = false;
  }
  if (type == kFatalTypeExit || type == kFatalTypeShutdown) platform::EndProcess(kAbnormalExit);
}
