// Loads arbitrary bytes as a PNM file. The seeds are small files of each
// kind, P1 to P6, with comments and 8- and 16-bit samples.
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "render_host/fuzz/image_fuzzing.h"

namespace {

GFuzzSeeds Seeds() {
  return {
      "P1\n# bits\n3 2\n101\n010\n",
      std::string("P4 9 2\n\xAA\x80\x55\x00", 11),
      "P2 2 2 15\n0 5\n10 15\n",
      std::string("P5 2 2 255\n\x00\x40\x80\xFF", 15),
      std::string("P5 2 1 65535\n\x12\x34\xFF\xFF", 17),
      "P3\n2 1\n255\n255 0 0  0 0 255\n",
      std::string("P6 2 1 255\n\x10\x20\x30\x40\x50\x60", 17),
  };
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzImageLoader(LoadPnm, data, size);
  return 0;
}
