#include "encode/run/batch_run.h"

#include <unistd.h>

#include <QMetaObject>
#include <algorithm>
#include <exception>

#include "encode/child/command_line.h"
#include "encode/child/decoder_command.h"
#include "encode/child/encoder_output_reader.h"
#include "encode/child/encoder_process.h"
#include "encode/child/failure_reason.h"
#include "encode/child/opusenc_progress.h"
#include "encode/finish/output_check_step.h"
#include "encode/finish/output_finishing.h"
#include "encode/finish/source_copy.h"
#include "encode/finish/temporary_output.h"
#include "encode/run/clock.h"
#include "encode/run/detached_work.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

// The tags Lumio hands over are UTF-8 whatever the locale the encoder runs in; without
// this the encoder would convert them from the locale's character set and, under the C
// locale, write "?" or "#" for every character outside ASCII.
constexpr const char* kTagsAreUtf8 = "--utf8";

// A job's outcome before anything is known of its run: its output and play time, and
// no times.
JobOutcome OutcomeBeforeRun(const PlannedJob& planned) {
  JobOutcome outcome;
  outcome.outputPath = planned.outputFolder + planned.record.OutputFileName;
  outcome.playTimeMs = planned.record.Audio.PlayTime;
  outcome.ran = false;
  return outcome;
}

}  // namespace

// One place for a running encoder.
struct BatchRun::Lane {
  std::size_t job = 0;
  std::unique_ptr<EncoderProcess> process;
  std::optional<TemporaryOutput> output;
  EncoderOutputReader reader;
  ConsoleSink* console = nullptr;
  std::int64_t startMs = 0;
  bool busy = false;
};

// A job whose encoder has exited, while its hidden output is finished on a worker
// thread; the worker touches only its own copies and the file. Gone before it is
// committed (the run was cancelled, failed or was destroyed), it drops the work without
// waiting for it and removes the hidden file; a worker that ends later removes the file
// once more, since its step may have written it anew.
struct BatchRun::Finishing {
  Finishing(std::size_t job, int lane, TemporaryOutput output, JobOutcome outcome)
      : job(job), lane(lane), output(std::move(output)), outcome(std::move(outcome)) {}
  ~Finishing() {
    if (work) work->Drop();
    if (output) output->Discard();
  }
  Finishing(const Finishing&) = delete;
  Finishing& operator=(const Finishing&) = delete;

  std::size_t job;
  int lane;  // where its encoder ran
  std::optional<TemporaryOutput> output;
  JobOutcome outcome;
  std::shared_ptr<DetachedWork> work;
};

BatchRun::BatchRun(BatchPlan plan, std::string optionText, BatchRunOptions options, Clock& clock,
                   ConsoleProvider* consoles, QObject* parent)
    : QObject(parent),
      plan_(std::move(plan)),
      optionText_(std::move(optionText)),
      options_(options),
      clock_(clock),
      consoles_(consoles),
      outcomes_(plan_.jobs.size()),
      progress_(JobWeights(plan_.jobs)),
      albums_(plan_.jobs, plan_.finishing.replayGain == ReplayGainMode::TrackAndAlbum,
              plan_.finishing.carry.fields) {
  connect(&albums_, &AlbumGainWriter::PassEnded, this,
          [this] { Guarded([this] { FinishIfDone(); }); });
  options_.parallel = std::clamp(options_.parallel, 1, kMostParallelEncoders);
  for (int i = 0; i < options_.parallel; ++i) {
    lanes_.push_back(std::make_unique<Lane>());
  }
}

BatchRun::~BatchRun() {
  for (const auto& lane : lanes_) {
    ReleaseLane(*lane, false);
  }
  finishing_.clear();
  if (!finished_) {
    RemoveFoldersLeftEmpty(madeFolders_);
  }
}

void BatchRun::ReleaseLane(Lane& lane, bool later) {
  if (lane.process) {
    // The process object may be the sender of the signal being handled; its destructor
    // kills an encoder that still runs.
    if (later) {
      lane.process.release()->deleteLater();
    } else {
      lane.process.reset();
    }
    if (lane.console != nullptr && lane.busy) {
      lane.console->EncoderEnded();
    }
  }
  lane.console = nullptr;
  if (lane.output) {
    lane.output->Discard();
    lane.output.reset();
  }
  lane.busy = false;
}

