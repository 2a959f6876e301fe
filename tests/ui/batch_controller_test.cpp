#include "ui/batch_controller.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <optional>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/current_folder_guard.h"
#include "support/fake_clock.h"
#include "support/fake_encoder.h"
#include "support/find_control.h"
#include "support/scoped_environment.h"
#include "support/scripted_dialogs.h"
#include "support/wave_bytes.h"
#include "ui/console_window.h"
#include "ui/placement.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"

namespace lumio {
namespace {

using test::ScopedEnvironment;
using test::ScriptedClock;
using test::ScriptedDialogs;

class BatchControllerTest : public ::testing::Test {
 protected:
  BatchControllerTest()
      : progress(&mainWindow),
        result(&mainWindow),
        console(&mainWindow),
        controller(mainWindow, progress, result, console, dialogs, clock) {
    mainWindow.setGeometry(200, 150, 539, 505);
    mainWindow.show();
    RegisterMainWindowForPlacement(&mainWindow);
  }
  ~BatchControllerTest() override { RegisterMainWindowForPlacement(nullptr); }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    root = dir.path().toStdString() + "/";
    settings.WriteBool("Options", "SetEncoderPlace", true);
    settings.WriteString("Options", "EncoderPlace", test::kFakeEncoder);
  }

  void AddJob(const std::string& name) {
    const std::string input = root + name + ".wav";
    ASSERT_TRUE(test::WriteToneWave(input, 0.05));
    ASSERT_TRUE(test::AddSource(jobs, input, settings, root));
  }

  // Starts a batch and lets the event loop run until it is over; the result window is
  // closed as soon as it shows, after `whileShown` has looked at it.
  void RunBatch(std::function<void()> whileShown = {}) {
    QSignalSpy ended(&controller, &BatchController::Ended);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (result.isVisible()) {
        resultShownAt = result.pos();
        if (whileShown) whileShown();
        test::Control<QPushButton>(result, "ResultOk").click();
      }
    });
    closer.start(5);
    controller.Start(jobs, settings, "", NativePathRules());
    if (ended.isEmpty()) {
      ASSERT_TRUE(ended.wait(30000));
    }
  }

  test::CurrentFolderGuard folderGuard;
  QWidget mainWindow;
  ScriptedDialogs dialogs;
  ScriptedClock clock{{0}};
  TProgressWindow progress;
  TResultWindow result;
  TConsoleWindow console;
  BatchController controller;
  QTemporaryDir dir;
  std::string root;
  SettingsStore settings{"/nonexistent/lumio-settings.ini"};
  FileDataList jobs;
  QPoint resultShownAt;
};

TEST_F(BatchControllerTest, ResultWindowCentredAtFirstThenBesideTheMainWindowCorner) {
  result.move(0, 0);
  RunBatch();
  const QSize outer = result.frameGeometry().size();
  EXPECT_EQ(resultShownAt, QPoint(CenterOnMainWindow(outer.width(), Direction::Horizontal),
                                  CenterOnMainWindow(outer.height(), Direction::Vertical)));
  for (const QPoint corner : {QPoint(240, 130), QPoint(10, 20)}) {
    mainWindow.move(corner);
    RunBatch();
    EXPECT_EQ(resultShownAt, mainWindow.pos() + QPoint(72, 100));
  }
}

TEST_F(BatchControllerTest, ReportIsTheListOfLines) {
  const struct {
    const char* name;
    QStringList lines;
    QString text;
  } cases[] = {
      {"none", {}, ""},
      {"one empty line", {""}, ""},
      {"block ending in an empty line",
       {"[終了]", "/ogg/blue.ogg", "処理時間 ： 1分2秒", "再生／処理時間比 ： 3.9165", ""},
       "[終了]\n/ogg/blue.ogg\n処理時間 ： 1分2秒\n再生／処理時間比 ： 3.9165\n"},
      {"starting with empty lines", {"", "", "x"}, "\n\nx"},
  };
  for (const auto& c : cases) {
    result.SetReport({"left over from the last run"});
    result.SetReport(c.lines);
    EXPECT_EQ(test::Control<QPlainTextEdit>(result, "ResultText").toPlainText(), c.text) << c.name;
    EXPECT_EQ(test::Control<QPlainTextEdit>(result, "ResultText").document()->blockCount(),
              std::max<int>(1, static_cast<int>(c.lines.size())))
        << c.name;
  }
}

