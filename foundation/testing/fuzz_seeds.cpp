#include "foundation/testing/fuzz_seeds.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "foundation/error.h"

void StartFuzzTarget(GFuzzSeeds (*make)()) {
  const char* directory = std::getenv("QV_FUZZ_SEEDS");
  if (directory == nullptr) {
    SetErrorHandler([](const GError*) {});
    return;
  }
  const GFuzzSeeds seeds = make();
  bool written = !seeds.empty();
  for (size_t i = 0; i < seeds.size(); ++i) {
    const std::filesystem::path path = std::filesystem::path(directory) / ("seed_" + std::to_string(i));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
    written = written && file.good();
  }
  if (!written) std::fprintf(stderr, "the seeds could not be written to %s\n", directory);
  std::exit(written ? 0 : 1);
}
