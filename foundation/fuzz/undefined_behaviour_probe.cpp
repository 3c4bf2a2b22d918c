// A check of the fuzz build rather than a fuzz target: every non-empty input
// overflows a signed addition, which the build must report as a finding that
// ends the run instead of printing it and going on.
#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t size) {
  volatile int32_t largest = std::numeric_limits<int32_t>::max();
  const int32_t sum = largest + static_cast<int32_t>(size);
  return sum == 0 ? 1 : 0;
}
