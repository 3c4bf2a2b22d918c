#include <windows.h>

#include "platform/process_hooks.h"

namespace platform {

void DefaultFatalMessage(const char* caption, const char* text) {
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace platform
