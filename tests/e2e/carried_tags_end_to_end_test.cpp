// A FLAC file with more than the six edited fields and a picture, through the real
// windows and the real oggenc: the title edited in the main window and a field added in
// すべてのタグ reach the output beside every field and the picture of the source.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <memory>

#include "encode/run/clock.h"
#include "support/find_control.h"
#include "support/job_list_rows.h"
#include "support/ogg_comments.h"
#include "support/run_tool.h"
#include "support/scripted_dialogs.h"
#include "support/wait_for_adding.h"
#include "ui/all_tags_window.h"
#include "ui/batch_controller.h"
#include "ui/job_list_view.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/result_window.h"

namespace lumio {
namespace {

// The comments of `path` as "NAME=value" in the file's order, names upper-cased.
QStringList CommentLines(const QString& path) {
  QStringList lines;
  for (const test::OggComment& comment : test::ReadOggComments(path.toStdString())) {
    lines << QString::fromStdString(test::UpperCase(comment.name) + "=" + comment.value);
  }
  return lines;
}

TEST(CarriedTagsEndToEnd, EditedTitleAddedFieldAndEverySourceFieldReachTheOutput) {
  for (const char* tool : {"oggenc", "flac", "metaflac"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
      GTEST_SKIP() << tool << " is needed";
    }
  }
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::string folder = root.path().toStdString() + "/";
  std::ofstream(folder + "silence.raw", std::ios::binary) << std::string(88200, '\0');
  std::ofstream(folder + "cover.bin", std::ios::binary) << std::string(300000, 'c');
  const std::string flac = folder + "song.flac";
  ASSERT_TRUE(
      test::RunTool({"flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                     "--channels=2", "--bps=16", "--sample-rate=44100", "--tag=TITLE=元の題",
                     "--tag=ARTIST=一", "--tag=ARTIST=二", "--tag=GENRE=ジャズ",
                     "--tag=DISCNUMBER=2", "-o", flac, folder + "silence.raw"}));
  ASSERT_TRUE(test::RunTool(
      {"metaflac", "--import-picture-from=3|image/jpeg|表紙|1x1x24|" + folder + "cover.bin",
       flac}));
  const QString settingsPath = root.filePath(QStringLiteral("lumio.ini"));
  {
    std::ofstream settings(settingsPath.toStdString());
    settings << "[Options]\nSameOutput=1\n";
  }

  test::ScriptedDialogs dialogs;
  MonotonicClock clock;
  auto windows = CreateLumioWindows(dialogs, settingsPath.toStdString(), clock, folder);
  TMainWindow& main = *windows->MainWindow;
  main.show();
  main.FormDropFiles({QString::fromStdString(flac)});
  ASSERT_TRUE(test::WaitForAdding(main));
  auto& list = test::Control<JobListView>(main, "InputFileList");
  ASSERT_EQ(test::RowCount(list), 1);
  test::SelectRows(list, {0});
  test::Control<QLineEdit>(main, "Title").setText(QStringLiteral("新しい題"));

  // すべてのタグ from the 編集 menu: the source's fields after the six; one added.
  test::Control<QAction>(main, "AllTags").trigger();
  auto* allTags = main.findChild<TAllTagsWindow*>(QStringLiteral("AllTagsWindow"));
  ASSERT_NE(allTags, nullptr);
  auto& table = test::Control<QTableWidget>(*allTags, "FieldTable");
  ASSERT_EQ(table.rowCount(), 8);
  EXPECT_EQ(table.item(0, 1)->text(), QStringLiteral("新しい題"));
  EXPECT_EQ(table.item(6, 0)->text(), QStringLiteral("GENRE"));
  test::Control<QPushButton>(*allTags, "AddField").click();
  table.item(8, 0)->setText(QStringLiteral("MOOD"));
  table.item(8, 1)->setText(QStringLiteral("静か"));
  test::Control<QPushButton>(*allTags, "AllTagsOk").click();

  // The result window is closed as soon as it shows.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (windows->ResultWindow->isVisible()) {
      test::Control<QPushButton>(*windows->ResultWindow, "ResultOk").click();
    }
  });
  closer.start(10);
  QSignalSpy ended(windows->Batch.get(), &BatchController::Ended);
  test::Control<QPushButton>(main, "StartEncode").click();
  ASSERT_TRUE(!ended.isEmpty() || ended.wait(120000));

  QStringList lines = CommentLines(root.filePath(QStringLiteral("song.ogg")));
  ASSERT_FALSE(lines.isEmpty());
  const QString picture = lines.takeLast();
  EXPECT_TRUE(picture.startsWith(QStringLiteral("METADATA_BLOCK_PICTURE=")))
      << picture.toStdString();
  EXPECT_EQ(lines, (QStringList{"TITLE=新しい題", "ARTIST=一", "ARTIST=二", "GENRE=ジャズ",
                                "DISCNUMBER=2", "MOOD=静か"}));
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

}  // namespace
}  // namespace lumio
