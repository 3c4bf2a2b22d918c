#pragma once

#include <benchmark/benchmark.h>

using MeasuredBenchmark = void (*)(benchmark::State&);

// Registers "ours/<name>" and "reference/<name>" in milliseconds, each run
// through one function whose instructions `bench/run --instructions`
// counts, so that what a benchmark makes before it measures is left out.
void RegisterMeasuredPair(const char* name, MeasuredBenchmark ours, MeasuredBenchmark reference);
