// The coder benchmarks: each coder of the rendering side on six A4 pages at
// 600 dpi, the PCL XL generator on a page of shapes, on a job of 100 pages
// and on a font download, and the PCL 5e generator on a blank job, each
// beside a reference in the same run, then a table of the ratios.
// Takes Google Benchmark's flags (--benchmark_repetitions, --benchmark_out,
// --benchmark_filter, ...).
#include <benchmark/benchmark.h>

#include <iostream>

#include "bench/coder_benchmarks.h"
#include "bench/font_download_benchmarks.h"
#include "bench/job_benchmarks.h"
#include "bench/pcl5e_benchmarks.h"
#include "bench/ratio_table.h"
#include "bench/shape_benchmarks.h"

int main(int argc, char** argv) {
  RegisterCoderBenchmarks();
  RegisterShapeBenchmarks();
  RegisterJobBenchmarks();
  RegisterFontDownloadBenchmarks();
  RegisterPcl5eBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioTable table;
  benchmark::RunSpecifiedBenchmarks(&table);
  table.PrintTable(std::cout);
  benchmark::Shutdown();
  return 0;
}