TEST_F(BatchControllerTest, TheWindowsFollowTheRunAndTheProgressWindowStaysOnTop) {
  AddJob("a");
  AddJob("b");
  // The second file's encoder holds until the test has looked at the windows.
  ScopedEnvironment held;
  held.Set("LUMIO_FAKE_SLOW_INPUT", "b.wav");
  held.Set("LUMIO_FAKE_HOLD_UNTIL", root + "looked");
  bool looked = false;
  QTimer observer;
  QObject::connect(&observer, &QTimer::timeout, [&] {
    if (looked || progress.windowTitle() != QStringLiteral("処理中... ( 2/2 )") ||
        test::Control<QLabel>(progress, "EncodeFileText").text() !=
            QStringLiteral("b.wav → b.ogg 処理中")) {
      return;
    }
    looked = true;
    std::ofstream(root + "looked") << "";
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.isEnabled());
    EXPECT_TRUE(test::Control<QTimer>(progress, "Timer1").isActive());
    ASSERT_NE(progress.windowHandle(), nullptr);
    EXPECT_EQ(progress.windowHandle()->transientParent(), mainWindow.windowHandle());
    EXPECT_EQ(progress.minimumSize(), progress.maximumSize());
    // Its place at the first showing is checked in ProgressWindowTest.
  });
  observer.start(10);
  QString report;
  RunBatch([&] { report = test::Control<QPlainTextEdit>(result, "ResultText").toPlainText(); });
  EXPECT_TRUE(looked);
  EXPECT_TRUE(mainWindow.isEnabled());
  EXPECT_FALSE(progress.isVisible());
  EXPECT_FALSE(test::Control<QTimer>(progress, "Timer1").isActive());
  EXPECT_EQ(test::Control<QLabel>(progress, "EncodeFileText").text(),
            QString::fromStdString(root + "b.ogg 完了"));
  EXPECT_TRUE(report.startsWith(QString::fromStdString("[終了]\n" + root + "a.ogg\n")));
  EXPECT_TRUE(
      report.endsWith(QStringLiteral("[終了]\n2個のファイルを処理。\n処理時間計 ： 0分0秒\n")));
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(BatchControllerTest, WithSeveralEncodersTheWindowCountsFilesDoneAndDrawsOnlyUsableLanes) {
  AddJob("a");
  AddJob("b");
  settings.WriteInteger("Options", "ParallelEncoders", 4);
  ScopedEnvironment wait;
  wait.Set("LUMIO_FAKE_WAIT", "1");
  std::vector<QString> captions;
  int bars = 0;
  QTimer observer;
  bool cancelled = false;
  QObject::connect(&observer, &QTimer::timeout, [&] {
    if (cancelled || !progress.isVisible()) return;
    // The title before the first file starts has no count.
    if (progress.windowTitle().contains(QLatin1Char('/')) &&
        (captions.empty() || captions.back() != progress.windowTitle())) {
      captions.push_back(progress.windowTitle());
    }
    bars = static_cast<int>(progress.findChildren<QProgressBar*>().size());
    int running = 0;
    for (const QLabel* label : progress.findChildren<QLabel*>()) {
      running += label->text().contains(QStringLiteral(".wav → ")) ? 1 : 0;
    }
    if (running == 3) {  // the top line and both lanes
      cancelled = true;
      controller.Cancel();
    }
  });
  observer.start(10);
  RunBatch();
  // Two lanes and the batch bar; both files run, and none is done.
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(bars, 3);
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(captions.front(), QStringLiteral("処理中... ( 1/2 )"));
  EXPECT_EQ(std::count(captions.begin(), captions.end(), QStringLiteral("処理中... ( 2/2 )")), 0)
      << captions.back().toStdString();
}

TEST_F(BatchControllerTest, EachFileRestartsElapsedWhileTheTotalGoesOn) {
  AddJob("a");
  AddJob("b");
  ScopedEnvironment slow;
  slow.Set("LUMIO_FAKE_SLOW_INPUT", "a.wav");
  QTimer observer;
  bool ticked = false;
  QObject::connect(&observer, &QTimer::timeout, [&] {
    if (ticked || progress.windowTitle() != QStringLiteral("処理中... ( 1/2 )")) return;
    // Three seconds pass on the first file; the window's own timer stays out of it.
    ticked = true;
    QTimer& timer = test::Control<QTimer>(progress, "Timer1");
    timer.stop();
    for (int i = 0; i < 3; ++i) QMetaObject::invokeMethod(&timer, "timeout");
  });
  observer.start(10);
  RunBatch();
  ASSERT_TRUE(ticked);
  EXPECT_EQ(test::Control<QLabel>(progress, "SecCount").text(), QStringLiteral("3"));
  EXPECT_EQ(test::Control<QLabel>(progress, "SecCount2").text(), QStringLiteral("0"));
}

