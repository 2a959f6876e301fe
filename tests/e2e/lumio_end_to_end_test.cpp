// Lumio as the user meets it: the real windows, driven offscreen, and the real encoder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "encode/run/clock.h"
#include "support/fake_encoder.h"
#include "support/find_control.h"
#include "support/job_list_rows.h"
#include "support/ogg_comments.h"
#include "support/scoped_environment.h"
#include "support/scripted_dialogs.h"
#include "support/wait_for_adding.h"
#include "support/wave_bytes.h"
#include "ui/batch_controller.h"
#include "ui/console_window.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

// Runs `action` once `window` is shown; modal windows run their own event loop, in which
// this timer fires.
void WhenShown(QWidget& window, std::function<void()> action) {
  auto* timer = new QTimer(&window);
  QObject::connect(timer, &QTimer::timeout, &window, [timer, &window, action] {
    if (window.isVisible()) {
      timer->stop();
      timer->deleteLater();
      action();
    }
  });
  timer->start(10);
}

// Closes the result window whenever a batch shows it, keeping the report it showed.
class ResultWatcher {
 public:
  explicit ResultWatcher(TResultWindow& window) {
    QObject::connect(&timer_, &QTimer::timeout, &window, [this, &window] {
      if (window.isVisible()) {
        reports.push_back(test::Control<QPlainTextEdit>(window, "ResultText").toPlainText());
        test::Control<QPushButton>(window, "ResultOk").click();
      }
    });
    timer_.start(10);
  }
  std::vector<QString> reports;

 private:
  QTimer timer_;
};

// A report line: literal text, or a pattern where the time varies from run to run.
const QString kElapsed = QStringLiteral("処理時間 ： \\d+分\\d+秒");
const QString kRatio = QStringLiteral("再生／処理時間比 ： \\d+\\.\\d{4}");
const QString kTotal = QStringLiteral("処理時間計 ： \\d+分\\d+秒");

QString Literal(const QString& text) { return QRegularExpression::escape(text); }

void ExpectReport(const QString& report, const std::vector<QString>& patterns) {
  const QStringList lines = report.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(patterns.size())) << report.toStdString();
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    const QRegularExpression pattern(QStringLiteral("\\A%1\\z").arg(patterns[i]));
    EXPECT_TRUE(pattern.match(lines[static_cast<qsizetype>(i)]).hasMatch())
        << "line " << i << ": " << lines[static_cast<qsizetype>(i)].toStdString();
  }
}

std::vector<QString> JobBlock(const QString& outcome, const QString& outputPath) {
  return {Literal(outcome), Literal(outputPath), kElapsed, kRatio, QString()};
}

// `counts`: the lines after the count done (failed, cancelled, not started).
std::vector<QString> Summary(const QString& outcome, int done, const QStringList& counts = {}) {
  std::vector<QString> lines{Literal(QStringLiteral("----------")), QString(), Literal(outcome),
                             Literal(QStringLiteral("%1個のファイルを処理。").arg(done))};
  for (const QString& count : counts) lines.push_back(Literal(count));
  lines.insert(lines.end(), {kTotal, QString()});
  return lines;
}

// The nominal bit rate line of ogginfo: quality 4.5 gives 144 kb/s, the encoder's default
// quality 3 gives 112 kb/s.
QString NominalBitrate(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("ogginfo"), {path});
  process.waitForFinished(30000);
  for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
    if (line.startsWith(QStringLiteral("Nominal bitrate"))) {
      return line.trimmed();
    }
  }
  return QString();
}

