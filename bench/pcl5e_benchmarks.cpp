#include "bench/pcl5e_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/measured_pair.h"
#include "pcl5e/testing/pcl5e_job.h"

namespace {

constexpr uint32_t kPages = 200;

void ReportPages(benchmark::State& state, uint64_t jobBytes) {
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kPages), benchmark::Counter::kIsRate);
  state.counters["bytes_per_page"] = static_cast<double>(jobBytes) / kPages;
}

// A whole job an iteration: document start, the blank pages, document end;
// false when a step failed.
bool PrintBlankJob(pcl5_job::Job& job) {
  uint16_t status = job.Start();
  for (uint32_t page = 0; page < kPages && status == 0; ++page) status = job.Print({});
  return job.End() == 0 && status == 0;
}

void GeneratorJob(benchmark::State& state) {
  pcl5_job::Job job;
  for (auto _ : state) {
    if (!PrintBlankJob(job)) return state.SkipWithError("the job failed");
  }
  ReportPages(state, job.Output().size());
}

// The job's bytes, written once beforehand, copied a byte at a time.
void PlainJob(benchmark::State& state) {
  pcl5_job::Job job;
  if (!PrintBlankJob(job)) return state.SkipWithError("the job failed");
  const std::string bytes = job.Output();
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    for (const char byte : bytes) out.push_back(static_cast<uint8_t>(byte));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  ReportPages(state, out.size());
}

}  // namespace

void RegisterPcl5eBenchmarks() { RegisterMeasuredPair("pcl5e_job/200_blank_pages", GeneratorJob, PlainJob); }
