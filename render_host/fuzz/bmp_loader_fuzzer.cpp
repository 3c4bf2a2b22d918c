// Loads arbitrary bytes as a BMP file. The seeds are the small BMP files of
// every layout that the graphics tests decode (plain, run-length, bit-field
// and top-down rows).
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "graphics/testing/bmp_fixtures.h"
#include "render_host/fuzz/image_fuzzing.h"

namespace {

GFuzzSeeds Seeds() {
  GFuzzSeeds seeds;
  for (const GBmpFixture& fixture : kBmpFixtures) seeds.emplace_back(fixture.file);
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzImageLoader(LoadBmp, data, size);
  return 0;
}