bool VorbisToolsInstalled() {
  for (const char* tool : {"oggenc", "ogginfo"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
      return false;
    }
  }
  return true;
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir().mkpath(InputFolder()));
    ASSERT_TRUE(QDir().mkpath(OutputFolder()));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("program"))));
  }

  QString InputFolder() const { return root.filePath(QStringLiteral("wave")); }
  // A Japanese folder name: paths travel as bytes from the list to the report.
  QString OutputFolder() const { return root.filePath(QStringLiteral("出力")); }
  QString Input(const QString& name) const { return InputFolder() + QLatin1Char('/') + name; }
  QString Output(const QString& name) const { return OutputFolder() + QLatin1Char('/') + name; }

  // Starts Lumio with a settings file whose default output folder is OutputFolder(),
  // followed by `moreSettings`, and drops the named WAVE files on its main window.
  void Start(const QStringList& waveNames, const QString& moreSettings = QString()) {
    const QString settingsPath = root.filePath(QStringLiteral("lumio.ini"));
    QFile settings(settingsPath);
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(
        (QStringLiteral("[General]\nDefDir=%1/\n").arg(OutputFolder()) + moreSettings).toUtf8());
    settings.close();

    windows = CreateLumioWindows(dialogs, settingsPath.toStdString(), clock,
                                 root.filePath(QStringLiteral("program/")).toStdString());
    main = windows->MainWindow.get();
    main->show();
    watcher = std::make_unique<ResultWatcher>(*windows->ResultWindow);

    QStringList paths;
    for (const QString& name : waveNames) {
      ASSERT_TRUE(test::WriteToneWave(Input(name).toStdString(), 1.5));
      paths << Input(name);
    }
    main->FormDropFiles(paths);
    ASSERT_TRUE(test::WaitForAdding(*main));
    ASSERT_EQ(test::RowCount(test::Control<JobListView>(*main, "InputFileList")), waveNames.size());
  }

  // Presses エンコード開始 and lets the program run until the batch is over (refused, or
  // run and its report shown and closed).
  void ClickStart() {
    QSignalSpy ended(windows->Batch.get(), &BatchController::Ended);
    test::Control<QPushButton>(*main, "StartEncode").click();
    if (ended.isEmpty()) {
      ASSERT_TRUE(ended.wait(120000));
    }
  }

  void Select(const std::vector<int>& rows) {
    test::SelectRows(test::Control<JobListView>(*main, "InputFileList"), rows);
  }

  QTemporaryDir root;
  ScriptedDialogs dialogs;
  MonotonicClock clock;
  std::unique_ptr<LumioWindows> windows;
  TMainWindow* main = nullptr;
  std::unique_ptr<ResultWatcher> watcher;
};

