#include "bench/job_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "bench/measured_pair.h"
#include "bench/plain_writer.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/display/rectangle_graphic.h"
#include "pclxl/testing/borzan_job.h"

namespace {

constexpr uint32_t kPages = 100;
// 40 lines of 50 glyphs, each glyph 25 x 40 dots, on a letter page at
// 600 dpi (5100 x 6600 dots).
constexpr int32_t kLines = 40;
constexpr int32_t kGlyphsPerLine = 50;
constexpr int32_t kMargin = 300;
constexpr int32_t kGlyphPitch = 90;
constexpr int32_t kLinePitch = 150;
constexpr int32_t kGlyphWidth = 25;
constexpr int32_t kGlyphHeight = 40;

// Each line a little ragged, as glyphs of different heights sit on it.
const std::vector<GRectangle>& Glyphs() {
  static const std::vector<GRectangle> glyphs = [] {
    std::vector<GRectangle> made;
    for (int32_t line = 0; line < kLines; ++line) {
      for (int32_t glyph = 0; glyph < kGlyphsPerLine; ++glyph) {
        const int32_t left = kMargin + glyph * kGlyphPitch;
        const int32_t bottom = kMargin + line * kLinePitch + kGlyphHeight;
        const int32_t top = bottom - kGlyphHeight + (glyph * 7 % 3) * 4;
        made.push_back({static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(left + kGlyphWidth),
                        static_cast<int16_t>(bottom)});
      }
    }
    return made;
  }();
  return glyphs;
}

// The rectangle commands of a page, all painted with one bundle that holds
// a black colour brush, as the graphics of a real job share their state.
std::vector<GObjectRef> PageGraphics() {
  auto* bundle = new GGraphicBundle;
  const GObjectRef held(bundle);
  bundle->SetBrush(new GBrush(new GColorPaint(new GRGBColor(0, 0, 0, 255)), GGraphicBundle::kBrushKey));
  std::vector<GObjectRef> graphics;
  for (const GRectangle& glyph : Glyphs()) graphics.emplace_back(new GRectangleGraphic(glyph, bundle, 0));
  return graphics;
}

void ReportPages(benchmark::State& state, uint64_t lastJobBytes) {
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kPages), benchmark::Counter::kIsRate);
  state.counters["bytes_per_page"] = static_cast<double>(lastJobBytes) / kPages;
}

// A whole job an iteration: document start, the pages, document end, into
// the memory channel of the registered provider.
void GeneratorJob(benchmark::State& state) {
  const std::vector<GObjectRef> graphics = PageGraphics();
  xl_job::Job job;
  uint16_t drawn = 0;
  const auto drawPage = [&graphics, &drawn](xl_job::Job& j) {
    for (const GObjectRef& graphic : graphics) {
      drawn = j.Process(static_cast<GCommand*>(graphic.Get()));
      if (drawn != 0) return;
    }
  };
  for (auto _ : state) {
    uint16_t status = job.Start();
    for (uint32_t page = 0; page < kPages && status == 0 && drawn == 0; ++page) status = job.Print({}, drawPage);
    if (job.End() != 0 || status != 0 || drawn != 0) return state.SkipWithError("the job failed");
  }
  ReportPages(state, job.Output().size());
}

// The page's frame as the generator writes it: BeginPage with portrait
// orientation, the upper tray's source and the letter size; EndPage with
// one copy.
constexpr uint8_t kBeginPage[] = {0xC0, 0x00, 0xF8, 0x28, 0xC0, 0x04, 0xF8, 0x26, 0xC8, 0xC1, 0x06,
                                  0x00, 'L',  'E',  'T',  'T',  'E',  'R',  0xF8, 0x25, 0x43};
constexpr uint8_t kEndPage[] = {0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44};
// NewPath, RectanglePath with a sint16 box, PaintPath.
constexpr uint32_t kRectangleBytes = 14;

// The reference: per rectangle NewPath, RectanglePath with the box and
// PaintPath, framed per page, appended to one vector.
void PlainJob(benchmark::State& state) {
  const std::vector<GRectangle>& glyphs = Glyphs();
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    for (uint32_t page = 0; page < kPages; ++page) {
      out.insert(out.end(), std::begin(kBeginPage), std::end(kBeginPage));
      for (const GRectangle& glyph : glyphs) {
        const size_t at = out.size();
        out.resize(at + kRectangleBytes);
        PlainWriter write(out.data() + at);
        write.Byte(0x85);
        write.Box(glyph, 0xA1);
        write.Byte(0x86);
      }
      out.insert(out.end(), std::begin(kEndPage), std::end(kEndPage));
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  ReportPages(state, out.size());
}

}  // namespace

void RegisterJobBenchmarks() { RegisterMeasuredPair("xl_job/100_pages", GeneratorJob, PlainJob); }
