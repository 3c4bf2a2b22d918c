#include "render_host/sample/synthetic_photo.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>

#include "graphics/jpeg_destination.h"

namespace {

struct Rgb {
  double red;
  double green;
  double blue;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

// The height of a ridge line (0 at the top, 1 at the bottom) at x in 0..1.
double Ridge(double x, double base, double amplitude, double phase) {
  return base - amplitude * (0.6 * std::sin(6.0 * x + phase) + 0.4 * std::sin(15.0 * x + 2.0 * phase));
}

// The colour of the scene at (x, y) in 0..1, the horizon at 0.7.
Rgb Scene(double x, double y) {
  constexpr double kHorizon = 0.7;
  const Rgb zenith{40, 90, 180};
  const Rgb haze{200, 215, 235};
  if (y > kHorizon) {
    // The lake: the sky upside down, darker, with ripples.
    const double mirrored = kHorizon - (y - kHorizon) * 2.0;
    const double ripple = 0.08 * std::sin(120.0 * y + 8.0 * std::sin(10.0 * x));
    const Rgb sky = Mix(zenith, haze, std::clamp(mirrored / kHorizon + ripple, 0.0, 1.0));
    return Mix(sky, Rgb{20, 50, 80}, 0.35);
  }
  if (y > Ridge(x, 0.62, 0.05, 1.3)) return Mix(Rgb{60, 120, 50}, Rgb{30, 70, 30}, (y - 0.55) / 0.15);
  if (y > Ridge(x, 0.5, 0.08, 0.2)) return Mix(Rgb{110, 140, 120}, Rgb{70, 100, 80}, (y - 0.4) / 0.3);
  const double sun = std::hypot(x - 0.75, (y - 0.22) * 0.75);
  if (sun < 0.06) return Rgb{255, 245, 200};
  const Rgb sky = Mix(zenith, haze, std::clamp(y / kHorizon, 0.0, 1.0));
  return Mix(Rgb{255, 230, 170}, sky, std::clamp((sun - 0.06) / 0.12, 0.0, 1.0));
}

// Noise of -8..7 from a fixed sequence.
class Noise {
 public:
  int Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>(state_ >> 28) - 8;
  }

 private:
  uint32_t state_ = 12345;
};

char Channel(double value, int noise) { return static_cast<char>(std::clamp(static_cast<int>(value) + noise, 0, 255)); }

struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

[[noreturn]] void ReturnToRecoveryPoint(j_common_ptr common) {
  std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->recovery, 1);
}

int16_t Append(void* context, const uint8_t* bytes, uint32_t count) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), count);
  return 0;
}

// Compresses into output; false when the library reported an error. No
// object with a destructor lives between the recovery point and the library.
bool Compress(jpeg_compress_struct& compressor, ErrorManager& error, std::string_view pixels, uint32_t width,
              uint32_t height, int components, int quality, std::string* output) {
  if (setjmp(error.recovery) != 0) return false;
  compressor.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = ReturnToRecoveryPoint;
  jpeg_create_compress(&compressor);
  SetJpegDestination(&compressor, 0, Append, output);
  compressor.image_width = width;
  compressor.image_height = height;
  compressor.input_components = components;
  compressor.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&compressor);
  jpeg_set_quality(&compressor, quality, TRUE);
  jpeg_start_compress(&compressor, TRUE);
  const size_t rowBytes = size_t{width} * static_cast<size_t>(components);
  if (pixels.size() < rowBytes * height) ERREXIT(&compressor, JERR_BAD_LENGTH);
  while (compressor.next_scanline < height) {
    auto* row =
        const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(pixels.data()) + rowBytes * compressor.next_scanline);
    jpeg_write_scanlines(&compressor, &row, 1);
  }
  jpeg_finish_compress(&compressor);
  return true;
}

}  // namespace

std::string SyntheticPhotoPixels(uint32_t width, uint32_t height) {
  std::string pixels;
  pixels.reserve(size_t{width} * height * 3);
  Noise noise;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const Rgb colour = Scene((x + 0.5) / width, (y + 0.5) / height);
      const int grain = noise.Next();
      pixels.push_back(Channel(colour.red, grain));
      pixels.push_back(Channel(colour.green, grain));
      pixels.push_back(Channel(colour.blue, grain));
    }
  }
  return pixels;
}

std::string EncodeJpeg(std::string_view pixels, uint32_t width, uint32_t height, int components, int quality) {
  jpeg_compress_struct compressor{};
  ErrorManager error{};
  std::string output;
  const bool compressed = Compress(compressor, error, pixels, width, height, components, quality, &output);
  jpeg_destroy_compress(&compressor);
  return compressed ? output : std::string();
}
