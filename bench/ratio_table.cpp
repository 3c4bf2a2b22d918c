#include "bench/ratio_table.h"

#include <iomanip>

#include "bench/coder_benchmarks.h"

void RatioTable::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    // Aggregates follow their repetitions, so the median is kept last.
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
    medians_[run.run_name.str()] = run.GetAdjustedCPUTime();
  }
  ConsoleReporter::ReportRuns(runs);
}

void RatioTable::PrintTable(std::ostream& out) const {
  if (medians_.empty()) return;
  out << "\n"
      << std::left << std::setw(15) << "coder" << std::setw(8) << "page" << std::right << std::setw(11) << "ours ms"
      << std::setw(11) << "ref ms" << std::setw(8) << "ratio" << std::setw(7) << "goal"
      << "  reference\n";
  const std::string prefix = "ours/";
  for (const auto& [name, ours] : medians_) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto reference = medians_.find("reference/" + rest);
    if (reference == medians_.end() || reference->second <= 0) continue;
    const std::string coder = rest.substr(0, rest.find('/'));
    const CoderReference* about = FindCoderReference(coder);
    const double ratio = ours / reference->second;
    out << std::left << std::setw(15) << coder << std::setw(8) << rest.substr(coder.size() + 1) << std::right
        << std::fixed << std::setprecision(2) << std::setw(11) << ours << std::setw(11) << reference->second
        << std::setw(8) << ratio;
    if (about != nullptr && about->goal > 0)
      out << std::setw(7) << about->goal << (ratio > about->goal ? " over" : "     ");
    else
      out << std::setw(7) << "-"
          << "     ";
    out << " " << (about != nullptr ? about->reference : "") << "\n";
  }
}
