#include "bench/measured_pair.h"

#include <string>
#include <utility>

namespace {

__attribute__((noinline)) void MeasuredRunOfPair(MeasuredBenchmark run, benchmark::State& state) { run(state); }

}  // namespace

void RegisterMeasuredPair(const char* name, MeasuredBenchmark ours, MeasuredBenchmark reference) {
  for (const auto& [side, run] : {std::pair{"ours/", ours}, std::pair{"reference/", reference}}) {
    const MeasuredBenchmark measured = run;
    benchmark::RegisterBenchmark((std::string(side) + name).c_str(), [measured](benchmark::State& s) {
      MeasuredRunOfPair(measured, s);
    })->Unit(benchmark::kMillisecond);
  }
}
