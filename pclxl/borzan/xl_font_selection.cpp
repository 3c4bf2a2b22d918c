#include "pclxl/borzan/xl_font_selection.h"

#include <array>
#include <cinttypes>
#include <cstdio>

namespace {

// Hundredths as "integer.two digits".
std::string Number(int64_t hundredths) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%" PRId64 ".%02" PRId64, hundredths / 100, hundredths % 100);
  return text.data();
}

void ReplaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
  for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

}  // namespace

std::string FillSizePlaceholders(std::string_view selection, float size, uint16_t yResolution) {
  // The height in hundredths of a point, down to a quarter point.
  const int64_t resolution = yResolution != 0 ? yResolution : 1;
  const int64_t height = static_cast<int64_t>(size) * 7200 / resolution / 25 * 25;
  // A fixed-pitch font of 12 points sets 10 characters to the inch.
  const int64_t pitch = height > 0 ? 1200000 / height : 0;
  std::string text(selection);
  ReplaceAll(text, "#HEIGHT", Number(height));
  ReplaceAll(text, "#PITCH", Number(pitch));
  ReplaceAll(text, "#WIDTH", Number(pitch));
  return text;
}
