#pragma once

#include <cstdint>

// Kinds and ids of fatal errors. Type 1 ends the process at once; type 2
// first shuts the driver server down; other types only show the message.
constexpr int32_t kFatalTypeExit = 1;
constexpr int32_t kFatalTypeShutdown = 2;
constexpr uint16_t kFatalOutOfMemory = 101;
constexpr uint16_t kFatalLockFailed = 301;
constexpr uint16_t kFatalUnlockFailed = 302;
constexpr uint16_t kFatalUnknownHandle = 501;

// Reports an internal failure: shows a fixed message with the id (the file,
// line and further text are not shown) and then, for types 1 and 2, ends the
// process through the platform's exit hook, so it returns only for other
// types or when a test has replaced the hook. A failure reported while a
// type 2 report is already shutting the server down ends the process
// without a second shutdown.
void ReportFatalError(int32_t type, uint16_t id, const char* sourceFile, int32_t line, const char* extra = "");
