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
  // The batch came to the job; false when it ended before (a failure or a cancel).
  bool reached = true;
  // What the report adds about the job (pictures left out, its album's ReplayGain
  // fields), one line each.
  std::vector<std::string> notes;
};

// How one job of a batch ended, as a word.
enum class JobStatus { Done, Failed, Skipped, Cancelled, NotStarted };

// A job's status: a job that did not succeed and has no reason was stopped by a cancel
// when the batch was `cancelled`.
JobStatus StatusOf(const JobOutcome& outcome, bool cancelled);

// How the whole batch ended.
struct BatchSummary {
  bool completed = false;      // every job ran and succeeded
  std::size_t done = 0;        // jobs that succeeded
  std::size_t skipped = 0;     // jobs whose output was up to date
  std::size_t failed = 0;      // jobs that failed, each with its reason
  std::size_t cancelled = 0;   // jobs stopped by a cancel
  std::size_t notStarted = 0;  // jobs the batch never came to
  std::int64_t elapsedMs = 0;
};

// The counts of `summary` from the outcomes of every job of a batch.
void CountStatuses(const std::vector<JobOutcome>& outcomes, bool cancelled, BatchSummary& summary);

// The report's block for one job: "[終了]" or "[中止]", the output path, the two time
// lines, the reason when there is one, the notes, and an empty line; for a skipped job
// "[スキップ]", the output path, the notes and the empty line.
std::vector<std::string> JobBlockLines(const JobOutcome& outcome);

// The closing block: the rule, the overall outcome, the count done, the counts skipped,
// failed, cancelled and not started when there are any, and the total time.
std::vector<std::string> SummaryLines(const BatchSummary& summary);

// The whole report: the blocks of the jobs reached in list order, a line "[未処理]" with
// its output path for each job not reached, then the summary.
std::vector<std::string> RunReportLines(const std::vector<JobOutcome>& outcomes,
                                        const BatchSummary& summary);

}  // namespace lumio

Q_DECLARE_METATYPE(lumio::JobOutcome)
Q_DECLARE_METATYPE(lumio::BatchSummary)
