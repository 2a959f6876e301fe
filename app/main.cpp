#include <QApplication>
#include <QTimer>

#include "app/batch_command.h"
#include "app/batch_options.h"
#include "app/bounded_pool_wait.h"
#include "app/command_line_options.h"
#include "app/display_check.h"
#include "app/one_instance.h"
#include "app/qt_translation.h"
#include "core/settings_location.h"
#include "core/settings_store.h"
#include "encode/run/clock.h"
#include "encode/run/quit_signals.h"
#include "platform/program_location.h"
#include "ui/batch_controller.h"
#include "ui/desktop_identity.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/qt_dialogs.h"

namespace {

// The desktop's view of the program: its identity and the title of its windows.
void PrepareDesktopApplication() {
  lumio::StopWatchingForDisplayFailure();
  lumio::SetDesktopIdentity();
  // A Linux desktop names a program's task-bar entry after its window, so the main
  // window's title "Lumio v<version>" serves as the application title. Qt's application
  // display name is kept empty, since Qt appends it to the titles of the windows.
  QApplication::setApplicationDisplayName(QString());
}

// Shows the main window, which takes the paths of the command line and those a later
// start of Lumio hands over, and ends the program when it closes.
void ShowMainWindow(QApplication& application, lumio::TMainWindow& mainWindow,
                    const lumio::InstanceServer& instanceServer,
                    const std::vector<std::string>& startPaths) {
  QObject::connect(&mainWindow, &lumio::TMainWindow::Closed, &application, &QApplication::quit);
  QObject::connect(&instanceServer, &lumio::InstanceServer::PathsReceived, &mainWindow,
                   [&mainWindow](const std::vector<std::string>& paths) {
                     mainWindow.DropPaths(paths);
                     mainWindow.raise();
                     mainWindow.activateWindow();
                   });
  mainWindow.show();
  if (!startPaths.empty()) {
    // Added once the window stands, as if they had been dropped on it.
    QTimer::singleShot(0, &mainWindow,
                       [&mainWindow, startPaths] { mainWindow.DropPaths(startPaths); });
  }
}

// Told once the main window stands, so that the box is centred over it.
void TellSettingsLoadFailure(lumio::QtDialogs& dialogs, const lumio::LumioWindows& windows) {
  if (!windows.Settings->LoadFailed()) return;
  QTimer::singleShot(0, windows.MainWindow.get(), [&dialogs, &settings = *windows.Settings] {
    lumio::ShowMessageDialog(dialogs, "\n" + settings.LoadFailureMessage(),
                             lumio::MessageKind::Error, lumio::MessageButtons::Ok);
  });
}

}  // namespace

int main(int argc, char** argv) {
  // A batch without a window: no display, no single instance, its own end.
  const std::vector<std::string> arguments(argv, argv + argc);
  if (lumio::IsBatchCommandLine(arguments)) {
    return lumio::RunBatchCommand(arguments, argc, argv);
  }
  // Read before QApplication, so that --help and --version work without a display.
  // Taken from argv itself: QCoreApplication::arguments() would lose the bytes of file
  // names that are not UTF-8.
  const lumio::CommandLineOutcome commandLine =
      lumio::ParseCommandLine(arguments, lumio::IsJapaneseLocaleInEnvironment());
  if (commandLine.action != lumio::CommandLineAction::Run) {
    return lumio::PrintCommandLineOutcome(commandLine);
  }
  lumio::ExitUnlessDisplayCanOpen(arguments, lumio::IsJapaneseLocaleInEnvironment());
  QApplication application(argc, argv);
  // Thumbnails are made in Qt's global pool: one held up by a picture file must not keep
  // the program from ending.
  const lumio::BoundedPoolWait poolWait;
  PrepareDesktopApplication();
  const auto qtTexts = lumio::InstallQtJapaneseTranslation();

  // Files and folders named on the command line go to a Lumio already running on the
  // same settings file, if there is one; this start then ends.
  const std::vector<std::string> startPaths = lumio::StartPaths(commandLine.paths);
  int handOverStatus = 0;
  const std::unique_ptr<lumio::InstanceServer> instanceServer =
      lumio::OwnSettingsOrHandOver(lumio::SettingsFilePath(), startPaths, handOverStatus);
  if (!instanceServer) {
    return handOverStatus;
  }

  lumio::QtDialogs dialogs;
  lumio::MonotonicClock clock;
  const std::unique_ptr<lumio::LumioWindows> windows =
      lumio::CreateLumioWindows(dialogs, lumio::SettingsFilePath(), clock, lumio::ProgramFolder());
  ShowMainWindow(application, *windows->MainWindow, *instanceServer, startPaths);
  TellSettingsLoadFailure(dialogs, *windows);
  // A polite request to end (logout, Ctrl+C) stops a running batch at once, its encoders
  // and their unfinished files with it, and ends the program.
  // (exit, not quit: quit would first ask every window to close, and the main window
  // asks whether to end.)
  lumio::QuitSignals quitSignals([&batch = *windows->Batch] {
    batch.Abandon();
    QApplication::exit(0);
  });
  application.exec();
  return 0;
}
