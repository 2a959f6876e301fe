#include "ui/batch_controller.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <variant>

#include "core/file_data_list.h"
#include "encode/run/batch_start.h"
#include "ui/console_window.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// After a run the report stands this far right of and below the main window's corner.
constexpr int kResultOffsetLeft = 72;
constexpr int kResultOffsetTop = 100;
// Each further console stands this much lower and further right than the one before.
constexpr int kConsoleCascade = 32;

}  // namespace

BatchController::BatchController(QWidget& mainWindow, TProgressWindow& progress,
                                 TResultWindow& result, TConsoleWindow& console,
                                 DialogSeam& dialogs, Clock& clock)
    : mainWindow_(mainWindow),
      progress_(progress),
      result_(result),
      console_(console),
      dialogs_(dialogs),
      clock_(clock),
      updates_(progress) {}

BatchController::~BatchController() {
  // The run goes first: its encoders still refer to the consoles.
  run_.reset();
}

void BatchController::Start(const FileDataList& jobs, const SettingsStore& settings,
                            const std::string& programFolder, const PathRules& rules) {
  if (run_ != nullptr) {
    return;
  }
  rules_ = rules;
  result_.ClearReport();
  std::variant<BatchStart, BatchRefusal> checked = PlanBatch(jobs, settings, programFolder, rules);
  if (const auto* refusal = std::get_if<BatchRefusal>(&checked)) {
    ShowError(refusal->message);
    emit Ended();
    return;
  }
  BatchStart& start = std::get<BatchStart>(checked);
  if (!start.plan.overwritten.empty() &&
      ShowMessageDialog(dialogs_, OverwriteQuestion(start.plan.overwritten), MessageKind::Warning,
                        MessageButtons::OkCancel) != DialogAnswer::Ok) {
    emit Ended();
    return;
  }
  const BatchRunOptions options = start.runOptions;
  run_ = std::make_unique<BatchRun>(std::move(start.plan), std::move(start.optionText), options,
                                    clock_, this);
  connect(run_.get(), &BatchRun::JobStarting, this, &BatchController::JobStarting);
  connect(run_.get(), &BatchRun::JobProgress, this, &BatchController::JobProgress);
  connect(run_.get(), &BatchRun::BatchProgressed, &updates_, &ProgressUpdates::SetBatch);
  connect(run_.get(), &BatchRun::JobMeasuring, this, &BatchController::JobMeasuring);
  connect(run_.get(), &BatchRun::JobEnded, this, &BatchController::JobEnded);
  connect(run_.get(), &BatchRun::Finished, this, &BatchController::Finished);
  connect(run_.get(), &BatchRun::Faulted, this, &BatchController::Faulted);

  mainWindow_.setEnabled(false);
  laneTexts_.assign(static_cast<std::size_t>(options.parallel), QString());
  started_ = 0;
  ended_ = 0;
  skippedBefore_ = 0;
  progress_.SetLaneCount(options.parallel);
  updates_.Reset(options.parallel);
  progress_.SetRunningEncoder(run_.get());
  if (!options.console) {
    ShowProgressWindow();
  }
  run_->Start();
}

void BatchController::Cancel() {
  if (run_ != nullptr) {
    run_->Cancel();
  }
}

void BatchController::Abandon() {
  if (run_ == nullptr) {
    return;
  }
  run_.reset();
  GiveWindowsBack();
  emit Ended();
}

ConsoleSink& BatchController::ConsoleForLane(int lane) {
  if (lane <= 0) {
    return console_;
  }
  while (static_cast<int>(moreConsoles_.size()) < lane) {
    moreConsoles_.push_back(std::make_unique<TConsoleWindow>(&mainWindow_));
    const int offset = kConsoleCascade * static_cast<int>(moreConsoles_.size());
    moreConsoles_.back()->SetCascadeOffset(QPoint(offset, offset));
  }
  return *moreConsoles_[static_cast<std::size_t>(lane - 1)];
}

