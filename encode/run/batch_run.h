#pragma once

// Errors in encode/: checks before a batch answer with the message to show
// (PrepareBatch: BatchRefusal). Once a run has started, a job that fails is an outcome,
// not an error: its JobOutcome carries the reason, told through JobEnded and Finished,
// and the process runner tells a program that could not start through EncoderExit. A
// fault inside a running batch (an exception from any step) stops every encoder and is
// told through Faulted; nothing escapes into the event loop. Helpers answer false or
// nullopt with the reason in an `error` out-parameter (TemporaryOutput).

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_schema.h"
#include "encode/finish/album_gain_writer.h"
#include "encode/finish/output_finishing.h"
#include "encode/report/run_report.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_progress.h"
#include "encode/run/console_sink.h"
#include "platform/code_page.h"

namespace lumio {

class Clock;
class EncoderProcess;

// The work done on a job's hidden output once its encoder has exited 0 (FinishOutput).
using FinishingStep = std::function<FinishingResult(
    const std::string& hiddenPath, const PlannedJob& job, const FinishingOptions& options)>;

// The most encoders that a batch runs at once.
inline constexpr int kMostParallelEncoders = 16;

struct BatchRunOptions {
  int parallel = 1;      // encoders at once, 1 to kMostParallelEncoders
  bool console = false;  // show each encoder's output
  EncodePriority priority = EncodePriority::Normal;
  CodePage codePage = CodePage::Utf8;
  bool keepGoing = false;  // a failed job does not keep the jobs after it from starting
};

// Gives each lane (one place for a running encoder, 0 to parallel - 1) the console that
// shows its encoder's output while the console is to be shown.
class ConsoleProvider {
 public:
  virtual ~ConsoleProvider() = default;
  virtual ConsoleSink& ConsoleForLane(int lane) = 0;
};

// Runs a checked batch: starts the encoders in list order, at most `parallel` at a time,
// and follows them through their signals; nothing here waits. Jobs planned as skipped
// run no encoder; they are reported in their place. After the first job that
// fails no new job starts, and the jobs still running finish and are reported, unless
// the run keeps going: then every job runs, and a job planned to fail (its checks
// failed) fails alone in its place without an encoder. Each
// encoder writes a hidden file of its own that takes the output's name only when it is
// complete. A job whose encoder has exited gives its lane to the next job at once while
// its output is finished on a worker thread (tags written, decoded, measured); the job
// ends when that step ends. No new encoder starts while more than `parallel` outputs
// are being finished, so that their number stays bounded. What happens is told through the signals
// below; Finished comes exactly once, or Faulted instead. A close request (the cancel button, or
// closing a console) cancels the whole run. A job planned as a copy runs no encoder: its
// hidden file is filled from its source on a worker thread, then committed the same way.
class BatchRun : public QObject, public RunningEncoder {
  Q_OBJECT

 public:
  BatchRun(BatchPlan plan, std::string optionText, BatchRunOptions options, Clock& clock,
           ConsoleProvider* consoles, QObject* parent = nullptr);
  // A run destroyed while encoders still run kills them and removes their hidden files
  // and the folders it made that are left empty.
  ~BatchRun() override;

  void Start();
  // Asks every running encoder to close; asked again, kills them. Outputs being finished
  // are dropped at once, their hidden files removed, and their jobs end cancelled; the
  // run never waits for a finishing step.
  void Cancel();
  void RequestClose() override { Cancel(); }
  // Replaces the finishing step, for tests that hold it to see the batch meanwhile. Set
  // before Start; it runs on worker threads that nothing waits for, and may outlive the
  // run.
  void SetFinishingStep(FinishingStep step) { finishingStep_ = std::move(step); }
  std::size_t JobCount() const { return plan_.jobs.size(); }
  const PlannedJob& Job(std::size_t job) const { return plan_.jobs[job]; }
  const BatchPlan& Plan() const { return plan_; }

 signals:
  // Job `job` is about to start in `lane`.
  void JobStarting(std::size_t job, int lane);
  // A share of `job` is done, 0 to 1.
  void JobProgress(std::size_t job, int lane, double fraction);
  // The share of the whole batch that is done, and the time left when it can be told.
  void BatchProgressed(double fraction, std::optional<std::int64_t> remainingMs);
  // Job `job` has been encoded in `lane` and its output is being decoded: checked or
  // measured. The lane may go to the next job right after.
  void JobMeasuring(std::size_t job, int lane);
  // `lane` is the lane the job's encoder ran in, or -1 when that lane has since gone to
  // another job, whose row the end of this one must leave alone.
  void JobEnded(std::size_t job, int lane, const lumio::JobOutcome& outcome);
  // Every job's outcome in list order (a job the run never reached, after a failure or
  // a cancel, has `reached` false), and the summary.
  void Finished(const std::vector<lumio::JobOutcome>& outcomes, const lumio::BatchSummary& summary);
  // An unexpected fault stopped the run; every encoder has been stopped.
  void Faulted();

 private:
  struct Lane;
  struct Finishing;

  void FillLanes();
  bool WritesARunningJobsOutput(std::size_t job) const;
  // Records the skipped jobs that come next in the list.
  void PassSkippedJobs();
  void StartJob(std::size_t job, int lane);
  void StartCopy(int lane);
  bool MakeKeptSubfolder(const PlannedJob& planned, std::string& reason);
  bool ReserveHiddenOutput(Lane& lane, const PlannedJob& planned, std::string& reason);
  std::vector<std::string> EncoderArgumentsFor(const PlannedJob& planned, const Lane& lane,
                                               bool decoded) const;
  void MakeLaneProcess(int lane);
  void ConnectLaneProcess(int lane, std::int64_t playTimeMs);
  void JobOutput(int lane, std::string_view bytes);
  void SetJobFraction(int lane, double fraction);
  void JobFinished(int lane, const struct EncoderExit& exit);
  // Frees the lane and finishes its hidden file: off this thread when there is work to
  // do, then commits it.
  void StartFinishing(int lane, JobOutcome outcome);
  void EndFinishing(const Finishing* finishing, const FinishingResult& finished);
  // The lane whose row shows the job being finished, or -1.
  int LaneOf(const Finishing& finishing) const;
  // Ends a job that failed before its output was finished, freeing its lane.
  void EndJob(int lane, JobOutcome outcome);
  void ReportEnd(std::size_t job, int lane, JobOutcome outcome, bool succeeded);
  void FinishIfDone();
  // Runs `step`; a fault in it stops the whole run instead of escaping into the event loop.
  template <typename Step>
  void Guarded(Step step);
  void StopAll();
  // Frees a lane: its process goes (now, or `later` from the event loop), its console is
  // told of the end, its hidden file is removed.
  void ReleaseLane(Lane& lane, bool later);

  BatchPlan plan_;
  std::string optionText_;
  BatchRunOptions options_;
  Clock& clock_;
  ConsoleProvider* consoles_;
  std::vector<std::unique_ptr<Lane>> lanes_;
  std::vector<std::unique_ptr<Finishing>> finishing_;  // in the order they started
  FinishingStep finishingStep_ = FinishOutput;
  std::vector<std::optional<JobOutcome>> outcomes_;
  // Folders this run made for kept trees; those left empty go when it ends.
  std::vector<std::string> madeFolders_;
  BatchProgress progress_;
  AlbumGainWriter albums_;  // the run finishes only once it is idle
  std::size_t next_ = 0;
  std::size_t done_ = 0;
  std::size_t skipped_ = 0;
  std::int64_t startMs_ = 0;
  bool stopping_ = false;
  bool cancelled_ = false;
  bool finished_ = false;
};

}  // namespace lumio