void BatchRun::Start() {
  Guarded([this] {
    startMs_ = clock_.CurrentMilliseconds();
    std::vector<std::string> folders;
    for (const PlannedJob& job : plan_.jobs) folders.push_back(job.outputFolder);
    RemoveAbandonedTemporaryOutputs(folders);
    FillLanes();
    FinishIfDone();
  });
}

void BatchRun::Cancel() {
  if (finished_) {
    return;
  }
  cancelled_ = true;
  stopping_ = true;
  for (const auto& lane : lanes_) {
    if (lane->busy && lane->process) {
      lane->process->RequestClose();
    }
  }
  // Outputs being finished, and album fields being written, are given up at once, however
  // long their work would still take (a picture on a stalled share, say).
  Guarded([this] {
    while (!finishing_.empty()) {
      std::unique_ptr<Finishing> entry = std::move(finishing_.front());
      finishing_.erase(finishing_.begin());
      JobOutcome outcome = std::move(entry->outcome);
      ReportEnd(entry->job, LaneOf(*entry), std::move(outcome), false);
    }
    albums_.Abandon();
  });
  // The run may end now; told from the event loop, not inside the caller's request.
  QMetaObject::invokeMethod(
      this, [this] { Guarded([this] { FinishIfDone(); }); }, Qt::QueuedConnection);
}

void BatchRun::FillLanes() {
  PassSkippedJobs();
  for (int lane = 0; lane < options_.parallel; ++lane) {
    while (!stopping_ && next_ < plan_.jobs.size() && !lanes_[lane]->busy &&
           finishing_.size() <= static_cast<std::size_t>(options_.parallel) &&
           !WritesARunningJobsOutput(next_)) {
      StartJob(next_++, lane);
      PassSkippedJobs();
    }
  }
}

bool BatchRun::WritesARunningJobsOutput(std::size_t job) const {
  // Jobs of one output run one after the other in list order, finishing included, so
  // that the later job's file is the one left, however many encoders run.
  const auto outputOf = [this](std::size_t index) {
    return plan_.jobs[index].outputFolder + plan_.jobs[index].record.OutputFileName;
  };
  return std::any_of(lanes_.begin(), lanes_.end(),
                     [&](const auto& lane) {
                       return lane->busy && outputOf(lane->job) == outputOf(job);
                     }) ||
         std::any_of(finishing_.begin(), finishing_.end(), [&](const auto& finishing) {
           return outputOf(finishing->job) == outputOf(job);
         });
}

void BatchRun::PassSkippedJobs() {
  // Taken in list order as the run reaches them, so that a run stopped early reports
  // only the jobs before the stop, as it does for the jobs it encodes.
  while (!stopping_ && next_ < plan_.jobs.size() && plan_.jobs[next_].skip) {
    const PlannedJob& planned = plan_.jobs[next_];
    JobOutcome outcome = OutcomeBeforeRun(planned);
    outcome.skipped = true;
    albums_.Settled(next_, {outcome.outputPath, nullptr, planned.keptBy});
    outcomes_[next_] = std::move(outcome);
    progress_.SetJobFraction(next_, 1);
    ++skipped_;
    ++next_;
  }
}

void BatchRun::StartJob(std::size_t job, int laneIndex) {
  Lane& lane = *lanes_[laneIndex];
  const PlannedJob& planned = plan_.jobs[job];
  lane = Lane();
  lane.job = job;
  lane.busy = true;
  if (plan_.finishing.format == OutputFormat::Opus) {
    lane.reader = EncoderOutputReader(ReadOpusencProgressLine);
  }
  emit JobStarting(job, laneIndex);

  std::string reason = planned.failure;
  if (!reason.empty() || !MakeKeptSubfolder(planned, reason) ||
      !ReserveHiddenOutput(lane, planned, reason)) {
    JobOutcome outcome = OutcomeBeforeRun(planned);
    outcome.reason = std::move(reason);
    EndJob(laneIndex, std::move(outcome));
    return;
  }
  if (planned.copy) {
    StartCopy(laneIndex);
    return;
  }
  // A source the encoder cannot read reaches it as WAVE from the decoder, through a
  // pipe between the two processes.
  const bool decoded = NeedsDecoder(planned.inputPath, planned.record, options_.codePage);
  const std::vector<std::string> arguments = EncoderArgumentsFor(planned, lane, decoded);
  MakeLaneProcess(laneIndex);
  lane.startMs = clock_.CurrentMilliseconds();
  lane.process->Start(arguments, options_.priority, planned.outputFolder,
                      decoded ? DecoderArguments(plan_.decoderPath, planned.inputPath,
                                                 planned.record.Audio.Bits, planned.record.Range)
                              : std::vector<std::string>());
}

