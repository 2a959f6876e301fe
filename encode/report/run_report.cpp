#include "encode/report/run_report.h"

#include <array>
#include <utility>

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

JobStatus StatusOf(const JobOutcome& outcome, bool cancelled) {
  if (!outcome.reached) return JobStatus::NotStarted;
  if (outcome.skipped) return JobStatus::Skipped;
  if (outcome.succeeded) return JobStatus::Done;
  return cancelled && outcome.reason.empty() ? JobStatus::Cancelled : JobStatus::Failed;
}

void CountStatuses(const std::vector<JobOutcome>& outcomes, bool cancelled, BatchSummary& summary) {
  std::array<std::size_t, 5> counts{};  // by JobStatus
  for (const JobOutcome& outcome : outcomes) {
    ++counts[static_cast<std::size_t>(StatusOf(outcome, cancelled))];
  }
  const auto count = [&counts](JobStatus status) {
    return counts[static_cast<std::size_t>(status)];
  };
  summary.done = count(JobStatus::Done);
  summary.skipped = count(JobStatus::Skipped);
  summary.failed = count(JobStatus::Failed);
  summary.cancelled = count(JobStatus::Cancelled);
  summary.notStarted = count(JobStatus::NotStarted);
}

std::vector<std::string> SummaryLines(const BatchSummary& summary) {
  std::vector<std::string> lines{"----------", "", summary.completed ? "[終了]" : "[中止]",
                                 std::to_string(summary.done) + "個のファイルを処理。"};
  const std::pair<std::size_t, const char*> counts[] = {
      {summary.skipped, "個のファイルをスキップ。"},
      {summary.failed, "個のファイルが失敗。"},
      {summary.cancelled, "個のファイルを中止。"},
      {summary.notStarted, "個のファイルが未処理。"},
  };
  for (const auto& [count, text] : counts) {
    if (count > 0) lines.push_back(std::to_string(count) + text);
  }
  lines.push_back("処理時間計 ： " + FormatElapsedTime(summary.elapsedMs));
  lines.emplace_back();
  return lines;
}

std::vector<std::string> RunReportLines(const std::vector<JobOutcome>& outcomes,
                                        const BatchSummary& summary) {
  std::vector<std::string> lines;
  std::vector<std::string> notStarted;
  for (const JobOutcome& outcome : outcomes) {
    if (!outcome.reached) {
      notStarted.push_back("[未処理] " + outcome.outputPath);
      continue;
    }
    const std::vector<std::string> block = JobBlockLines(outcome);
    lines.insert(lines.end(), block.begin(), block.end());
  }
  if (!notStarted.empty()) {
    lines.insert(lines.end(), notStarted.begin(), notStarted.end());
    lines.emplace_back();
  }
  const std::vector<std::string> closing = SummaryLines(summary);
  lines.insert(lines.end(), closing.begin(), closing.end());
  return lines;
}

}  // namespace lumio
