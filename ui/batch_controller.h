#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "encode/run/batch_run.h"
#include "platform/path_rules.h"
#include "ui/progress_updates.h"

class QWidget;

namespace lumio {

class Clock;
class DialogSeam;
class FileDataList;
class SettingsStore;
class TConsoleWindow;
class TProgressWindow;
class TResultWindow;

// Takes a batch from the start command to the result window: checks it, asks about
// outputs that would be overwritten, disables the main window, and follows the run to
// drive the progress window, the consoles and the report. Start returns at once; the
// run goes on from the event loop.
class BatchController : public QObject, public ConsoleProvider {
  Q_OBJECT

 public:
  BatchController(QWidget& mainWindow, TProgressWindow& progress, TResultWindow& result,
                  TConsoleWindow& console, DialogSeam& dialogs, Clock& clock);
  ~BatchController() override;

  // Checks the list and, when it passes and the user agrees, starts the run. Ended
  // follows, at once when the batch is refused.
  void Start(const FileDataList& jobs, const SettingsStore& settings,
             const std::string& programFolder, const PathRules& rules);
  // The same as the cancel button: asks the encoders to close, and kills them when asked
  // again.
  void Cancel();
  // Ends a running batch for good without showing its report (the program is quitting):
  // its encoders are killed and their hidden files removed. Ended follows.
  void Abandon();

  ConsoleSink& ConsoleForLane(int lane) override;

 signals:
  // The batch is over: refused, or run and its report shown and closed.
  void Ended();

 private:
  void JobStarting(std::size_t job, int lane);
  void JobProgress(std::size_t job, int lane, double fraction);
  // The lane tells that its output is being decoded: measured, or only checked.
  void JobMeasuring(std::size_t job, int lane);
  void JobEnded(std::size_t job, int lane, const JobOutcome& outcome);
  void Finished(const std::vector<JobOutcome>& outcomes, const BatchSummary& summary);
  void Faulted();
  void ShowCaption();
  // The windows as they were before the run: main window enabled, progress closed.
  void GiveWindowsBack();
  void ShowError(const std::string& message);
  void ShowProgressWindow();
  void ShowResultWindow();

  QWidget& mainWindow_;
  TProgressWindow& progress_;
  TResultWindow& result_;
  TConsoleWindow& console_;
  DialogSeam& dialogs_;
  Clock& clock_;
  PathRules rules_ = NativePathRules();
  ProgressUpdates updates_;
  std::unique_ptr<BatchRun> run_;
  std::vector<QString> laneTexts_;
  std::size_t started_ = 0;
  std::size_t ended_ = 0;
  std::size_t skippedBefore_ = 0;  // skipped jobs before the last one started
  // Consoles of the lanes after the first, made when a run first needs them.
  std::vector<std::unique_ptr<TConsoleWindow>> moreConsoles_;
};

}  // namespace lumio
