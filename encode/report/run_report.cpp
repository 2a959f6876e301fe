#include "encode/report/run_report.h"

#include "encode/report/time_format.h"

namespace lumio {

std::vector<std::string> JobBlockLines(const JobOutcome& outcome) {
  std::vector<std::string> lines;
  if (outcome.skipped) {
    lines = {"[スキップ]", outcome.outputPath};
  } else {
    lines = {outcome.succeeded ? "[終了]" : "[中止]", outcome.outputPath};
    if (outcome.ran) {
      lines.push_back("処理時間 ： " + FormatElapsedTime(outcome.elapsedMs));
      lines.push_back("再生／処理時間比 ： " +
                      FormatTimeRatio(outcome.playTimeMs, outcome.elapsedMs));
    }
    if (!outcome.reason.empty()) {
      lines.push_back("理由 ： " + outcome.reason);
    }
  }
  for (const std::string& note : outcome.notes) lines.push_back("注意 ： " + note);
  lines.emplace_back();
  return lines;
}

std::vector<std::string> SummaryLines(const BatchSummary& summary) {
  std::vector<std::string> lines{"----------", "", summary.completed ? "[終了]" : "[中止]",
                                 std::to_string(summary.done) + "個のファイルを処理。"};
  if (summary.skipped > 0) {
    lines.push_back(std::to_string(summary.skipped) + "個のファイルをスキップ。");
  }
  lines.push_back("処理時間計 ： " + FormatElapsedTime(summary.elapsedMs));
  lines.emplace_back();
  return lines;
}

std::vector<std::string> RunReportLines(const std::vector<JobOutcome>& outcomes,
                                        const BatchSummary& summary) {
  std::vector<std::string> lines;
  for (const JobOutcome& outcome : outcomes) {
    const std::vector<std::string> block = JobBlockLines(outcome);
    lines.insert(lines.end(), block.begin(), block.end());
  }
  const std::vector<std::string> closing = SummaryLines(summary);
  lines.insert(lines.end(), closing.begin(), closing.end());
  return lines;
}

}  // namespace lumio
