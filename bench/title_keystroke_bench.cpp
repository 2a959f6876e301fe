// Times one keystroke in the main window's Title field with 10 000 listed entries, all
// selected, against the same keystroke with one entry selected. Each keystroke is a
// real key event followed by the event processing (and repaint) it causes. Prints the
// milliseconds per keystroke for both and their ratio.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/fixed_dialogs.h"
#include "encode/run/clock.h"
#include "tests/support/fake_clock.h"
#include "tests/support/find_control.h"
#include "tests/support/job_list_rows.h"
#include "tests/support/wait_for_adding.h"
#include "tests/support/wave_bytes.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kKeystrokes = 200;

using ZeroClock = lumio::test::ScriptedClock;

// Milliseconds per keystroke typed into Title, alternating a letter and a backspace so
// that the text stays short.
double TimeKeystrokes(QLineEdit& title) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kKeystrokes; ++i) {
    const bool letter = i % 2 == 0;
    QKeyEvent press(QEvent::KeyPress, letter ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                    letter ? QStringLiteral("a") : QString());
    QApplication::sendEvent(&title, &press);
    QApplication::processEvents();
  }
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  return elapsed.count() / kKeystrokes;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QTemporaryDir temp;
  if (!temp.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  const std::string folder = temp.path().toStdString() + "/";
  const std::string wave = folder + "song.wav";
  std::ofstream(wave, std::ios::binary) << lumio::test::SilentWave(0);

  FixedDialogs dialogs(lumio::DialogAnswer::Cancel);
  ZeroClock clock;
  const auto windows = lumio::CreateLumioWindows(dialogs, folder + "lumio.ini", clock, folder);
  lumio::TMainWindow& window = *windows->MainWindow;
  window.FormDropFiles(QStringList(kEntries, QString::fromStdString(wave)));
  lumio::test::WaitForAdding(window);
  if (window.Jobs().Count() != static_cast<std::size_t>(kEntries)) {
    std::fprintf(stderr, "only %zu entries were added\n", window.Jobs().Count());
    return 1;
  }
  window.show();
  QApplication::processEvents();

  QLineEdit& title = lumio::test::Control<QLineEdit>(window, "Title");
  auto& list = lumio::test::Control<lumio::JobListView>(window, "InputFileList");
  lumio::test::SelectRows(list, {kEntries / 2});
  const double one = TimeKeystrokes(title);
  list.selectAll();
  const double all = TimeKeystrokes(title);
  // One more letter must reach every selected record.
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
  QApplication::sendEvent(&title, &letter);
  if (window.Jobs().Record(0).Title != "b" || window.Jobs().Record(kEntries - 1).Title != "b") {
    std::fprintf(stderr, "the keystrokes did not reach the selected records\n");
    return 1;
  }

  std::printf(
      "Title keystroke, %d entries: %.3f ms with all selected, %.3f ms with one "
      "selected (baseline); ratio %.1f; target <= 16 ms\n",
      kEntries, all, one, all / one);
  return 0;
}