TEST_F(EndToEndTest, EncodesTaggedFilesAtTheChosenQualityAndAsksBeforeOverwriting) {
  if (!VorbisToolsInstalled()) {
    GTEST_SKIP() << "the vorbis-tools programs are needed";
  }
  const QString third = QStringLiteral("三曲目.wav");
  Start({QStringLiteral("one.wav"), QStringLiteral("two.wav"), third});

  // One file's tags, then two files edited together.
  Select({0});
  test::Control<QLineEdit>(*main, "Title").setText(QStringLiteral("朝の歌"));
  test::Control<QLineEdit>(*main, "Artist").setText(QStringLiteral("Lumio"));
  test::Control<QLineEdit>(*main, "Album").setText(QStringLiteral("Demo"));
  test::Control<QLineEdit>(*main, "Date").setText(QStringLiteral("2026"));
  test::Control<QLineEdit>(*main, "TrackNumber").setText(QStringLiteral("1"));
  test::Control<QPlainTextEdit>(*main, "Comment").setPlainText(QStringLiteral("first take"));
  Select({1, 2});
  test::Control<QLineEdit>(*main, "Artist").setText(QStringLiteral("Pair \"Duo\""));
  test::Control<QLineEdit>(*main, "Album").setText(QStringLiteral("夜"));
  Select({});

  TSetupWindow& setup = *windows->SetupWindow;
  WhenShown(setup, [&setup] {
    test::Control<QRadioButton>(setup, "CheckUseQuality").click();
    test::Control<QSlider>(setup, "Quality").setValue(45);
    test::Control<QPushButton>(setup, "SetupWindowClose").click();
  });
  test::Control<QPushButton>(*main, "SetupButton").click();
  EXPECT_FALSE(setup.isVisible());
  EXPECT_EQ(windows->Settings->ReadInteger("EncodeOption", "UseOption", 0), 2);
  EXPECT_EQ(windows->Settings->ReadInteger("EncodeOption", "Quality", 0), 45);

  const QString outOne = Output(QStringLiteral("one.ogg"));
  const QString outTwo = Output(QStringLiteral("two.ogg"));
  const QString outThree = Output(QStringLiteral("三曲目.ogg"));
  std::vector<QString> expected;
  for (const QString& path : {outOne, outTwo, outThree}) {
    const auto block = JobBlock(QStringLiteral("[終了]"), path);
    expected.insert(expected.end(), block.begin(), block.end());
  }
  const auto summary = Summary(QStringLiteral("[終了]"), 3);
  expected.insert(expected.end(), summary.begin(), summary.end());

  ClickStart();
  ASSERT_EQ(watcher->reports.size(), 1u);
  ExpectReport(watcher->reports[0], expected);
  EXPECT_TRUE(main->isEnabled());
  EXPECT_FALSE(windows->ProgressWindow->isVisible());
  EXPECT_FALSE(test::Control<QTimer>(*windows->ProgressWindow, "Timer1").isActive());

  using Comments = std::vector<std::string>;
  EXPECT_EQ(test::SortedOggComments(outOne.toStdString()),
            (Comments{"album=Demo", "artist=Lumio", "comment=first take", "date=2026",
                      "title=朝の歌", "tracknumber=1"}));
  EXPECT_EQ(NominalBitrate(outTwo), QStringLiteral("Nominal bitrate: 144.000000 kb/s"));
  for (const QString& out : {outTwo, outThree}) {
    EXPECT_EQ(test::SortedOggComments(out.toStdString()),
              (Comments{"album=夜", "artist=Pair \"Duo\""}));
  }

  // Again: the existing files are listed in one question; キャンセル starts nothing.
  const QString question =
      QStringLiteral("指定の場所に同名のファイルがあります\n\n%1\n%2\n%3\n\n上書きしますか？")
          .arg(outOne, outTwo, outThree);
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Cancel});
  ClickStart();
  ASSERT_EQ(dialogs.Prompts().size(), 1u);
  EXPECT_EQ(dialogs.Prompts()[0].text, question);
  EXPECT_EQ(watcher->reports.size(), 1u);
  EXPECT_EQ(test::Control<QPlainTextEdit>(*windows->ResultWindow, "ResultText").toPlainText(),
            QString());

  // OK overwrites them all.
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  ClickStart();
  ASSERT_EQ(dialogs.Prompts().size(), 2u);
  EXPECT_EQ(dialogs.Prompts()[1].text, question);
  ASSERT_EQ(watcher->reports.size(), 2u);
  ExpectReport(watcher->reports[1], expected);
  // The report stays for the result window's later showings.
  EXPECT_EQ(test::Control<QPlainTextEdit>(*windows->ResultWindow, "ResultText").toPlainText(),
            watcher->reports[1]);
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(EndToEndTest, MirroredTreeIsBroughtUpToDateByEncodingOnlyTheTouchedSource) {
  if (!VorbisToolsInstalled()) {
    GTEST_SKIP() << "the vorbis-tools programs are needed";
  }
  Start({});
  TSetupWindow& setup = *windows->SetupWindow;
  WhenShown(setup, [&setup] {
    test::Control<QCheckBox>(setup, "KeepFolderTree").click();
    test::Control<QComboBox>(setup, "ExistingOutput")
        .setCurrentIndex(1);  // 出力の方が新しければスキップ
    test::Control<QPushButton>(setup, "SetupWindowClose").click();
  });
  test::Control<QPushButton>(*main, "SetupButton").click();

  const QString artist = root.filePath(QStringLiteral("music/Artist"));
  const QStringList tracks = {QStringLiteral("Album/CD1/01.wav"),
                              QStringLiteral("Album/CD2/01.wav"),
                              QStringLiteral("Live 武道館/01 開演.wav")};
  for (const QString& track : tracks) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(artist + "/" + track).path()));
    ASSERT_TRUE(test::WriteToneWave((artist + "/" + track).toStdString(), 0.5));
  }
  main->FormDropFiles({artist});
  ASSERT_TRUE(test::WaitForAdding(*main));
  ASSERT_EQ(test::RowCount(test::Control<JobListView>(*main, "InputFileList")), tracks.size());
  QStringList outputs;
  for (const QString& track : tracks) {
    outputs << Output(QStringLiteral("Artist/") + track.chopped(4) + QStringLiteral(".ogg"));
  }

  // The output path shown is the whole one, below the folder that the view shows.
  Select({0});
  EXPECT_EQ(test::Control<QLineEdit>(*main, "OutputFilePath").text(), outputs[0]);
  Select({});

  ClickStart();
  std::vector<QString> expected;
  for (const QString& output : outputs) {
    const auto block = JobBlock(QStringLiteral("[終了]"), output);
    expected.insert(expected.end(), block.begin(), block.end());
  }
  const auto summary = Summary(QStringLiteral("[終了]"), 3);
  expected.insert(expected.end(), summary.begin(), summary.end());
  ASSERT_EQ(watcher->reports.size(), 1u);
  ExpectReport(watcher->reports[0], expected);

  // The second track's source changes after its output was written.
  namespace fs = std::filesystem;
  std::vector<fs::file_time_type> written;
  for (const QString& output : outputs)
    written.push_back(fs::last_write_time(output.toStdString()));
  const std::string touched = (artist + "/" + tracks[1]).toStdString();
  fs::last_write_time(touched, written[1] + std::chrono::seconds(1));

  // Only its output is asked about, and only it is encoded.
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  ClickStart();
  ASSERT_EQ(dialogs.Prompts().size(), 1u);
  EXPECT_EQ(dialogs.Prompts()[0].text,
            QStringLiteral("指定の場所に同名のファイルがあります\n\n%1\n\n上書きしますか？")
                .arg(outputs[1]));
  expected = {Literal(QStringLiteral("[スキップ]")), Literal(outputs[0]), QString()};
  const auto encoded = JobBlock(QStringLiteral("[終了]"), outputs[1]);
  expected.insert(expected.end(), encoded.begin(), encoded.end());
  expected.insert(
      expected.end(),
      {Literal(QStringLiteral("[スキップ]")), Literal(outputs[2]), QString(),
       Literal(QStringLiteral("----------")), QString(), Literal(QStringLiteral("[終了]")),
       Literal(QStringLiteral("1個のファイルを処理。")),
       Literal(QStringLiteral("2個のファイルをスキップ。")), kTotal, QString()});
  ASSERT_EQ(watcher->reports.size(), 2u);
  ExpectReport(watcher->reports[1], expected);
  EXPECT_EQ(fs::last_write_time(outputs[0].toStdString()), written[0]);
  EXPECT_GT(fs::last_write_time(outputs[1].toStdString()), written[1]);
  EXPECT_EQ(fs::last_write_time(outputs[2].toStdString()), written[2]);
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(EndToEndTest, CancelStopsTheRunningEncoderAndTheBatch) {
  test::ScopedEnvironment environment;
  environment.Set("LUMIO_FAKE_WAIT", "1");
  Start({QStringLiteral("long.wav"), QStringLiteral("later.wav")},
        QStringLiteral("[Options]\nSetEncoderPlace=1\nEncoderPlace=%1\n")
            .arg(QString::fromStdString(test::kFakeEncoder)));

  TProgressWindow& progress = *windows->ProgressWindow;
  int clicks = 0;
  // 中止 is pressed while the batch waits for the encoder; pressed again until the
  // encoder has been registered with the window.
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, &progress, [&] {
    if (progress.isVisible()) {
      ++clicks;
      test::Control<QPushButton>(progress, "CancelEncoding").click();
    }
  });
  canceller.start(200);

  QElapsedTimer elapsed;
  elapsed.start();
  ClickStart();
  canceller.stop();

  EXPECT_LT(elapsed.elapsed(), 30000);
  EXPECT_GE(clicks, 1);
  ASSERT_EQ(watcher->reports.size(), 1u);
  std::vector<QString> expected = JobBlock(QStringLiteral("[中止]"), Output("long.ogg"));
  expected.insert(expected.end(), {Literal("[未処理] " + Output("later.ogg")), QString()});
  const auto summary =
      Summary(QStringLiteral("[中止]"), 0,
              {QStringLiteral("1個のファイルを中止。"), QStringLiteral("1個のファイルが未処理。")});
  expected.insert(expected.end(), summary.begin(), summary.end());
  ExpectReport(watcher->reports[0], expected);
  EXPECT_FALSE(progress.isVisible());
  EXPECT_TRUE(main->isEnabled());
}

