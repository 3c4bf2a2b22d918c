// Loads arbitrary bytes as a JPEG file. The seeds are small colour and grey
// JPEG files of the sample picture.
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "render_host/fuzz/image_fuzzing.h"
#include "render_host/sample/synthetic_photo.h"

namespace {

GFuzzSeeds Seeds() {
  const std::string colour = SyntheticPhotoPixels(32, 24);
  std::string grey;
  for (size_t i = 0; i < colour.size(); i += 3) grey.push_back(colour[i + 1]);
  return {EncodeJpeg(colour, 32, 24, 3, 75), EncodeJpeg(grey, 32, 24, 1, 75), EncodeJpeg(colour, 32, 24, 3, 100)};
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzImageLoader(LoadJpeg, data, size);
  return 0;
}
