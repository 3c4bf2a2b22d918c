#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The pages the benchmarks code: A4 at 600 dpi (4,960 x 7,016 pixels), made
// the same way on every run.
enum class PageKind { kText, kPhotograph, kBlank };

constexpr uint32_t kBenchPageWidth = 4960;
constexpr uint32_t kBenchPageHeight = 7016;

struct BenchPage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bitsPerPixel = 0;
  uint32_t rowBytes = 0;
  // Grey pages: 0 is paper and 255 full ink. 1-bit pages: a set bit is ink,
  // the leftmost pixel in the top bit.
  std::vector<uint8_t> bytes;

  const uint8_t* Row(uint32_t y) const { return bytes.data() + static_cast<size_t>(y) * rowBytes; }
};

// "text8", "photo1", ...
std::string BenchPageName(PageKind kind, uint8_t bitsPerPixel);

// The page of this kind and depth (8 or 1 bits per pixel), made on first use.
// Text: mostly paper with lines of glyph-like strokes; photograph: smooth
// gradients with noise (dithered for 1 bit); blank: paper only.
const BenchPage& GetBenchPage(PageKind kind, uint8_t bitsPerPixel);
