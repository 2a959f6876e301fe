#pragma once

#include <QMetaType>
#include <cstdint>
#include <string>
#include <vector>

namespace lumio {

// How one job of a batch ended, as its block of the report tells it.
struct JobOutcome {
  bool succeeded = false;
  std::string outputPath;  // the output folder and name joined
  std::int64_t elapsedMs = 0;
  std::int64_t playTimeMs = 0;
  // Why the job failed; empty when it succeeded, was cancelled, or nothing more is known.
  std::string reason;
  // Whether the encoder ran at all: a job that could not be started has no times.
  bool ran = true;
  // The output was up to date and left as it was; the encoder did not run.
  bool skipped = false;
  // What the report adds about the job (pictures left out, its album's ReplayGain
  // fields), one line each.
  std::vector<std::string> notes;
};

// How the whole batch ended.
struct BatchSummary {
  bool completed = false;   // every job ran and succeeded
  std::size_t done = 0;     // jobs that succeeded
  std::size_t skipped = 0;  // jobs whose output was up to date
  std::int64_t elapsedMs = 0;
};

// The report's block for one job: "[終了]" or "[中止]", the output path, the two time
// lines, the reason when there is one, the notes, and an empty line; for a skipped job
// "[スキップ]", the output path, the notes and the empty line.
std::vector<std::string> JobBlockLines(const JobOutcome& outcome);

// The closing block: the rule, the overall outcome, the count, the count skipped when
// any job was, and the total time.
std::vector<std::string> SummaryLines(const BatchSummary& summary);

// The whole report: the blocks in list order, then the summary.
std::vector<std::string> RunReportLines(const std::vector<JobOutcome>& outcomes,
                                        const BatchSummary& summary);

}  // namespace lumio

Q_DECLARE_METATYPE(lumio::JobOutcome)
Q_DECLARE_METATYPE(lumio::BatchSummary)
