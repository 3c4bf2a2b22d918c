#pragma once

// The two ways the library leaves the process on a fatal fault: it shows a
// message to the user and then ends the process. Both are hooks, so that tests
// can watch a fatal path run to its end without the process going away.
namespace platform {

using FatalMessageSink = void (*)(const char* caption, const char* text);
using ProcessExitHook = void (*)(int exitCode);

// Shows a message that the user must acknowledge (a task-modal message box
// with the error icon on Windows, standard error elsewhere).
void ShowFatalMessage(const char* caption, const char* text);

// Ends the process with the given code; returns only when a test hook is in.
void EndProcess(int exitCode);

// Each setter installs a replacement and returns the one it replaced; a null
// argument restores the default.
FatalMessageSink SetFatalMessageSink(FatalMessageSink sink);
ProcessExitHook SetProcessExitHook(ProcessExitHook hook);

// The platform's own behaviour, which the hooks start out as.
void DefaultFatalMessage(const char* caption, const char* text);
void DefaultProcessExit(int exitCode);

}  // namespace platform
