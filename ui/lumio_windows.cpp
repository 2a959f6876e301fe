#include "ui/lumio_windows.h"

#include "ui/about_window.h"
#include "ui/batch_controller.h"
#include "ui/console_window.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"

namespace lumio {

LumioWindows::~LumioWindows() {
  // A batch still running ends first: its encoders write to the windows below.
  if (MainWindow != nullptr && MainWindow->Batch() != nullptr) {
    MainWindow->Batch()->Abandon();
  }
  // Last made, first gone; each leaves its parent's list of children as it goes.
  delete ConsoleWindow;
  delete SetupWindow;
  delete ProgressWindow;
  delete ResultWindow;
  delete AboutWindow;
}

std::unique_ptr<LumioWindows> CreateLumioWindows(DialogSeam& dialogs, std::string settingsPath,
                                                 Clock& clock, std::string programFolder) {
  auto windows = std::make_unique<LumioWindows>();
  windows->MainWindow = std::make_unique<TMainWindow>(dialogs, std::move(settingsPath), clock,
                                                      std::move(programFolder));
  TMainWindow* main = windows->MainWindow.get();
  windows->AboutWindow = new TAboutWindow(main);
  windows->ResultWindow = new TResultWindow(main);
  windows->ProgressWindow = new TProgressWindow(main);
  // The setup window fills itself from the store that the main window opened.
  windows->SetupWindow = new TSetupWindow(main, main->Settings(), dialogs);
  windows->ConsoleWindow = new TConsoleWindow(main);
  main->SetSubWindows(*windows->AboutWindow, *windows->ResultWindow, *windows->ProgressWindow,
                      *windows->SetupWindow, *windows->ConsoleWindow);
  return windows;
}

}  // namespace lumio