TEST_F(BatchControllerTest, LaneRowsAndTheBatchBarShowWhatTheEncodersSay) {
  AddJob("a");
  AddJob("b");
  settings.WriteInteger("Options", "ParallelEncoders", 2);
  ScopedEnvironment encoder;
  encoder.Set("LUMIO_FAKE_SAY", "\t[ 50.0%] [ 0m01s remaining] |\r");
  encoder.Set("LUMIO_FAKE_WAIT", "1");
  // Both encoders start at 5 000 ms and are half way at 6 000 ms: one second is left.
  clock = ScriptedClock({5000, 5000, 5000, 6000});
  const auto halfWay = [&] {
    QList<QProgressBar*> bars = progress.findChildren<QProgressBar*>();
    std::sort(bars.begin(), bars.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    std::vector<int> values;
    for (const QProgressBar* bar : bars) values.push_back(bar->value());
    QStringList texts;
    for (const QLabel* label : progress.findChildren<QLabel*>()) texts << label->text();
    return values == std::vector<int>{500, 500, 500} &&
           texts.contains(QStringLiteral("残り 0分1秒"));
  };
  bool seen = false;
  QTimer observer;
  QObject::connect(&observer, &QTimer::timeout, [&] {
    if (seen || !halfWay()) return;
    seen = true;
    controller.Cancel();
  });
  observer.start(10);
  RunBatch();
  EXPECT_TRUE(seen);
}

TEST_F(BatchControllerTest, ARefusedBatchAsksOrTellsOnceAndStartsNothing) {
  AddJob("a");
  result.SetReport({"the last run"});
  std::ofstream(root + "a.ogg") << "old";
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Cancel});
  RunBatch();
  std::remove((root + "a.ogg").c_str());
  jobs.SetOutputFileName(0, "");
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  RunBatch();
  ASSERT_EQ(dialogs.Prompts().size(), 2u);
  EXPECT_EQ(dialogs.Prompts()[0].text,
            QString::fromStdString("指定の場所に同名のファイルがあります\n\n" + root +
                                   "a.ogg\n\n上書きしますか？"));
  EXPECT_EQ(dialogs.Prompts()[1].text,
            QString::fromStdString("\n出力ファイル名が空です\n\n" + root + "a.wav"));
  EXPECT_EQ(test::Control<QPlainTextEdit>(result, "ResultText").toPlainText(), QString());
  EXPECT_TRUE(mainWindow.isEnabled());
  EXPECT_FALSE(FileExists(root + "a.ogg"));
}

// Throws at its third reading, as a fault in the middle of a run would, and at that
// moment queues `marker` on the event loop.
class FaultingClock final : public Clock {
 public:
  explicit FaultingClock(std::function<void()> marker) : marker_(std::move(marker)) {}
  std::int64_t CurrentMilliseconds() override {
    if (++readings_ == 3) {
      QMetaObject::invokeMethod(QCoreApplication::instance(), marker_, Qt::QueuedConnection);
      throw std::bad_alloc();
    }
    return 0;
  }

 private:
  std::function<void()> marker_;
  int readings_ = 0;
};

TEST_F(BatchControllerTest, AFaultGivesTheWindowsBackAndSaysSoFromTheEventLoop) {
  AddJob("a");
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  // Queued when the fault is raised: it runs before the message only when the message
  // waits for the event loop instead of showing inside the run's signal.
  std::optional<std::size_t> promptsAfterTheFault;
  FaultingClock faulting([&] { promptsAfterTheFault = dialogs.Prompts().size(); });
  BatchController faulted(mainWindow, progress, result, console, dialogs, faulting);
  QSignalSpy ended(&faulted, &BatchController::Ended);
  faulted.Start(jobs, settings, "", NativePathRules());
  ASSERT_TRUE(ended.wait(30000));
  EXPECT_EQ(promptsAfterTheFault, 0u);
  ASSERT_EQ(dialogs.Prompts().size(), 1u);
  EXPECT_EQ(dialogs.Prompts()[0].text, QStringLiteral("\n処理に失敗しました"));
  EXPECT_TRUE(mainWindow.isEnabled());
  EXPECT_FALSE(progress.isVisible());
  // The faulted run is let go: the next start runs a batch again.
  faulted.Start(jobs, settings, "", NativePathRules());
  EXPECT_TRUE(progress.isVisible());
  faulted.Abandon();
}

TEST_F(BatchControllerTest, AnAbandonedRunLeavesNoEncoderAndNoHiddenFile) {
  AddJob("a");
  ScopedEnvironment wait;
  wait.Set("LUMIO_FAKE_WAIT", "1");
  QSignalSpy ended(&controller, &BatchController::Ended);
  controller.Start(jobs, settings, "", NativePathRules());
  // The encoder has started once its half-written hidden file is there.
  const auto hiddenFiles = [this] {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
      count += entry.path().filename().string().rfind(".lumio-", 0) == 0 ? 1 : 0;
    }
    return count;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return hiddenFiles() == 1; }, 10000));
  controller.Abandon();
  EXPECT_EQ(ended.size(), 1);
  EXPECT_EQ(hiddenFiles(), 0);
  EXPECT_TRUE(mainWindow.isEnabled());
  EXPECT_FALSE(progress.isVisible());
  EXPECT_TRUE(test::Control<QPlainTextEdit>(result, "ResultText").toPlainText().isEmpty());
  // The abandoned run is let go: the next start runs a batch again.
  controller.Start(jobs, settings, "", NativePathRules());
  EXPECT_TRUE(progress.isVisible());
  controller.Abandon();
}

}  // namespace
}  // namespace lumio
