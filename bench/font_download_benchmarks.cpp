#include "bench/font_download_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/measured_pair.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/host/host_fonts.h"
#include "graphics/fonts/testing/system_fonts.h"
#include "graphics/fonts/text_string.h"
#include "graphics/tests/host_font_support.h"
#include "pclxl/testing/borzan_job.h"

namespace {

// Glyphs 3 onwards (after the missing glyph and the controls), in lines of
// 50 on a letter page at 600 dpi.
constexpr uint16_t kFirstGlyph = 3;
constexpr uint32_t kGlyphs = 1000;
constexpr uint16_t kGlyphsPerLine = 50;
constexpr int16_t kGlyphPitch = 90;
constexpr int16_t kLinePitch = 150;
constexpr int16_t kMargin = 300;
constexpr int16_t kResolution = 600;
constexpr double kPoints = 12;
constexpr uint32_t kOwner = 1;

// One line of glyphs; the graphic takes over a handle of its own.
GTextStringGraphic* Line(const GHostFont& font, uint16_t first, int16_t y) {
  std::vector<uint16_t> glyphs;
  std::vector<GPoint> positions;
  for (uint16_t i = 0; i < kGlyphsPerLine; ++i) {
    glyphs.push_back(static_cast<uint16_t>(first + i));
    positions.push_back({static_cast<int16_t>(kMargin + i * kGlyphPitch), y});
  }
  return new GTextStringGraphic(new GHostFont(font), GCodeBlock<uint16_t>(std::move(glyphs)),
                                GTextString::kGlyphIndexEncoding, positions, 0, nullptr);
}

// A job of one page that shows every glyph once; false when a step failed.
bool PrintGlyphJob(xl_job::Job& job, const GHostFont& font) {
  uint16_t shown = 0;
  const auto showGlyphs = [&](xl_job::Job& j) {
    for (uint32_t line = 0; line < kGlyphs / kGlyphsPerLine && shown == 0; ++line) {
      const auto first = static_cast<uint16_t>(kFirstGlyph + line * kGlyphsPerLine);
      shown = j.Process(Line(font, first, static_cast<int16_t>(kMargin + line * kLinePitch)));
    }
  };
  const uint16_t status = job.Start() == 0 ? job.Print({}, showGlyphs) : 1;
  return job.End() == 0 && status == 0 && shown == 0;
}

void ReportGlyphs(benchmark::State& state, uint64_t jobBytes) {
  state.counters["glyphs_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kGlyphs), benchmark::Counter::kIsRate);
  state.counters["bytes_per_job"] = static_cast<double>(jobBytes);
}

// The job's bytes; empty when the font or the job failed.
std::string GlyphJobBytes(xl_job::Job& job, const std::unique_ptr<GHostFont>& font) {
  return font != nullptr && PrintGlyphJob(job, *font) ? job.Output() : std::string();
}

void GeneratorDownload(benchmark::State& state) {
  const host_font_testing::PoolGuard pool;
  const std::unique_ptr<GHostFont> font =
      MakeHostFont(system_fonts::kDejaVuSans, kPoints, kResolution, nullptr, kOwner);
  xl_job::Job job;
  if (GlyphJobBytes(job, font).empty()) return state.SkipWithError("the job failed");
  for (auto _ : state) {
    if (!PrintGlyphJob(job, *font)) return state.SkipWithError("the job failed");
  }
  ReportGlyphs(state, job.Output().size());
}

// The bytes of one job, written once beforehand, copied as one block.
void PlainDownload(benchmark::State& state) {
  std::string bytes;
  {
    const host_font_testing::PoolGuard pool;
    xl_job::Job job;
    bytes = GlyphJobBytes(job, MakeHostFont(system_fonts::kDejaVuSans, kPoints, kResolution, nullptr, kOwner));
  }
  if (bytes.empty()) return state.SkipWithError("the job failed");
  std::vector<char> out(bytes.size());
  for (auto _ : state) {
    std::memcpy(out.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  ReportGlyphs(state, out.size());
}

}  // namespace

void RegisterFontDownloadBenchmarks() {
  RegisterMeasuredPair("xl_font_download/1000_glyphs", GeneratorDownload, PlainDownload);
}
