#pragma once

#include <string>
#include <vector>

// The seed corpus of a fuzz target, made by the project's own writers, so
// that fuzzing starts from inputs in the formats as this system writes them.
// The build runs every target that makes its seeds once, with QV_FUZZ_SEEDS
// naming a directory (qv_add_fuzzer in cmake/QvTesting.cmake).
using GFuzzSeeds = std::vector<std::string>;

// Called first in LLVMFuzzerInitialize. When QV_FUZZ_SEEDS is set, writes
// each seed that make answers into a file of its own in that directory and
// ends the process. Otherwise installs an error handler that returns, as the
// module's own does: failing is the expected answer to bad input.
void StartFuzzTarget(GFuzzSeeds (*make)());

// The LLVMFuzzerInitialize of a target that needs nothing else at its start:
// StartFuzzTarget with the target's seed maker.
#define QV_FUZZ_TARGET_SEEDS(make)                     \
  extern "C" int LLVMFuzzerInitialize(int*, char***) { \
    StartFuzzTarget(make);                             \
    return 0;                                          \
  }
