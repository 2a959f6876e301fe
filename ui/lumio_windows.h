#pragma once

#include <memory>
#include <string>

namespace lumio {

class Clock;
class DialogSeam;
class TAboutWindow;
class TConsoleWindow;
class TMainWindow;
class TProgressWindow;
class TResultWindow;
class TSetupWindow;

// The program's windows, each made once and kept until the end. The other windows are
// destroyed before the main window, while the settings store they use still exists.
struct LumioWindows {
  LumioWindows() = default;
  LumioWindows(const LumioWindows&) = delete;
  LumioWindows& operator=(const LumioWindows&) = delete;
  ~LumioWindows();

  std::unique_ptr<TMainWindow> MainWindow;
  TAboutWindow* AboutWindow = nullptr;
  TResultWindow* ResultWindow = nullptr;
  TProgressWindow* ProgressWindow = nullptr;
  TSetupWindow* SetupWindow = nullptr;
  TConsoleWindow* ConsoleWindow = nullptr;
};

// Creates the windows in their order: main, about, result, progress, setup, and the
// console that shows the encoder's output. None is shown.
std::unique_ptr<LumioWindows> CreateLumioWindows(DialogSeam& dialogs, std::string settingsPath,
                                                 Clock& clock, std::string programFolder);

}  // namespace lumio
