// The component walk reads glyph outlines from font files: any bytes must
// give a list of components without reading outside them. The seeds are a
// simple glyph and composites of each record form.
#include <string>

#include "foundation/testing/fuzz_seeds.h"
#include "pclxl/borzan/glyph_components.h"

namespace {

GFuzzSeeds Seeds() {
  const std::string header("\xFF\xFF\0\0\0\0\0\0\0\0", 10);
  return {
      std::string("\0\x01\0\0\0\0\0\x10\0\x10", 10),
      // Word arguments and a scale, then byte arguments and a 2 x 2 matrix.
      header + std::string("\0\x29\0\x05\0\x01\0\x02\x40\0", 10) + std::string("\0\x80\x01\0\x01\x02", 6) +
          std::string(8, '\0'),
      // Byte arguments and separate x and y scales.
      header + std::string("\0\x40\0\x07\x01\x02\x40\0\x40\0", 10),
  };
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CompositeComponents({data, size});
  return 0;
}