// A copy has no encoder: its hidden output is filled on a worker thread at once, as an
// encoded output is finished, and takes the output's name in the same way.
void BatchRun::StartCopy(int laneIndex) {
  Lane& lane = *lanes_[laneIndex];
  const PlannedJob& planned = plan_.jobs[lane.job];
  lane.startMs = clock_.CurrentMilliseconds();
  JobOutcome outcome;
  outcome.outputPath = planned.outputFolder + planned.record.OutputFileName;
  outcome.playTimeMs = planned.record.Audio.PlayTime;
  outcome.notes.push_back("入力ファイルをそのままコピーしました");
  StartFinishing(laneIndex, std::move(outcome));
}

// A kept subfolder is made now, below the output folder that the batch checked, so
// that a batch stopped early leaves no empty folders for the jobs it did not reach.
bool BatchRun::MakeKeptSubfolder(const PlannedJob& planned, std::string& reason) {
  const std::string& subfolder = planned.record.OutputSubfolder;
  if (subfolder.empty()) return true;
  std::string error;
  if (CreateFoldersInside(
          planned.outputFolder.substr(0, planned.outputFolder.size() - subfolder.size()), subfolder,
          error, &madeFolders_)) {
    return true;
  }
  reason = "出力先フォルダを作成できません: " + error;
  return false;
}

bool BatchRun::ReserveHiddenOutput(Lane& lane, const PlannedJob& planned, std::string& reason) {
  std::string error;
  lane.output = TemporaryOutput::Reserve(planned.outputFolder, error);
  if (lane.output) return true;
  reason = "出力先フォルダに書き込めません: " + error;
  return false;
}

// The encoder runs in the output folder (its own working folder; this program's stays
// as it is), so the hidden file's bare name is its output.
std::vector<std::string> BatchRun::EncoderArgumentsFor(const PlannedJob& planned, const Lane& lane,
                                                       bool decoded) const {
  const FileData& record = planned.record;
  const OutputFormat format = plan_.finishing.format;
  std::vector<std::string> arguments = BuildEncoderArguments(
      plan_.encoderPath, optionText_, record.Title, record.Artist, record.Album, record.Date,
      record.TrackNumber, record.Comment, lane.output->Name(),
      decoded ? kEncoderReadsStandardInput : planned.inputPath, options_.codePage, format);
  // opusenc takes its arguments as UTF-8 always.
  if (format == OutputFormat::Vorbis) arguments.insert(arguments.begin() + 1, kTagsAreUtf8);
  if (decoded) arguments.insert(arguments.begin() + 1, kEncoderIgnoresLength);
  return arguments;
}

void BatchRun::MakeLaneProcess(int laneIndex) {
  Lane& lane = *lanes_[laneIndex];
  const FileData& record = plan_.jobs[lane.job].record;
  const bool console = options_.console && consoles_ != nullptr;
  lane.process = std::make_unique<EncoderProcess>(console ? OutputPace::Live : OutputPace::Batched);
  if (console) {
    lane.console = &consoles_->ConsoleForLane(laneIndex);
    const std::string title = options_.parallel > 1
                                  ? plan_.encoderPath + " - " + record.OutputFileName
                                  : plan_.encoderPath;
    connect(lane.process.get(), &EncoderProcess::Started, this,
            [this, console = lane.console, title] { console->EncoderStarted(title, *this); });
  }
  ConnectLaneProcess(laneIndex, record.Audio.PlayTime);
}

void BatchRun::ConnectLaneProcess(int laneIndex, std::int64_t playTimeMs) {
  EncoderProcess* process = lanes_[laneIndex]->process.get();
  connect(process, &EncoderProcess::Output, this, [this, laneIndex](std::string_view bytes) {
    Guarded([&] { JobOutput(laneIndex, bytes); });
  });
  connect(process, &EncoderProcess::Ended, this, [this, laneIndex](const EncoderExit& exit) {
    Guarded([&] {
      JobFinished(laneIndex, exit);
      FillLanes();
      FinishIfDone();
    });
  });
  // The encoder cannot tell how far into a pipe it is; the decoder can.
  connect(process, &EncoderProcess::Decoded, this,
          [this, laneIndex, playTimeMs](std::int64_t decodedMs) {
            Guarded([&] {
              if (playTimeMs > 0) {
                SetJobFraction(laneIndex, std::min(1.0, static_cast<double>(decodedMs) /
                                                            static_cast<double>(playTimeMs)));
              }
            });
          });
}

