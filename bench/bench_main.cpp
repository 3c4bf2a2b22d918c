// The coder benchmarks: each coder of the rendering side on six A4 pages at
// 600 dpi, and the PCL XL generator on a page of shapes and on a job of
// 100 pages, each beside a reference in the same run, then a table of the
// ratios.
// Takes Google Benchmark's flags (--benchmark_repetitions, --benchmark_out,
// --benchmark_filter, ...).
#include <benchmark/benchmark.h>

#include <iostream>

#include "bench/coder_benchmarks.h"
#include "bench/job_benchmarks.h"
#include "bench/ratio_table.h"
#include "bench/shape_benchmarks.h"

int main(int argc, char** argv) {
  RegisterCoderBenchmarks();
  RegisterShapeBenchmarks();
  RegisterJobBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioTable table;
  benchmark::RunSpecifiedBenchmarks(&table);
  table.PrintTable(std::cout);
  benchmark::Shutdown();
  return 0;
}
