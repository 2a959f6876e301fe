#include <QApplication>
#include <QTimer>

#include "core/settings_location.h"
#include "encode/clock.h"
#include "platform/program_location.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/qt_dialogs.h"
#include "ui/single_instance.h"

// Lumio takes files and folders to add as arguments; QApplication looks at Qt's own options.
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A Linux desktop names a program's task-bar entry after its window, so the main
  // window's title "Lumio v0.06" serves as the application title. Qt's application
  // display name is kept empty, since Qt appends it to the titles of the windows.
  QApplication::setApplicationDisplayName(QString());

  // Files and folders named on the command line go to a Lumio already running on the
  // same settings file, if there is one; this start then ends.
  const QStringList startPaths = lumio::StartPaths(QCoreApplication::arguments());
  const QString instanceName =
      lumio::InstanceServerName(QString::fromLocal8Bit(lumio::SettingsFilePath()));
  if (lumio::HandOverToRunningInstance(instanceName, startPaths)) {
    return 0;
  }

  lumio::QtDialogs dialogs;
  lumio::MonotonicClock clock;
  const std::unique_ptr<lumio::LumioWindows> windows =
      lumio::CreateLumioWindows(dialogs, lumio::SettingsFilePath(), clock, lumio::ProgramFolder());
  lumio::TMainWindow& mainWindow = *windows->MainWindow;
  QObject::connect(&mainWindow, &lumio::TMainWindow::Closed, &application, &QApplication::quit);
  lumio::InstanceServer instanceServer(instanceName);
  QObject::connect(&instanceServer, &lumio::InstanceServer::PathsReceived, &mainWindow,
                   [&mainWindow](const QStringList& paths) {
                     mainWindow.FormDropFiles(paths);
                     mainWindow.raise();
                     mainWindow.activateWindow();
                   });
  mainWindow.show();
  if (!startPaths.isEmpty()) {
    // Added once the window stands, as if they had been dropped on it.
    QTimer::singleShot(0, &mainWindow,
                       [&mainWindow, startPaths] { mainWindow.FormDropFiles(startPaths); });
  }

  if (mainWindow.Settings().LoadFailed()) {
    // Told once the main window stands, so that the box is centred over it.
    QTimer::singleShot(0, &mainWindow, [&dialogs, &mainWindow] {
      lumio::ShowMessageDialog(dialogs, "\n" + mainWindow.Settings().LoadFailureMessage(),
                               lumio::MessageKind::Error, lumio::MessageButtons::Ok,
                               lumio::MessageSound::Stop);
    });
  }
  application.exec();
  return 0;
}
