// The tag tools as a user runs them: entries reordered, numbered, titled from their file
// names and named from their tags in the real windows, then encoded by the real oggenc.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <fstream>
#include <memory>

#include "encode/run/clock.h"
#include "support/find_control.h"
#include "support/job_list_rows.h"
#include "support/ogg_comments.h"
#include "support/scripted_dialogs.h"
#include "support/temporary_folder.h"
#include "support/wait_for_adding.h"
#include "support/wave_bytes.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/result_window.h"
#include "ui/text_conversion.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

TEST(TagToolsEndToEnd, NumberedAndNamedFilesCarryTheirTagsIntoTheOggFiles) {
  for (const char* tool : {"oggenc", "vorbiscomment"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
      GTEST_SKIP() << "the vorbis-tools programs are needed";
    }
  }
  const test::TemporaryFolder root;
  const std::string folder = root.Path() + "/";
  const std::string settingsPath = folder + "lumio.ini";
  std::ofstream(settingsPath) << "[General]\nDefDir=" << folder << "\n";
  QStringList waves;
  for (const char* name : {"夜明け.wav", "theme.wav", "終.wav"}) {
    const std::string path = folder + name;
    std::ofstream(path, std::ios::binary) << test::PlainWave(44100) << std::string(44100, '\0');
    waves.push_back(ToQString(path));
  }

  ScriptedDialogs dialogs;
  MonotonicClock clock;
  const std::unique_ptr<LumioWindows> windows =
      CreateLumioWindows(dialogs, settingsPath, clock, folder + "program/");
  TMainWindow& main = *windows->MainWindow;
  main.show();
  main.FormDropFiles(waves);
  ASSERT_TRUE(test::WaitForAdding(main));
  ASSERT_EQ(test::RowCount(test::Control<JobListView>(main, "InputFileList")), 3);

  // 終 goes up one place, before theme.
  test::SelectRows(test::Control<JobListView>(main, "InputFileList"), {2});
  QKeyEvent ctrlUp(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
  QCoreApplication::sendEvent(&test::Control<JobListView>(main, "InputFileList"), &ctrlUp);

  test::Control<JobListView>(main, "InputFileList").selectAll();
  test::Control<QLineEdit>(main, "Artist").setText(QStringLiteral("Lumio"));
  test::Control<QPlainTextEdit>(main, "Comment").setPlainText(QStringLiteral("line one\nline two"));
  test::Control<QAction>(main, "NumberTracks").trigger();
  dialogs.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%t")});
  test::Control<QAction>(main, "TagsFromName").trigger();
  dialogs.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%n %t")});
  test::Control<QAction>(main, "NameFromTags").trigger();
  test::Control<JobListView>(main, "InputFileList").clearSelection();

  int reports = 0;
  QTimer resultCloser;
  QObject::connect(&resultCloser, &QTimer::timeout, [&] {
    if (windows->ResultWindow->isVisible()) {
      ++reports;
      test::Control<QPushButton>(*windows->ResultWindow, "ResultOk").click();
    }
  });
  resultCloser.start(10);
  test::Control<QPushButton>(main, "StartEncode").click();
  QElapsedTimer waited;
  waited.start();
  while (reports == 0 && waited.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  ASSERT_EQ(reports, 1);
  EXPECT_TRUE(dialogs.AllAnswersUsed());

  const struct {
    const char* file;
    const char* number;
    const char* title;
  } expected[] = {
      {"1 夜明け.ogg", "1", "夜明け"}, {"2 終.ogg", "2", "終"}, {"3 theme.ogg", "3", "theme"}};
  for (const auto& e : expected) {
    EXPECT_EQ(test::SortedOggComments(folder + e.file),
              (std::vector<std::string>{"artist=Lumio", "comment=line one\nline two",
                                        std::string("title=") + e.title,
                                        std::string("tracknumber=") + e.number}))
        << e.file;
  }
}

}  // namespace
}  // namespace lumio
