#include "platform/process_hooks.h"

#include <atomic>
#include <cstdlib>

namespace platform {
namespace {

std::atomic<FatalMessageSink> messageSink{DefaultFatalMessage};
std::atomic<ProcessExitHook> exitHook{DefaultProcessExit};

}  // namespace

void ShowFatalMessage(const char* caption, const char* text) { messageSink.load()(caption, text); }

void EndProcess(int exitCode) { exitHook.load()(exitCode); }

FatalMessageSink SetFatalMessageSink(FatalMessageSink sink) {
  return messageSink.exchange(sink ? sink : DefaultFatalMessage);
}

ProcessExitHook SetProcessExitHook(ProcessExitHook hook) { return exitHook.exchange(hook ? hook : DefaultProcessExit); }

void DefaultProcessExit(int exitCode) { std::exit(exitCode); }

}  // namespace platform
