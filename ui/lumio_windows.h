#pragma once

#include <memory>
#include <string>

namespace lumio {

class BatchController;
class Clock;
class DialogSeam;
class JobListModel;
class SettingsStore;
class SourceAdder;
class TAboutWindow;
class TConsoleWindow;
class TMainWindow;
class TProgressWindow;
class TResultWindow;
class TSetupWindow;

// The program: the settings store, the job list, the source adder and the batch
// controller, and the windows that show them, each made once and kept until the end.
// The windows are handed the parts they work on when they are made; the main window's
// commands that reach the other parts are wired here. The parts go in the reverse order
// of their making: a running batch first (its encoders write to the windows), then the
// adder, the windows, and last the job list and the store they use.
class LumioWindows {
 public:
  // Opens the settings store at `settingsPath`; `programFolder` is where the encoder and
  // the help text are looked for (see TMainWindow).
  LumioWindows(DialogSeam& dialogs, std::string settingsPath, Clock& clock,
               std::string programFolder);
  LumioWindows(const LumioWindows&) = delete;
  LumioWindows& operator=(const LumioWindows&) = delete;
  ~LumioWindows();

  const std::unique_ptr<SettingsStore> Settings;
  const std::unique_ptr<JobListModel> Jobs;
  const std::unique_ptr<TMainWindow> MainWindow;
  const std::unique_ptr<TAboutWindow> AboutWindow;
  const std::unique_ptr<TResultWindow> ResultWindow;
  const std::unique_ptr<TProgressWindow> ProgressWindow;
  const std::unique_ptr<TSetupWindow> SetupWindow;
  const std::unique_ptr<TConsoleWindow> ConsoleWindow;
  const std::unique_ptr<SourceAdder> Adder;
  const std::unique_ptr<BatchController> Batch;

 private:
  void ConnectMainWindow(std::string programFolder);
};

// Makes the program's parts and its windows in their order: main, about, result,
// progress, setup, and the console that shows the encoder's output. None is shown.
std::unique_ptr<LumioWindows> CreateLumioWindows(DialogSeam& dialogs, std::string settingsPath,
                                                 Clock& clock, std::string programFolder);

}  // namespace lumio
