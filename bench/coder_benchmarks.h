#pragma once

#include <string>

// Registers one benchmark per coder and page, named "ours/<coder>/<page>",
// each beside its reference "reference/<coder>/<page>".
void RegisterCoderBenchmarks();

// What the coder is measured against, and the ratio (ours / reference) it
// is meant to stay within; 0 where there is no goal.
struct CoderReference {
  const char* coder;
  const char* reference;
  double goal;
};
const CoderReference* FindCoderReference(const std::string& coder);
