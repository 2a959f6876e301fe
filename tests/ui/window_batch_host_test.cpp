#include "ui/window_batch_host.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "support/scripted_dialogs.h"
#include "ui/console_window.h"
#include "ui/placement.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"

namespace lumio {
namespace {

class WindowBatchHostTest : public ::testing::Test {
 protected:
  WindowBatchHostTest()
      : progress(&mainWindow),
        result(&mainWindow),
        console(&mainWindow),
        host(mainWindow, outputFileName, progress, result, console, dialogs) {
    mainWindow.setGeometry(200, 150, 539, 505);
    mainWindow.show();
    RegisterMainWindowForPlacement(&mainWindow);
  }
  ~WindowBatchHostTest() override { RegisterMainWindowForPlacement(nullptr); }

  // Shows the result window as the batch does, and closes it once it is up.
  QPoint ShowResultAndClose() {
    QPoint shownAt;
    QTimer::singleShot(0, &result, [&] {
      shownAt = result.pos();
      result.ResultOk->click();
    });
    host.ShowResultWindow();
    return shownAt;
  }

  QWidget mainWindow;
  QLineEdit outputFileName{&mainWindow};
  testing::ScriptedDialogs dialogs;
  TProgressWindow progress;
  TResultWindow result;
  TConsoleWindow console;
  WindowBatchHost host;
};

TEST_F(WindowBatchHostTest, ResultWindowCentredAtFirstThenBesideTheMainWindowCorner) {
  result.move(0, 0);
  const QPoint first = ShowResultAndClose();
  const QSize outer = result.frameGeometry().size();
  EXPECT_EQ(first, QPoint(CenterOnMainWindow(outer.width(), Direction::Horizontal),
                          CenterOnMainWindow(outer.height(), Direction::Vertical)));

  mainWindow.move(240, 130);
  EXPECT_EQ(ShowResultAndClose(), mainWindow.pos() + QPoint(72, 100));
  mainWindow.move(10, 20);
  EXPECT_EQ(ShowResultAndClose(), mainWindow.pos() + QPoint(72, 100));
}

TEST_F(WindowBatchHostTest, ReportIsTheListOfLinesAppended) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    QString text;
  };
  const Case cases[] = {
      {"none", {}, ""},
      {"one empty line", {""}, ""},
      {"block ending in an empty line",
       {"[終了]", "/ogg/blue.ogg", "処理時間 ： 1分2秒", "再生／処理時間比 ： 3.9165", ""},
       "[終了]\n/ogg/blue.ogg\n処理時間 ： 1分2秒\n再生／処理時間比 ： 3.9165\n"},
      {"starting with empty lines", {"", "", "x"}, "\n\nx"},
  };
  for (const Case& c : cases) {
    host.AppendReportLine("left over from the last run");
    host.ClearReport();
    for (const std::string& line : c.lines) {
      host.AppendReportLine(line);
    }
    EXPECT_EQ(result.ResultText->toPlainText(), c.text) << c.name;
    EXPECT_EQ(result.ResultText->document()->blockCount(),
              std::max<int>(1, static_cast<int>(c.lines.size())))
        << c.name;
  }
}

TEST_F(WindowBatchHostTest, ProgressWindowCentredAndUsableWhileTheMainWindowIsDisabled) {
  host.SetMainWindowEnabled(false);
  host.ShowProgressWindow();
  EXPECT_FALSE(mainWindow.isEnabled());
  EXPECT_TRUE(progress.isVisible());
  EXPECT_TRUE(progress.isEnabled());
  EXPECT_TRUE(progress.Timer1->isActive());
  const QRect frame = progress.frameGeometry();
  EXPECT_EQ(frame.topLeft(), QPoint(CenterOnMainWindow(frame.width(), Direction::Horizontal),
                                    CenterOnMainWindow(frame.height(), Direction::Vertical)));

  host.SetProgressCaption("処理中... ( 2/3 )");
  host.SetEncodeFileText("song.wav → song.ogg 処理中");
  EXPECT_EQ(progress.windowTitle(), QStringLiteral("処理中... ( 2/3 )"));
  EXPECT_EQ(progress.EncodeFileText->text(), QStringLiteral("song.wav → song.ogg 処理中"));

  host.CloseProgressWindow();
  host.SetMainWindowEnabled(true);
  EXPECT_FALSE(progress.isVisible());
  EXPECT_FALSE(progress.Timer1->isActive());
  EXPECT_TRUE(mainWindow.isEnabled());
}

}  // namespace
}  // namespace lumio
