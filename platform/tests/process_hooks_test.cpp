#include "platform/process_hooks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string shown;
int exitCode = -1;

void RecordMessage(const char* caption, const char* text) { shown = std::string(caption) + "|" + text; }
void RecordExit(int code) { exitCode = code; }

TEST(ProcessHooks, ReplacementsSeeTheCallsAndDefaultsComeBack) {
  EXPECT_EQ(platform::SetFatalMessageSink(RecordMessage), &platform::DefaultFatalMessage);
  EXPECT_EQ(platform::SetProcessExitHook(RecordExit), &platform::DefaultProcessExit);

  platform::ShowFatalMessage("Caption", "text");
  platform::EndProcess(7);
  EXPECT_EQ(shown, "Caption|text");
  EXPECT_EQ(exitCode, 7);

  // A null argument puts the platform's own behaviour back.
  EXPECT_EQ(platform::SetFatalMessageSink(nullptr), &RecordMessage);
  EXPECT_EQ(platform::SetProcessExitHook(nullptr), &RecordExit);
  EXPECT_EQ(platform::SetFatalMessageSink(nullptr), &platform::DefaultFatalMessage);
  EXPECT_EQ(platform::SetProcessExitHook(nullptr), &platform::DefaultProcessExit);
}

}  // namespace
