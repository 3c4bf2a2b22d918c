// Tests of the three grey conversions: known vectors for each, the
// parameter and table setters, and the edges of the parameters.
#include "graphics/colour/gray_conversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace {

struct Vector {
  const char* name;
  uint8_t red, green, blue;
  uint32_t gray;
};

void ExpectVectors(GGrayFunction function, std::initializer_list<Vector> vectors) {
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(function(v.red, v.green, v.blue), v.gray);
  }
}

// The level in the low byte, and the same level on a 16-bit scale.
TEST(GrayStandard, Vectors) {
  // clang-format off
  ExpectVectors(GrayStandard, {
      {"white",      255, 255, 255, 65535},
      {"black",        0,   0,   0,     0},
      {"red",        255,   0,   0, 76 * 257},
      {"green",        0, 255,   0, 151 * 257},
      {"blue",         0,   0, 255, 28 * 257},
      {"mid_grey",   128, 128, 128, 128 * 257},
      {"rounds_up",    1,   0,   0,   257},
      {"orange",     255, 128,   0, 152 * 257},
  });
  // clang-format on
}

TEST(GrayWeighted, VectorsUnderEachSetOfWeights) {
  struct Weights {
    const char* name;
    std::array<uint8_t, 4> parameters;
    std::initializer_list<Vector> vectors;
  };
  // clang-format off
  const Weights sets[] = {
      {"luminance_over_256", {8, 77, 150, 29}, {
          {"white", 255, 255, 255, 255},
          {"red",   255,   0,   0,  76},
          {"mixed",  10, 200,  30, 123},
      }},
      {"plain_sum", {0, 1, 1, 1}, {
          {"white_beyond_a_byte", 255, 255, 255, 765},
          {"mixed",                10, 200,  30, 240},
      }},
      {"shift_of_16", {16, 255, 255, 255}, {
          {"white", 255, 255, 255, 2},
      }},
      {"shift_of_32_gives_zero", {32, 1, 0, 0}, {
          {"red", 255, 0, 0, 0},
      }},
      {"shift_of_255_gives_zero", {255, 255, 255, 255}, {
          {"white", 255, 255, 255, 0},
      }},
  };
  // clang-format on
  for (const Weights& set : sets) {
    SCOPED_TRACE(set.name);
    SetGrayWeights(set.parameters);
    ExpectVectors(GrayWeighted, set.vectors);
  }
}

// Red, green and blue tables that pass the level through and a tone table
// that inverts it; the weight table is given per case.
std::array<uint8_t, kGrayTablesSize> Tables(uint8_t (*weight)(uint32_t spread)) {
  std::array<uint8_t, kGrayTablesSize> tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    tables[i] = tables[256 + i] = tables[512 + i] = static_cast<uint8_t>(i);
    tables[768 + i] = static_cast<uint8_t>(255 - i);
    tables[1024 + i] = weight(i);
  }
  return tables;
}

TEST(GrayFromTables, VectorsUnderEachWeightTable) {
  struct WeightTable {
    const char* name;
    uint8_t (*weight)(uint32_t spread);
    std::initializer_list<Vector> vectors;
  };
  // clang-format off
  const WeightTable sets[] = {
      // (m x 255 + 255) >> 8 with m the sum of the levels modulo 256,
      // whatever the tone table.
      {"weights_of_zero", [](uint32_t) -> uint8_t { return 0; }, {
          {"red",          255,   0,   0, 255},
          {"sum_wraps",    100, 100, 100,  44},
          {"black",          0,   0,   0,   0},
      }},
      // (tone[m] x 255 + 255) >> 8.
      {"weights_of_255", [](uint32_t) -> uint8_t { return 255; }, {
          {"sum_wraps",    100, 100, 100, 211},
          {"black",          0,   0,   0, 255},
      }},
      // The weight is the spread of the components (largest minus
      // smallest): (tone[90] x 40 + 215 x 90 + 255) >> 8.
      {"weight_is_the_spread", [](uint32_t spread) { return static_cast<uint8_t>(spread); }, {
          {"spread_40",     10,  50,  30, 102},
          {"grey_spread_0", 30,  30,  30,  90},
          {"full_spread",  255,   0,   0,   0},
      }},
  };
  // clang-format on
  for (const WeightTable& set : sets) {
    SCOPED_TRACE(set.name);
    SetGrayTables(Tables(set.weight));
    ExpectVectors(GrayFromTables, set.vectors);
  }
}

// The five tables are taken in their order: red, green, blue, tone, weight.
TEST(GrayFromTables, EachTableIsReadFromItsOwnPlace) {
  std::array<uint8_t, kGrayTablesSize> tables{};
  tables[0 + 1] = 1;      // red 1 -> 1
  tables[256 + 2] = 10;   // green 2 -> 10
  tables[512 + 3] = 100;  // blue 3 -> 100
  tables[768 + 111] = 200;
  tables[1024 + 2] = 128;  // spread of (1, 2, 3)
  SetGrayTables(tables);
  // m = 111, w = 128: (200 x 128 + 127 x 111 + 255) >> 8.
  EXPECT_EQ(GrayFromTables(1, 2, 3), (200u * 128 + 127 * 111 + 255) >> 8);
}

}  // namespace
