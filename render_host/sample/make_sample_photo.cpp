// Writes the sample job's photograph: make_sample_photo <file.jpg>.
#include <cstdio>
#include <fstream>
#include <string>

#include "render_host/sample/synthetic_photo.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 427;
constexpr int kQuality = 85;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_photo <file.jpg>\n");
    return 2;
  }
  const std::string jpeg = EncodeJpeg(SyntheticPhotoPixels(kWidth, kHeight), kWidth, kHeight, 3, kQuality);
  std::ofstream out(argv[1], std::ios::binary);
  if (jpeg.empty() || !out.write(jpeg.data(), static_cast<std::streamsize>(jpeg.size())) || !out.flush()) {
    std::fprintf(stderr, "make_sample_photo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
