#pragma once

#include <cstdint>
#include <span>

// The conversions of a colour to a grey level for jobs printed in grey.
// Each answers a 32-bit value whose low byte is the grey level (0 black,
// 255 white). A job's graphics device chooses one; the generators and the
// bitmap scan-line conversion call it.
using GGrayFunction = uint32_t (*)(uint8_t red, uint8_t green, uint8_t blue);

// ((76 R + 151 G + 28 B + 255) / 256) x 257: the level in the low byte and,
// as a whole, the same level on a 16-bit scale.
uint32_t GrayStandard(uint8_t red, uint8_t green, uint8_t blue);
// (R x wR + G x wG + B x wB) >> s with the parameters of SetGrayWeights; a
// shift of 32 or more gives 0.
uint32_t GrayWeighted(uint8_t red, uint8_t green, uint8_t blue);
// The table method with the tables of SetGrayTables: a mixed level m from
// the red, green and blue tables, a weight from the colour's spread (the
// largest minus the smallest component), and the tone table's level for m
// blended with m by that weight.
uint32_t GrayFromTables(uint8_t red, uint8_t green, uint8_t blue);

// The grey level of a pixel as bitmap rows are converted: while the job
// uses GrayStandard (or none is set) the level is (30 R + 59 G + 11 B) / 100;
// otherwise the low byte of what the job's function answers.
uint8_t PixelGray(GGrayFunction function, uint8_t red, uint8_t green, uint8_t blue);

// The parameters and tables are one set for the whole process, unlocked:
// one job is rendered at a time, and the next job that sets them replaces
// them for every job.
//
// The four bytes s, wR, wG, wB.
void SetGrayWeights(std::span<const uint8_t, 4> weights);
// Five tables of 256 bytes, in order: red, green, blue, tone and weight.
inline constexpr uint32_t kGrayTablesSize = 5 * 256;
void SetGrayTables(std::span<const uint8_t, kGrayTablesSize> tables);