void BatchRun::JobOutput(int laneIndex, std::string_view bytes) {
  Lane& lane = *lanes_[laneIndex];
  if (lane.console != nullptr) {
    lane.console->EncoderOutput(bytes);
  }
  const std::optional<double> before = lane.reader.Fraction();
  lane.reader.Feed(bytes);
  const std::optional<double> after = lane.reader.Fraction();
  if (after && after != before) SetJobFraction(laneIndex, *after);
}

void BatchRun::SetJobFraction(int laneIndex, double fraction) {
  const std::size_t job = lanes_[laneIndex]->job;
  progress_.SetJobFraction(job, fraction);
  emit JobProgress(job, laneIndex, fraction);
  emit BatchProgressed(progress_.Fraction(),
                       progress_.RemainingMs(clock_.CurrentMilliseconds() - startMs_));
}

void BatchRun::JobFinished(int laneIndex, const EncoderExit& exit) {
  Lane& lane = *lanes_[laneIndex];
  const std::int64_t endMs = clock_.CurrentMilliseconds();
  lane.reader.Finish();
  if (lane.console != nullptr && exit.started) {
    lane.console->EncoderEnded();
  }
  const PlannedJob& planned = plan_.jobs[lane.job];
  JobOutcome outcome = OutcomeBeforeRun(planned);
  outcome.elapsedMs = endMs - lane.startMs;
  // An encoder whose decoder could not start had nothing to encode.
  outcome.ran = exit.started && (!exit.decoder || exit.decoder->started);
  if (!exit.started) {
    outcome.reason = "エンコーダを起動できません: " + exit.startError;
  } else if (exit.signalled || exit.exitCode != 0 || (exit.decoder && exit.decoder->failed)) {
    // A job the user cancelled needs no reason; its time went on the part encoded.
    if (cancelled_) {
      outcome.playTimeMs = static_cast<std::int64_t>(static_cast<double>(outcome.playTimeMs) *
                                                     progress_.JobFraction(lane.job));
    } else {
      outcome.reason = FailureReason(exit, lane.reader, planned.outputFolder);
    }
  } else if (cancelled_) {
    // Cancelled as it ended: its output is not finished, and the job needs no reason.
  } else if (!lane.output->HasContent()) {
    outcome.reason = "出力ファイルが作られませんでした";
  } else {
    if (exit.decoder) plan_.jobs[lane.job].decoderWrittenUs = exit.decoder->writtenUs;
    StartFinishing(laneIndex, std::move(outcome));
    return;
  }
  EndJob(laneIndex, std::move(outcome));
}

void BatchRun::StartFinishing(int laneIndex, JobOutcome outcome) {
  Lane& lane = *lanes_[laneIndex];
  const std::size_t job = lane.job;
  auto finishing =
      std::make_unique<Finishing>(job, laneIndex, std::move(*lane.output), std::move(outcome));
  lane.output.reset();
  lane.console = nullptr;  // told of the end already
  ReleaseLane(lane, true);
  Finishing* entry = finishing.get();
  finishing_.push_back(std::move(finishing));
  const bool copy = plan_.jobs[job].copy;
  if (!copy && !NeedsFinishing(plan_.jobs[job], plan_.finishing)) {
    EndFinishing(entry, FinishingResult());
    return;
  }
  auto result = std::make_shared<FinishingResult>();
  entry->work = DetachedWork::Start(
      *this,
      [result, step = copy ? FinishingStep(CopySource) : finishingStep_,
       path = entry->output->Path(), planned = plan_.jobs[job],
       options = plan_.finishing] { *result = step(path, planned, options); },
      [this, entry, result] {
        Guarded([&] {
          EndFinishing(entry, *result);
          FillLanes();
          FinishIfDone();
        });
      },
      [path = entry->output->Path()] { ::unlink(path.c_str()); });
  // Last: a cancel on this signal ends the entry at once.
  if (!copy && DecodesOutputs(plan_.finishing)) emit JobMeasuring(job, laneIndex);
}

