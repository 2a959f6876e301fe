#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "encode/run/console_sink.h"
#include "support/counting_encoder.h"
#include "support/find_control.h"
#include "ui/placement.h"
#include "ui/progress_updates.h"

namespace lumio {
namespace {

using test::CountingEncoder;

class ProgressWindowTest : public ::testing::Test {
 protected:
  ProgressWindowTest() : window(&mainWindow) {
    mainWindow.setGeometry(100, 80, 539, 505);
    mainWindow.show();
    RegisterMainWindowForPlacement(&mainWindow);
  }
  ~ProgressWindowTest() override { RegisterMainWindowForPlacement(nullptr); }

  // As the one-second timer fires.
  void Tick(int times) {
    QTimer& timer = test::Control<QTimer>(window, "Timer1");
    for (int i = 0; i < times; ++i) {
      QMetaObject::invokeMethod(&timer, "timeout");
    }
  }
  // Minutes and seconds as the labels show them: total, then the current file.
  std::vector<QString> Shown() const {
    return {test::Control<QLabel>(window, "MinCount").text(),
            test::Control<QLabel>(window, "SecCount").text(),
            test::Control<QLabel>(window, "MinCount2").text(),
            test::Control<QLabel>(window, "SecCount2").text()};
  }

  QWidget mainWindow;
  TProgressWindow window;
};

// The carrying itself is the counters' own (ProgressCounters); here the labels show
// both pairs as plain numbers, minutes going past 59.
TEST_F(ProgressWindowTest, LabelsShowBothCountsUnpaddedWithoutHours) {
  struct Case {
    int ticks;
    QString minutes;
    QString seconds;
  };
  const Case cases[] = {{0, "0", "0"}, {61, "1", "1"}, {4259, "70", "59"}};
  for (const Case& c : cases) {
    window.show();  // zeroes all four counters
    Tick(c.ticks);
    EXPECT_EQ(Shown(), (std::vector<QString>{c.minutes, c.seconds, c.minutes, c.seconds}))
        << c.ticks << " ticks";
    window.FormClose();
  }
}

TEST_F(ProgressWindowTest, ResetFileCountRestartsTheFileButNotTheTotal) {
  window.show();
  Tick(150);
  window.ResetFileCount();
  EXPECT_EQ(Shown(), (std::vector<QString>{"2", "30", "0", "0"}));
  Tick(61);
  EXPECT_EQ(Shown(), (std::vector<QString>{"3", "31", "1", "1"}));
}

TEST_F(ProgressWindowTest, ShowingZeroesAndStartsTheTimerClosingStopsIt) {
  EXPECT_FALSE(test::Control<QTimer>(window, "Timer1").isActive());
  EXPECT_EQ(test::Control<QTimer>(window, "Timer1").interval(), 1000);
  window.show();
  EXPECT_TRUE(test::Control<QTimer>(window, "Timer1").isActive());
  Tick(75);
  window.FormClose();
  EXPECT_FALSE(test::Control<QTimer>(window, "Timer1").isActive());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Shown(), (std::vector<QString>{"1", "15", "1", "15"}));  // kept while hidden
  window.show();
  EXPECT_TRUE(test::Control<QTimer>(window, "Timer1").isActive());
  EXPECT_EQ(Shown(), (std::vector<QString>{"0", "0", "0", "0"}));
}

TEST_F(ProgressWindowTest, ReactivatingTheWindowKeepsCounting) {
  window.show();
  Tick(70);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&window, &activate);
  EXPECT_EQ(Shown(), (std::vector<QString>{"1", "10", "1", "10"}));
}

TEST_F(ProgressWindowTest, UserCloseIsRefused) {
  window.show();
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(test::Control<QTimer>(window, "Timer1").isActive());
}

