#include "ui/lumio_windows.h"

#include <utility>

#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "ui/about_window.h"
#include "ui/batch_controller.h"
#include "ui/console_window.h"
#include "ui/job_list_model.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"
#include "ui/source_adder.h"

namespace lumio {

LumioWindows::LumioWindows(DialogSeam& dialogs, std::string settingsPath, Clock& clock,
                           std::string programFolder)
    : Settings(std::make_unique<SettingsStore>(std::move(settingsPath))),
      Jobs(std::make_unique<JobListModel>(NativePathRules())),
      MainWindow(std::make_unique<TMainWindow>(dialogs, *Settings, *Jobs, programFolder)),
      AboutWindow(std::make_unique<TAboutWindow>(MainWindow.get())),
      ResultWindow(std::make_unique<TResultWindow>(MainWindow.get())),
      ProgressWindow(std::make_unique<TProgressWindow>(MainWindow.get())),
      SetupWindow(std::make_unique<TSetupWindow>(MainWindow.get(), *Settings, dialogs)),
      ConsoleWindow(std::make_unique<TConsoleWindow>(MainWindow.get())),
      // Each file read is appended to the list with the main window's default output
      // folder as it is at that moment.
      Adder(std::make_unique<SourceAdder>(
          *MainWindow, NativePathRules(),
          [this](const std::string& path, const std::string& subfolder, SourceReading reading) {
            return Jobs->AddReadSource(path, std::move(reading), *Settings, MainWindow->DefDir(),
                                       subfolder);
          })),
      Batch(std::make_unique<BatchController>(*MainWindow, *ProgressWindow, *ResultWindow,
                                              *ConsoleWindow, dialogs, clock)) {
  ConnectMainWindow(std::move(programFolder));
}

LumioWindows::~LumioWindows() = default;

void LumioWindows::ConnectMainWindow(std::string programFolder) {
  TMainWindow* main = MainWindow.get();
  // The setting as it is when the files are given goes with them: the readers run on
  // threads of their own, which touch neither the settings nor the windows.
  QObject::connect(main, &TMainWindow::AddRequested, Adder.get(),
                   [this](const std::vector<std::string>& paths, bool takeAnyFile) {
                     Adder->Add({paths, takeAnyFile, ReadCarryOptions(*Settings).splitEmbeddedCue});
                   });
  QObject::connect(Adder.get(), &SourceAdder::Finished, main, &TMainWindow::AddFinished);
  // Nothing more is added once the window has closed for good.
  QObject::connect(main, &TMainWindow::Closed, Adder.get(), &SourceAdder::Stop);
  QObject::connect(main, &TMainWindow::EncodeRequested, Batch.get(),
                   [this, folder = std::move(programFolder)] {
                     Batch->Start(Jobs->Jobs(), *Settings, folder, NativePathRules());
                   });
  QObject::connect(main, &TMainWindow::SetupRequested, SetupWindow.get(), [this] {
    PlaceCentredOverMainWindow(*SetupWindow);
    SetupWindow->exec();
    MainWindow->SettingsChanged();
  });
  QObject::connect(main, &TMainWindow::ResultRequested, ResultWindow.get(), [this] {
    PlaceCentredOverMainWindow(*ResultWindow);
    ResultWindow->exec();
  });
  QObject::connect(main, &TMainWindow::AboutRequested, AboutWindow.get(), [this] {
    PlaceCentredOverMainWindow(*AboutWindow);
    AboutWindow->ShowVersions(QStringLiteral("Lumio v" LUMIO_VERSION),
                              QStringLiteral("( For OggEnc v0.9 [RC3] )"));
    AboutWindow->exec();
  });
}

std::unique_ptr<LumioWindows> CreateLumioWindows(DialogSeam& dialogs, std::string settingsPath,
                                                 Clock& clock, std::string programFolder) {
  return std::make_unique<LumioWindows>(dialogs, std::move(settingsPath), clock,
                                        std::move(programFolder));
}

}  // namespace lumio
