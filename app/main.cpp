#include <QApplication>
#include <QTimer>

#include "app/qt_translation.h"
#include "core/settings_location.h"
#include "encode/clock.h"
#include "platform/program_location.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/qt_dialogs.h"

// Lumio takes no command-line arguments; QApplication alone looks at Qt's own options.
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A Linux desktop names a program's task-bar entry after its window, so the main
  // window's title "Lumio v0.06" serves as the application title. Qt's application
  // display name is kept empty, since Qt appends it to the titles of the windows.
  QApplication::setApplicationDisplayName(QString());
  const auto qtTexts = lumio::InstallQtJapaneseTranslation();

  lumio::QtDialogs dialogs;
  lumio::MonotonicClock clock;
  const std::unique_ptr<lumio::LumioWindows> windows =
      lumio::CreateLumioWindows(dialogs, lumio::SettingsFilePath(), clock, lumio::ProgramFolder());
  lumio::TMainWindow& mainWindow = *windows->MainWindow;
  QObject::connect(&mainWindow, &lumio::TMainWindow::Closed, &application, &QApplication::quit);
  mainWindow.show();

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
