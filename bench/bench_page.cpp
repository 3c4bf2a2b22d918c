#include "bench/bench_page.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr uint32_t kWidth = kBenchPageWidth;
constexpr uint32_t kHeight = kBenchPageHeight;
constexpr uint32_t kMargin = 600;  // one inch
constexpr uint32_t kLinePitch = 100;
constexpr uint32_t kGlyphHeight = 64;
constexpr uint32_t kGlyphWidth = 44;
constexpr uint32_t kGlyphAdvance = 52;
constexpr uint32_t kStroke = 8;
constexpr uint8_t kInk = 255;
constexpr uint8_t kEdge = 128;

class PageRandom {
 public:
  explicit PageRandom(uint32_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint32_t state_;
};

// A grey image of the page's size.
using Grey = std::vector<uint8_t>;

// Fills a rectangle with ink; its left and right columns are half ink, as
// an anti-aliased edge.
void FillStroke(Grey& grey, uint32_t left, uint32_t top, uint32_t width, uint32_t height) {
  for (uint32_t y = top; y < top + height && y < kHeight; ++y) {
    uint8_t* row = grey.data() + static_cast<size_t>(y) * kWidth;
    std::fill(row + left, row + std::min(left + width, kWidth), kInk);
    row[left] = std::max(row[left], kEdge);
    if (left + width < kWidth) row[left + width] = std::max(row[left + width], kEdge);
  }
}

// A glyph of two to four strokes: stems of full or x height, bars at the
// top, middle or baseline, and a diagonal now and then.
void DrawGlyph(Grey& grey, PageRandom& random, uint32_t left, uint32_t baseline) {
  const uint32_t top = baseline - kGlyphHeight;
  const uint32_t xHeight = kGlyphHeight * 2 / 3;
  for (uint32_t strokes = 2 + random.Below(3); strokes > 0; --strokes) {
    switch (random.Below(5)) {
      case 0:
      case 1: {
        const uint32_t height = random.Below(2) == 0 ? kGlyphHeight : xHeight;
        FillStroke(grey, left + random.Below(kGlyphWidth - kStroke), baseline - height, kStroke, height);
        break;
      }
      case 2:
      case 3: {
        const uint32_t bars[] = {baseline - xHeight, baseline - xHeight / 2, baseline - kStroke};
        FillStroke(grey, left, bars[random.Below(3)], kGlyphWidth, kStroke);
        break;
      }
      default:
        for (uint32_t y = 0; y < xHeight; ++y)
          FillStroke(grey, left + y * (kGlyphWidth - kStroke) / xHeight, top + kGlyphHeight - xHeight + y, kStroke, 1);
        break;
    }
  }
}

Grey TextPage() {
  Grey grey(static_cast<size_t>(kWidth) * kHeight, 0);
  PageRandom random(20261210);
  for (uint32_t baseline = kMargin + kGlyphHeight; baseline + kMargin < kHeight; baseline += kLinePitch) {
    // Now and then a paragraph ends early, or a line is left empty.
    const uint32_t lineEnd = random.Below(8) == 0 ? kMargin + random.Below(kWidth - 2 * kMargin) : kWidth - kMargin;
    if (random.Below(12) == 0) continue;
    uint32_t x = kMargin;
    while (x + 10 * kGlyphAdvance < lineEnd) {
      for (uint32_t letters = 2 + random.Below(8); letters > 0; --letters, x += kGlyphAdvance)
        DrawGlyph(grey, random, x, baseline);
      x += kGlyphAdvance;  // the space between words
    }
  }
  return grey;
}

Grey PhotographPage() {
  std::vector<int32_t> across(kWidth);
  std::vector<int32_t> down(kHeight);
  for (uint32_t x = 0; x < kWidth; ++x)
    across[x] = static_cast<int32_t>(60.0 * std::sin(x / 700.0) + 40.0 * x / kWidth);
  for (uint32_t y = 0; y < kHeight; ++y)
    down[y] = static_cast<int32_t>(50.0 * std::cos(y / 900.0) + 30.0 * std::sin(y / 230.0));
  Grey grey(static_cast<size_t>(kWidth) * kHeight);
  PageRandom random(4242);
  for (uint32_t y = 0; y < kHeight; ++y) {
    uint8_t* row = grey.data() + static_cast<size_t>(y) * kWidth;
    for (uint32_t x = 0; x < kWidth; ++x) {
      const int32_t noise = static_cast<int32_t>(random.Next() & 15) - 8;
      row[x] = static_cast<uint8_t>(std::clamp(110 + across[x] + down[y] + noise, 0, 255));
    }
  }
  return grey;
}

// 1 bit per pixel: ink where the grey passes the threshold of its place in
// an 8 x 8 Bayer matrix (an ordered dither, for photographs), or half ink
// (for text, whose edges are half ink).
std::vector<uint8_t> ToBits(const Grey& grey, bool dither) {
  static const uint8_t kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                       {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                       {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                       {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
  const uint32_t rowBytes = kWidth / 8;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * kHeight, 0);
  for (uint32_t y = 0; y < kHeight; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      const uint32_t threshold = dither ? kBayer[y % 8][x % 8] * 4u + 2u : kEdge - 1u;
      if (grey[static_cast<size_t>(y) * kWidth + x] > threshold)
        bits[static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    }
  }
  return bits;
}

std::unique_ptr<BenchPage> MakePage(PageKind kind, uint8_t bitsPerPixel) {
  auto page = std::make_unique<BenchPage>();
  page->width = kWidth;
  page->height = kHeight;
  page->bitsPerPixel = bitsPerPixel;
  page->rowBytes = (kWidth * bitsPerPixel + 7) / 8;
  Grey grey = kind == PageKind::kText         ? TextPage()
              : kind == PageKind::kPhotograph ? PhotographPage()
                                              : Grey(static_cast<size_t>(kWidth) * kHeight, 0);
  page->bytes = bitsPerPixel == 8 ? std::move(grey) : ToBits(grey, kind == PageKind::kPhotograph);
  return page;
}

}  // namespace

std::string BenchPageName(PageKind kind, uint8_t bitsPerPixel) {
  static const char* const kNames[] = {"text", "photo", "blank"};
  return kNames[static_cast<int>(kind)] + std::to_string(bitsPerPixel);
}

const BenchPage& GetBenchPage(PageKind kind, uint8_t bitsPerPixel) {
  static std::map<std::pair<PageKind, uint8_t>, std::unique_ptr<BenchPage>> pages;
  std::unique_ptr<BenchPage>& page = pages[{kind, bitsPerPixel}];
  if (!page) page = MakePage(kind, bitsPerPixel);
  return *page;
}
