#include "graphics/colour/gray_conversion.h"

#include <algorithm>
#include <array>

namespace {

struct GrayWeights {
  uint8_t shift = 0;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

// The five tables back to back, as SetGrayTables receives them.
using GrayTables = std::array<uint8_t, kGrayTablesSize>;
enum GrayTable : uint32_t { kRed = 0, kGreen = 256, kBlue = 512, kTone = 768, kWeight = 1024 };

GrayWeights& Weights() {
  static GrayWeights weights;
  return weights;
}

GrayTables& Tables() {
  static GrayTables tables{};
  return tables;
}

}  // namespace

uint32_t GrayStandard(uint8_t red, uint8_t green, uint8_t blue) {
  return ((76u * red + 151u * green + 28u * blue + 255u) / 256u) * 257u;
}

uint32_t GrayWeighted(uint8_t red, uint8_t green, uint8_t blue) {
  const GrayWeights& weights = Weights();
  // A shift the width of the sum or wider would be undefined; the stored
  // parameters come from outside.
  if (weights.shift >= 32) return 0;
  return (uint32_t{red} * weights.red + uint32_t{green} * weights.green + uint32_t{blue} * weights.blue) >>
         weights.shift;
}

uint32_t GrayFromTables(uint8_t red, uint8_t green, uint8_t blue) {
  const GrayTables& tables = Tables();
  const uint8_t mixed = static_cast<uint8_t>(tables[kRed + red] + tables[kGreen + green] + tables[kBlue + blue]);
  const uint8_t spread = static_cast<uint8_t>(std::max({red, green, blue}) - std::min({red, green, blue}));
  const uint32_t weight = tables[kWeight + spread];
  return (uint32_t{tables[kTone + mixed]} * weight + (255u - weight) * mixed + 255u) >> 8;
}

void SetGrayWeights(std::span<const uint8_t, 4> weights) {
  Weights() = {weights[0], weights[1], weights[2], weights[3]};
}

void SetGrayTables(std::span<const uint8_t, kGrayTablesSize> tables) {
  std::copy(tables.begin(), tables.end(), Tables().begin());
}

uint8_t PixelGray(GGrayFunction function, uint8_t red, uint8_t green, uint8_t blue) {
  if (function == nullptr || function == GrayStandard)
    return static_cast<uint8_t>((30 * red + 59 * green + 11 * blue) / 100);
  return static_cast<uint8_t>(function(red, green, blue));
}