TEST_F(ProgressWindowTest, CancelAsksTheRunningEncoderOncePerClick) {
  CountingEncoder encoder;
  window.show();
  test::Control<QPushButton>(window, "CancelEncoding").click();  // no encoder yet: nothing happens
  window.SetRunningEncoder(&encoder);
  test::Control<QPushButton>(window, "CancelEncoding").click();
  EXPECT_EQ(encoder.closeRequests, 1);
  test::Control<QPushButton>(window, "CancelEncoding").click();
  EXPECT_EQ(encoder.closeRequests, 2);
  window.SetRunningEncoder(nullptr);
  test::Control<QPushButton>(window, "CancelEncoding").click();
  EXPECT_EQ(encoder.closeRequests, 2);
}

TEST_F(ProgressWindowTest, FirstShowingIsCentredLaterOnesKeepThePositionSet) {
  window.move(0, 0);
  window.show();
  const QRect frame = window.frameGeometry();
  EXPECT_EQ(frame.left(), CenterOnMainWindow(frame.width(), Direction::Horizontal));
  EXPECT_EQ(frame.top(), CenterOnMainWindow(frame.height(), Direction::Vertical));
  window.FormClose();
  window.move(7, 9);
  window.show();
  EXPECT_EQ(window.pos(), QPoint(7, 9));
}

TEST_F(ProgressWindowTest, StaysUsableWhileTheMainWindowIsDisabled) {
  mainWindow.setEnabled(false);
  window.show();
  EXPECT_TRUE(test::Control<QPushButton>(window, "CancelEncoding").isEnabled());
}

TEST_F(ProgressWindowTest, EncodeFileTextGrowsWithItsText) {
  const QString text = QStringLiteral("a-long-song-name.wav → a-long-song-name.ogg 処理中");
  window.SetEncodeFileText(text);
  EXPECT_EQ(test::Control<QLabel>(window, "EncodeFileText").text(), text);
  EXPECT_GE(test::Control<QLabel>(window, "EncodeFileText").width(),
            test::Control<QLabel>(window, "EncodeFileText").fontMetrics().horizontalAdvance(text));
}

TEST_F(ProgressWindowTest, ALongTopLineIsShortenedInItsMiddleWithinTheWindow) {
  const QString text =
      QStringLiteral("始まり-") + QString(200, QChar('x')) + QStringLiteral("-終わり.ogg 処理中");
  window.SetEncodeFileText(text);
  const QLabel& label = test::Control<QLabel>(window, "EncodeFileText");
  EXPECT_LE(label.geometry().right(), window.width());
  EXPECT_TRUE(label.text().startsWith(QStringLiteral("始まり-")));
  EXPECT_TRUE(label.text().endsWith(QStringLiteral("-終わり.ogg 処理中")));
  EXPECT_EQ(label.toolTip(), text);
}

// How many pixel columns of two images of one size differ anywhere.
int ColumnsThatDiffer(const QImage& a, const QImage& b) {
  int columns = 0;
  for (int x = 0; x < a.width(); ++x) {
    for (int y = 0; y < a.height(); ++y) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        ++columns;
        break;
      }
    }
  }
  return columns;
}

TEST_F(ProgressWindowTest, TimeLeftIsRoundedUpAndNeverShownBesideAnEmptyBar) {
  window.SetLaneCount(2);
  QProgressBar* batchBar = nullptr;
  for (QProgressBar* bar : window.findChildren<QProgressBar*>()) {
    if (batchBar == nullptr || bar->y() > batchBar->y()) batchBar = bar;
  }
  ASSERT_NE(batchBar, nullptr);
  window.show();
  const QImage empty = batchBar->grab().toImage();
  const struct {
    double fraction;
    std::int64_t remainingMs;
    QString shown;
  } cases[] = {
      {0.01, 400, "残り 0分1秒"}, {0.011, 59001, "残り 1分0秒"}, {0.5, 60000, "残り 1分0秒"},
      {0.999, 1, "残り 0分1秒"},  {0.02, 125400, "残り 2分6秒"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fraction);
    window.SetBatchProgress(c.fraction, c.remainingMs);
    QString shown;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      if (label->text().startsWith(QStringLiteral("残り"))) shown = label->text();
    }
    EXPECT_EQ(shown, c.shown);
    // A chunk of a pixel or two reads as an empty bar.
    EXPECT_GE(ColumnsThatDiffer(batchBar->grab().toImage(), empty), 3);
  }
}