void BatchController::JobStarting(std::size_t job, int lane) {
  const PlannedJob& planned = run_->Job(job);
  const QString text =
      ToQString(FileNamePart(planned.inputPath, rules_) + " → " + planned.record.OutputFileName);
  updates_.SetFileText(text + QStringLiteral(" 処理中"));
  // Jobs start in list order: those before this one that never started were skipped.
  skippedBefore_ = job - started_++;
  ShowCaption();
  updates_.ResetFileCount();
  laneTexts_[static_cast<std::size_t>(lane)] = text;
  updates_.SetLane(lane, text, 0);
}

void BatchController::JobProgress(std::size_t, int lane, double fraction) {
  updates_.SetLane(lane, laneTexts_[static_cast<std::size_t>(lane)], fraction);
}

void BatchController::JobMeasuring(std::size_t, int lane) {
  const bool loudness = run_->Plan().finishing.replayGain != ReplayGainMode::None;
  updates_.SetLane(lane,
                   laneTexts_[static_cast<std::size_t>(lane)] +
                       (loudness ? QStringLiteral(" 音量解析中") : QStringLiteral(" 検証中")),
                   1);
}

void BatchController::JobEnded(std::size_t, int lane, const JobOutcome& outcome) {
  if (outcome.ran) {
    updates_.SetFileText(ToQString(outcome.outputPath + " 完了"));
  }
  if (lane >= 0) {  // the lane has not gone to another job meanwhile
    laneTexts_[static_cast<std::size_t>(lane)].clear();
    updates_.SetLane(lane, QString(), 0);
  }
  ++ended_;
  ShowCaption();
}

void BatchController::ShowCaption() {
  // The number of the first file not yet done: with one encoder the file running, with
  // several never more than are done while the others still run.
  const std::size_t total = run_->JobCount();
  const std::size_t current = std::min(ended_ + skippedBefore_ + 1, total);
  updates_.SetCaption(QStringLiteral("処理中... ( %1/%2 )").arg(current).arg(total));
}

void BatchController::Finished(const std::vector<JobOutcome>& outcomes,
                               const BatchSummary& summary) {
  QStringList lines;
  for (const std::string& line : RunReportLines(outcomes, summary)) {
    lines.append(ToQString(line));
  }
  result_.SetReport(lines);
  // The run object is the sender of this signal: it goes once the signal is done.
  run_.release()->deleteLater();
  GiveWindowsBack();
  // Shown from the event loop, so that the run's own step ends before the modal window
  // starts its loop.
  QTimer::singleShot(0, this, &BatchController::ShowResultWindow);
}

void BatchController::Faulted() {
  run_.release()->deleteLater();
  GiveWindowsBack();
  // Like the report at the end, the message waits for the event loop: a modal window
  // opened here would run its loop inside the run's signal.
  QTimer::singleShot(0, this, [this] {
    ShowError("処理に失敗しました");
    emit Ended();
  });
}

void BatchController::GiveWindowsBack() {
  updates_.Flush();
  progress_.SetRunningEncoder(nullptr);
  progress_.FormClose();
  mainWindow_.setEnabled(true);
}

void BatchController::ShowError(const std::string& message) {
  ShowMessageDialog(dialogs_, "\n" + message, MessageKind::Error, MessageButtons::Ok);
}

void BatchController::ShowProgressWindow() {
  const QRect mainFrame = mainWindow_.frameGeometry();
  const QSize outer = OuterSize(progress_);
  progress_.move(CenterOnMainWindow(outer.width(), Direction::Horizontal, mainFrame),
                 CenterOnMainWindow(outer.height(), Direction::Vertical, mainFrame));
  progress_.show();
}

void BatchController::ShowResultWindow() {
  // At its first showing the window centres itself over the main window instead.
  result_.move(mainWindow_.pos() + QPoint(kResultOffsetLeft, kResultOffsetTop));
  result_.exec();
  emit Ended();
}

}  // namespace lumio