TEST_F(EndToEndTest, ConsoleShowsTheEncoderOutputInsteadOfTheProgressWindow) {
  if (!VorbisToolsInstalled()) {
    GTEST_SKIP() << "the vorbis-tools programs are needed";
  }
  Start({QStringLiteral("one.wav")}, QStringLiteral("[Options]\nViewCheck=1\n"));
  bool progressShown = false;
  QTimer observer;
  QObject::connect(&observer, &QTimer::timeout, main,
                   [&] { progressShown = progressShown || windows->ProgressWindow->isVisible(); });
  observer.start(1);

  ClickStart();
  observer.stop();

  ASSERT_EQ(watcher->reports.size(), 1u);
  EXPECT_TRUE(watcher->reports[0].startsWith(QStringLiteral("[終了]\n")));
  EXPECT_FALSE(progressShown);
  EXPECT_FALSE(windows->ConsoleWindow->isVisible());
  EXPECT_EQ(windows->ConsoleWindow->windowTitle(),
            QStandardPaths::findExecutable(QStringLiteral("oggenc")));
  EXPECT_TRUE(test::Control<QPlainTextEdit>(*windows->ConsoleWindow, "Output")
                  .toPlainText()
                  .contains(QStringLiteral("Done encoding")));
}

TEST_F(EndToEndTest, TwoEncodersAtOnceReportInListOrder) {
  if (!VorbisToolsInstalled()) {
    GTEST_SKIP() << "the vorbis-tools programs are needed";
  }
  const QStringList names = {QStringLiteral("a.wav"), QStringLiteral("b.wav"),
                             QStringLiteral("c.wav")};
  Start(names, QStringLiteral("[Options]\nParallelEncoders=2\n"));
  test::Control<QLineEdit>(*main, "Title").setText(QStringLiteral("三"));
  ClickStart();
  std::vector<QString> expected;
  for (const QString& name :
       {QStringLiteral("a.ogg"), QStringLiteral("b.ogg"), QStringLiteral("c.ogg")}) {
    const auto block = JobBlock(QStringLiteral("[終了]"), Output(name));
    expected.insert(expected.end(), block.begin(), block.end());
  }
  const auto summary = Summary(QStringLiteral("[終了]"), 3);
  expected.insert(expected.end(), summary.begin(), summary.end());
  ASSERT_EQ(watcher->reports.size(), 1u);
  ExpectReport(watcher->reports[0], expected);
  // Only the finished files are in the folder: no hidden leftovers.
  EXPECT_EQ(QDir(OutputFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{"a.ogg", "b.ogg", "c.ogg"}));
}