void BatchRun::EndFinishing(const Finishing* finishing, const FinishingResult& finished) {
  const auto found =
      std::find_if(finishing_.begin(), finishing_.end(),
                   [finishing](const auto& entry) { return entry.get() == finishing; });
  std::unique_ptr<Finishing> entry = std::move(*found);
  finishing_.erase(found);
  JobOutcome outcome = std::move(entry->outcome);
  outcome.notes.insert(outcome.notes.end(), finished.notes.begin(), finished.notes.end());
  bool succeeded = false;
  std::string error;
  if (!finished.succeeded) {
    outcome.reason = finished.reason;
  } else if (entry->output->Commit(plan_.jobs[entry->job].record.OutputFileName, error)) {
    succeeded = true;
    entry->output.reset();
    albums_.Settled(entry->job, {outcome.outputPath, finished.loudness, {}});
  } else {
    entry->output.reset();  // removed by the failed commit
    outcome.reason = "出力ファイルを置き換えられません: " + error;
  }
  outcome.succeeded = succeeded;
  ReportEnd(entry->job, LaneOf(*entry), std::move(outcome), succeeded);
}

int BatchRun::LaneOf(const Finishing& finishing) const {
  // The lane's row belongs to the job it shows: a later job there keeps it.
  return lanes_[static_cast<std::size_t>(finishing.lane)]->job == finishing.job ? finishing.lane
                                                                                : -1;
}

void BatchRun::EndJob(int laneIndex, JobOutcome outcome) {
  Lane& lane = *lanes_[laneIndex];
  lane.console = nullptr;  // told of the end already, when the encoder had started
  ReleaseLane(lane, true);
  outcome.succeeded = false;
  ReportEnd(lane.job, laneIndex, std::move(outcome), false);
}

void BatchRun::ReportEnd(std::size_t job, int lane, JobOutcome outcome, bool succeeded) {
  const bool goesOn = !succeeded && options_.keepGoing && !cancelled_;
  if (succeeded) {
    ++done_;
    progress_.SetJobFraction(job, 1);
  } else {
    stopping_ = stopping_ || !goesOn;
    const PlannedJob& planned = plan_.jobs[job];
    if (!planned.failure.empty() && !planned.keptBy.empty()) {
      // The output stays as it is and keeps its place in the album, whose other tracks
      // are still written.
      albums_.Settled(job, {outcome.outputPath, nullptr, planned.keptBy});
    } else {
      albums_.Failed(job);
    }
  }
  outcomes_[job] = outcome;
  emit JobEnded(job, lane, outcome);
  if (goesOn) {
    // What the failed job left undone is no longer work to do: the time left drops.
    progress_.JobFailed(job);
    emit BatchProgressed(progress_.Fraction(),
                         progress_.RemainingMs(clock_.CurrentMilliseconds() - startMs_));
  }
}

void BatchRun::FinishIfDone() {
  if (finished_ || !finishing_.empty() ||
      std::any_of(lanes_.begin(), lanes_.end(), [](const auto& lane) { return lane->busy; })) {
    return;
  }
  if ((!stopping_ && next_ < plan_.jobs.size()) || albums_.Busy()) {
    return;
  }
  finished_ = true;
  RemoveFoldersLeftEmpty(madeFolders_);
  albums_.AddNotes(outcomes_);
  bool toldLeftOffFields = false;
  for (std::optional<JobOutcome>& outcome : outcomes_) {
    if (!outcome) continue;
    std::vector<std::string>& notes = outcome->notes;
    const auto told = std::find(notes.begin(), notes.end(), kReplayGainLeftOffOpusNote);
    if (told == notes.end()) continue;
    if (toldLeftOffFields) notes.erase(told);
    toldLeftOffFields = true;
  }
  std::vector<JobOutcome> outcomes;
  for (std::size_t job = 0; job < plan_.jobs.size(); ++job) {
    if (outcomes_[job]) {
      outcomes.push_back(*outcomes_[job]);
    } else {
      outcomes.push_back(OutcomeBeforeRun(plan_.jobs[job]));
      outcomes.back().reached = false;
    }
  }
  BatchSummary summary;
  CountStatuses(outcomes, cancelled_, summary);
  summary.completed = !plan_.jobs.empty() && done_ + skipped_ == plan_.jobs.size();
  summary.elapsedMs = clock_.CurrentMilliseconds() - startMs_;
  emit Finished(outcomes, summary);
}

template <typename Step>
void BatchRun::Guarded(Step step) {
  if (finished_) {
    return;
  }
  try {
    step();
  } catch (const std::exception&) {
    StopAll();
  }
}

void BatchRun::StopAll() {
  finished_ = true;
  for (const auto& lane : lanes_) {
    ReleaseLane(*lane, true);
  }
  finishing_.clear();
  RemoveFoldersLeftEmpty(madeFolders_);
  emit Faulted();
}

}  // namespace lumio
