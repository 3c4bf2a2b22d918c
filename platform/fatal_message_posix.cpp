#include <cstdio>

#include "platform/process_hooks.h"

namespace platform {

void DefaultFatalMessage(const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}

}  // namespace platform
