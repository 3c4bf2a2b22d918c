#include "bench/coder_benchmarks.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "bench/bench_page.h"
#include "bench/page_row_source.h"
#include "bench/reference_coders.h"
#include "foundation/memory_byte_channel.h"
#include "graphics/adaptive_row_compressor.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/bitmaps/run_length_decoder.h"
#include "graphics/delta_row_compressor.h"
#include "graphics/image_rows/image_row_pipeline.h"
#include "graphics/jpeg_row_compressor.h"
#include "graphics/packbits_row_compressor.h"
#include "graphics/row_pad_filter.h"
#include "model/objects/lzw_codec.h"
#include "model/objects/zlib_compressor.h"
#include "pclxl/xl_run_length_row.h"
#include "postscript/library/pslib_context.h"

namespace {

const CoderReference kReferences[] = {
    {"pad", "memcpy of the page", 1.5},
    {"packbits", "plain PackBits", 1.3},
    {"delta", "plain delta rows", 1.3},
    {"adaptive", "plain adaptive rows", 1.3},
    {"xl_run_length", "plain PackBits of 127", 1.3},
    {"jpeg", "libjpeg, quality 95", 1.1},
    {"zlib", "compress2, default level", 1.1},
    {"lzw", "memcpy of the page", 0},
    {"rle8_decode", "plain run-length decoder", 1.5},
    {"image_pipeline", "plain nearest-neighbour scale and threshold", 1.3},
    {"xl_shapes", "plain byte stores of the same operators", 0},
    {"xl_job", "plain byte appends of the same operators", 0},
    {"ps_hex", "plain sprintf of two digits a byte", 1.0},
    {"ps_ascii85", "memcpy of the page", 0},
};

// Room for any coder's output of the largest page (LZW may grow noise),
// made and touched before the benchmarks run, so that none pays for it.
constexpr uint32_t kOutputRoom = 2 * kBenchPageWidth * kBenchPageHeight + 4096;
uint8_t* OutputArea() {
  static std::vector<uint8_t> area(kOutputRoom, 1);
  return area.data();
}

// Pulls the page through a stage with calls calls of ReadRow; a stage that
// fails fails the benchmark.
void RunStage(benchmark::State& state, GRowFilter& stage, const BenchPage& page, uint32_t calls) {
  PageRowSource source(page);
  stage.SetSource(&source);
  if (stage.Open() == 0) return state.SkipWithError("the stage did not open");
  std::vector<uint8_t> buffer(stage.GetMaxRowBytes() + 1);
  uint64_t total = 0;
  for (uint32_t k = 0; k < calls; ++k) {
    uint16_t row = 0;
    uint32_t length = 0;
    uint8_t repeat = 1;
    uint8_t rows = 1;
    if (stage.ReadRow(buffer.data(), row, length, repeat, rows) != GRowFilter::kRowDelivered)
      return state.SkipWithError("the stage failed");
    total += length;
  }
  benchmark::DoNotOptimize(total);
}

template <class Stage, class... Arguments>
void StageBenchmark(benchmark::State& state, const BenchPage& page, Arguments... arguments) {
  for (auto _ : state) {
    Stage stage(arguments...);
    RunStage(state, stage, page, page.height);
  }
}

void JpegStage(benchmark::State& state, const BenchPage& page) {
  for (auto _ : state) {
    GJpegRowCompressor stage(1, 0);
    stage.SetOutputBuffer(OutputArea(), kOutputRoom);
    RunStage(state, stage, page, 1);
    benchmark::DoNotOptimize(stage.GetOutputSize());
  }
}

void XLRunLengthRows(benchmark::State& state, const BenchPage& page) {
  std::vector<uint8_t> out(2 * page.rowBytes + 8);
  for (auto _ : state) {
    size_t total = 0;
    for (uint32_t y = 0; y < page.height; ++y) total += XLEncodeRunLengthRow({page.Row(y), page.rowBytes}, out, 0);
    benchmark::DoNotOptimize(total);
  }
}

void ZlibWrapper(benchmark::State& state, const BenchPage& page) {
  for (auto _ : state) {
    GMemoryByteChannel in(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
    GMemoryByteChannel out(OutputArea(), kOutputRoom, GMemoryByteChannel::kForWriting);
    if (!GZlibCompressor().Compress(in, out)) state.SkipWithError("compression failed");
  }
}

void LzwCodec(benchmark::State& state, const BenchPage& page) {
  for (auto _ : state) {
    GMemoryByteChannel in(page.bytes.data(), static_cast<uint32_t>(page.bytes.size()));
    GMemoryByteChannel out(OutputArea(), kOutputRoom, GMemoryByteChannel::kForWriting);
    if (!GLzwCodec().Encode(in, out)) state.SkipWithError("encoding failed");
  }
}

// A PostScript data block of the page's rows, hex or ASCII85, through the
// output context into a sink that drops every block.
class DroppingSink : public PSLIBSink {
 public:
  void Write(const uint8_t* bytes, uint32_t count) override { benchmark::DoNotOptimize(bytes[count - 1]); }
};

void PostScriptData(benchmark::State& state, const BenchPage& page, bool ascii85) {
  DroppingSink sink;
  PSLIBContext context(&sink);
  context.SetASCII85(ascii85);
  for (auto _ : state) {
    context.BeginData(true);
    for (uint32_t y = 0; y < page.height; ++y) context.WriteData({page.Row(y), page.rowBytes});
    context.EndData(0, true);
    context.Flush();
  }
}

// An 8 x 8 threshold matrix spread over the levels, for both sides of the
// image pipeline's benchmark.
constexpr uint8_t kMatrixSize = 8;
const uint8_t* BenchMatrixCells() {
  static const std::vector<uint8_t> cells = [] {
    std::vector<uint8_t> made(kMatrixSize * kMatrixSize);
    for (uint32_t i = 0; i < made.size(); ++i) made[i] = static_cast<uint8_t>((i * 37 % 64) * 4 + 2);
    return made;
  }();
  return cells.data();
}

// The page as a bitmap printed at its own size and halftoned, rows padded
// to 4 bytes, as a generator reads an image.
void ImagePipeline(benchmark::State& state, const BenchPage& page) {
  GBitmapDescription description;
  description.ownsData = false;
  description.data = page.bytes.data();
  description.dataSize = static_cast<uint32_t>(page.bytes.size());
  description.rowAlignment = 1;
  description.bounds = {0, 0, static_cast<int16_t>(page.width), static_cast<int16_t>(page.height)};
  description.bitsPerComponent = 8;
  const GBitmap bitmap(description);
  GDitherMatrix matrix(kMatrixSize, kMatrixSize, BenchMatrixCells(), 1, 0);
  for (auto _ : state) {
    GRectangle destination = description.bounds;
    GImageRowPipeline pipeline(description.bounds, destination, nullptr, bitmap, 0, GImageRowPipeline::kHalftoneAlways,
                               &matrix, new GRowPadFilter(4, 0), 0, GrayStandard);
    std::vector<uint8_t> buffer(pipeline.GetMaxRowBytes() + 1);
    uint64_t total = 0;
    for (uint32_t y = 0; y < page.height; ++y) {
      uint16_t row = 0;
      uint32_t length = 0;
      uint8_t repeat = 1;
      uint8_t rows = 1;
      if (pipeline.ReadRow(buffer.data(), row, length, repeat, rows) != GRowFilter::kRowDelivered)
        return state.SkipWithError("the pipeline failed");
      total += length;
    }
    benchmark::DoNotOptimize(total);
  }
}

// The references.

void PlainImageRows(benchmark::State& state, const BenchPage& page) {
  std::vector<uint8_t> out((page.width + 7) / 8);
  for (auto _ : state) {
    for (uint32_t y = 0; y < page.height; ++y) {
      PlainScaleAndThreshold(page.Row(static_cast<uint64_t>(y) * page.height / page.height), page.width, page.width, y,
                             BenchMatrixCells(), kMatrixSize, kMatrixSize, out.data());
      benchmark::DoNotOptimize(out.data());
    }
  }
}

void MemcpyPage(benchmark::State& state, const BenchPage& page) {
  std::vector<uint8_t> row(page.rowBytes);
  for (auto _ : state) {
    for (uint32_t y = 0; y < page.height; ++y) std::memcpy(row.data(), page.Row(y), page.rowBytes);
    benchmark::DoNotOptimize(row.data());
    benchmark::ClobberMemory();
  }
}

template <class Code>
void PlainRows(benchmark::State& state, const BenchPage& page, Code code) {
  std::vector<uint8_t> out(2 * page.rowBytes + 16);
  std::vector<uint8_t> seed(page.rowBytes);
  for (auto _ : state) {
    std::fill(seed.begin(), seed.end(), 0);
    size_t total = 0;
    for (uint32_t y = 0; y < page.height; ++y) total += code(page.Row(y), seed.data(), page.rowBytes, y, out.data());
    benchmark::DoNotOptimize(total);
  }
}

void PlainJpeg(benchmark::State& state, const BenchPage& page) {
  for (auto _ : state) {
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    compressor.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&compressor);
    compressor.image_width = page.width;
    compressor.image_height = page.height;
    compressor.input_components = 1;
    compressor.data_precision = 8;
    jpeg_default_colorspace(&compressor);
    jpeg_set_quality(&compressor, 95, TRUE);
    unsigned char* buffer = OutputArea();
    unsigned long size = kOutputRoom;  // NOLINT: libjpeg's own type
    jpeg_mem_dest(&compressor, &buffer, &size);
    jpeg_start_compress(&compressor, TRUE);
    for (uint32_t y = 0; y < page.height; ++y) {
      JSAMPROW line = const_cast<JSAMPROW>(page.Row(y));
      jpeg_write_scanlines(&compressor, &line, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    benchmark::DoNotOptimize(size);
  }
}

void Compress2(benchmark::State& state, const BenchPage& page) {
  for (auto _ : state) {
    uLongf length = page.bytes.size();
    if (compress2(OutputArea(), &length, page.bytes.data(), page.bytes.size(), Z_DEFAULT_COMPRESSION) != Z_OK)
      state.SkipWithError("compress2 failed");
  }
}

// The page in the run-length layout of bitmaps, made once per page.
const std::vector<uint8_t>& RunLengthOf(const BenchPage& page) {
  static std::map<const BenchPage*, std::vector<uint8_t>> encoded;
  auto [entry, made] = encoded.try_emplace(&page);
  if (made) entry->second = PlainRunLength8Encode(page.bytes.data(), page.width, page.height, page.rowBytes);
  return entry->second;
}

void RunLengthDecoder(benchmark::State& state, const BenchPage& page) {
  const std::vector<uint8_t>& input = RunLengthOf(page);
  for (auto _ : state) {
    const std::vector<uint8_t> rows = DecodeRunLength(input, 8, page.width, page.rowBytes, page.bytes.size());
    benchmark::DoNotOptimize(rows.data());
  }
}

void PlainRunLengthDecoder(benchmark::State& state, const BenchPage& page) {
  const std::vector<uint8_t>& input = RunLengthOf(page);
  for (auto _ : state) {
    const std::vector<uint8_t> rows = PlainRunLength8Decode(input, page.width, page.rowBytes, page.bytes.size());
    benchmark::DoNotOptimize(rows.data());
  }
}

using Benchmark = std::function<void(benchmark::State&, const BenchPage&)>;

// Every benchmark runs through here, after its page is made, so that
// `bench/run --instructions` counts this call's instructions only.
__attribute__((noinline)) void MeasuredRun(const Benchmark& run, benchmark::State& state, const BenchPage& page) {
  run(state, page);
}

void PlainHex(benchmark::State& state, const BenchPage& page) {
  std::vector<char> out(2 * page.rowBytes + 1);
  for (auto _ : state) {
    for (uint32_t y = 0; y < page.height; ++y) {
      const uint8_t* row = page.Row(y);
      for (uint32_t x = 0; x < page.rowBytes; ++x) std::snprintf(&out[2 * x], 3, "%02X", row[x]);
      benchmark::DoNotOptimize(out.data());
    }
  }
}

// The page is made when the first benchmark that needs it runs.
void Register(const char* coder, PageKind kind, uint8_t depth, Benchmark ours, Benchmark reference) {
  const std::string suffix = std::string("/") + coder + "/" + BenchPageName(kind, depth);
  for (const auto& side : {std::pair{"ours", ours}, std::pair{"reference", reference}}) {
    const Benchmark run = side.second;
    benchmark::RegisterBenchmark((side.first + suffix).c_str(), [run, kind, depth](benchmark::State& s) {
      MeasuredRun(run, s, GetBenchPage(kind, depth));
    })->Unit(benchmark::kMillisecond);
  }
}

size_t PlainPackBitsRow(const uint8_t* row, uint8_t*, size_t count, uint32_t, uint8_t* out) {
  return PlainPackBits(row, count, out, 128);
}

size_t PlainPackBits127Row(const uint8_t* row, uint8_t*, size_t count, uint32_t, uint8_t* out) {
  return PlainPackBits(row, count, out, 127);
}

size_t PlainDeltaRowOf(const uint8_t* row, uint8_t* seed, size_t count, uint32_t, uint8_t* out) {
  return PlainDeltaRow(row, seed, count, out);
}

size_t PlainAdaptiveRowOf(const uint8_t* row, uint8_t* seed, size_t count, uint32_t y, uint8_t* out) {
  return PlainAdaptiveRow(row, seed, count, y > 0, out);
}

}  // namespace

const CoderReference* FindCoderReference(const std::string& coder) {
  for (const CoderReference& reference : kReferences) {
    if (coder == reference.coder) return &reference;
  }
  return nullptr;
}

void RegisterCoderBenchmarks() {
  using State = benchmark::State;
  OutputArea();
  for (const uint8_t depth : {8, 1}) {
    for (const PageKind kind : {PageKind::kText, PageKind::kPhotograph, PageKind::kBlank}) {
      Register(
          "pad", kind, depth, [](State& s, const BenchPage& p) { StageBenchmark<GRowPadFilter>(s, p, 4, 0); },
          MemcpyPage);
      Register(
          "packbits", kind, depth,
          [](State& s, const BenchPage& p) { StageBenchmark<GPackBitsRowCompressor>(s, p, 1, 0); },
          [](State& s, const BenchPage& p) { PlainRows(s, p, PlainPackBitsRow); });
      Register(
          "delta", kind, depth,
          [](State& s, const BenchPage& p) { StageBenchmark<GDeltaRowCompressor>(s, p, 1, 0, 0); },
          [](State& s, const BenchPage& p) { PlainRows(s, p, PlainDeltaRowOf); });
      Register(
          "adaptive", kind, depth,
          [](State& s, const BenchPage& p) { StageBenchmark<GAdaptiveRowCompressor>(s, p, 1, 0); },
          [](State& s, const BenchPage& p) { PlainRows(s, p, PlainAdaptiveRowOf); });
      Register("xl_run_length", kind, depth, XLRunLengthRows,
               [](State& s, const BenchPage& p) { PlainRows(s, p, PlainPackBits127Row); });
      // The JPEG stage takes grey or colour rows only.
      if (depth == 8) Register("jpeg", kind, depth, JpegStage, PlainJpeg);
      if (depth == 8) Register("rle8_decode", kind, depth, RunLengthDecoder, PlainRunLengthDecoder);
      if (depth == 8 && kind != PageKind::kBlank)
        Register("image_pipeline", kind, depth, ImagePipeline, PlainImageRows);
      Register("zlib", kind, depth, ZlibWrapper, Compress2);
      Register("lzw", kind, depth, LzwCodec, MemcpyPage);
      Register(
          "ps_hex", kind, depth, [](State& s, const BenchPage& p) { PostScriptData(s, p, false); }, PlainHex);
      Register(
          "ps_ascii85", kind, depth, [](State& s, const BenchPage& p) { PostScriptData(s, p, true); }, MemcpyPage);
    }
  }
}
