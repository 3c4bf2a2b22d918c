#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

// Shows the runs as the console reporter does and keeps each benchmark's
// median processor time (its only time when it ran once; processor time,
// because a shared machine makes wall time noisier); afterwards prints, for every
// "ours/<coder>/<page>" with its "reference/<coder>/<page>", both times and
// their ratio.
class RatioTable : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void PrintTable(std::ostream& out) const;

 private:
  std::map<std::string, double> medians_;
};