TEST_F(EndToEndTest, CancelKeepsTheEarlierCompleteFileAndLeavesNoPartialOne) {
  test::ScopedEnvironment environment;
  environment.Set("LUMIO_FAKE_WAIT", "1");
  Start({QStringLiteral("long.wav")},
        QStringLiteral("[Options]\nSetEncoderPlace=1\nEncoderPlace=%1\n")
            .arg(QString::fromStdString(test::kFakeEncoder)));
  QFile earlier(Output(QStringLiteral("long.ogg")));
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write("the complete file of an earlier run");
  earlier.close();
  dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  TProgressWindow& progress = *windows->ProgressWindow;
  QTimer::singleShot(500, &progress, [&progress] {
    test::Control<QPushButton>(progress, "CancelEncoding").click();
  });
  ClickStart();
  ASSERT_EQ(watcher->reports.size(), 1u);
  EXPECT_TRUE(watcher->reports[0].startsWith(QStringLiteral("[中止]\n")));
  EXPECT_EQ(QDir(OutputFolder()).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("long.ogg")});
  ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
  EXPECT_EQ(earlier.readAll(), QByteArray("the complete file of an earlier run"));
}

TEST_F(EndToEndTest, AFailureGivesTheEncodersReasonInTheReport) {
  if (!VorbisToolsInstalled()) {
    GTEST_SKIP() << "the vorbis-tools programs are needed";
  }
  Start({QStringLiteral("good.wav"), QStringLiteral("broken.wav")});
  QFile broken(Input(QStringLiteral("broken.wav")));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a sound file");
  broken.close();
  ClickStart();
  std::vector<QString> expected = JobBlock(QStringLiteral("[終了]"), Output("good.ogg"));
  auto failed = JobBlock(QStringLiteral("[中止]"), Output("broken.ogg"));
  failed.insert(failed.end() - 1,
                Literal(QStringLiteral("理由 ： ERROR: Input file \"%1\" is not a "
                                       "supported format")
                            .arg(Input(QStringLiteral("broken.wav")))));
  expected.insert(expected.end(), failed.begin(), failed.end());
  const auto summary =
      Summary(QStringLiteral("[中止]"), 1, {QStringLiteral("1個のファイルが失敗。")});
  expected.insert(expected.end(), summary.begin(), summary.end());
  ASSERT_EQ(watcher->reports.size(), 1u);
  ExpectReport(watcher->reports[0], expected);
  EXPECT_FALSE(QFile::exists(Output(QStringLiteral("broken.ogg"))));
}

}  // namespace
}  // namespace lumio