TEST_F(ProgressWindowTest, WithSeveralLanesElapsedIsTheLongestRunningFile) {
  window.SetLaneCount(2);
  window.show();
  // As the batch drives it: each start also restarts the per-file count.
  const auto start = [&](int lane, const QString& file) {
    window.ResetFileCount();
    window.SetLane(lane, file, 0);
  };
  start(0, "a.wav → a.ogg");
  Tick(10);
  start(1, "b.wav → b.ogg");
  Tick(5);
  EXPECT_EQ(Shown(), (std::vector<QString>{"0", "15", "0", "15"}));
  window.SetLane(1, "b.wav → b.ogg", 0.5);  // progress is no new start
  window.SetLane(0, QString(), 0);          // a ends: b is the longest running now
  Tick(1);
  EXPECT_EQ(Shown(), (std::vector<QString>{"0", "16", "0", "6"}));
  start(0, "c.wav → c.ogg");
  Tick(1);
  EXPECT_EQ(Shown(), (std::vector<QString>{"0", "17", "0", "7"}));
  window.SetLane(1, "d.wav → d.ogg", 0);  // b ended and d took its lane within one update
  window.SetLane(0, QString(), 0);
  Tick(2);
  EXPECT_EQ(Shown(), (std::vector<QString>{"0", "19", "0", "2"}));
}

TEST_F(ProgressWindowTest, AFirstCancelSaysThatTheNextOneForcesTheEnd) {
  CountingEncoder encoder;
  window.SetRunningEncoder(&encoder);
  window.show();
  QPushButton& cancel = test::Control<QPushButton>(window, "CancelEncoding");
  EXPECT_EQ(cancel.text(), QStringLiteral("中止"));
  cancel.click();
  EXPECT_EQ(cancel.text(), QStringLiteral("強制終了"));
  EXPECT_FALSE(cancel.toolTip().isEmpty());
  window.SetRunningEncoder(nullptr);  // the next run starts with the plain button
  EXPECT_EQ(cancel.text(), QStringLiteral("中止"));
}

}  // namespace
}  // namespace lumio

namespace lumio {
namespace {

TEST(ProgressUpdatesTest, AQuietWindowShowsAChangeAtOnceAndABusyOneTheLatestLater) {
  QWidget mainWindow;
  TProgressWindow window(&mainWindow);
  ProgressUpdates updates(window, 50);
  updates.Reset(2);
  updates.SetFileText(QStringLiteral("a.wav → a.ogg 処理中"));
  EXPECT_EQ(test::Control<QLabel>(window, "EncodeFileText").text(),
            QStringLiteral("a.wav → a.ogg 処理中"));
  // Within the interval only the last of several changes is written, once it is over.
  updates.SetFileText(QStringLiteral("b.wav → b.ogg 処理中"));
  updates.SetCaption(QStringLiteral("処理中... ( 3/9 )"));
  updates.SetFileText(QStringLiteral("c.wav → c.ogg 処理中"));
  EXPECT_EQ(test::Control<QLabel>(window, "EncodeFileText").text(),
            QStringLiteral("a.wav → a.ogg 処理中"));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return test::Control<QLabel>(window, "EncodeFileText").text() ==
               QStringLiteral("c.wav → c.ogg 処理中");
      },
      2000));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("処理中... ( 3/9 )"));
  // Flush writes what is pending at once, as at the end of a run.
  updates.SetFileText(QStringLiteral("a.wav → a.ogg 処理中"));
  updates.SetFileText(QStringLiteral("/ogg/c.ogg 完了"));
  updates.Flush();
  EXPECT_EQ(test::Control<QLabel>(window, "EncodeFileText").text(),
            QStringLiteral("/ogg/c.ogg 完了"));
}

}  // namespace
}  // namespace lumio
