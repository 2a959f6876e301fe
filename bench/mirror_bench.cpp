// Measures bringing a mirrored library up to date through the real windows (offscreen):
// a tree of 5 000 WAVE files in 500 folders, added as one folder with the folder tree
// kept, of which 4 900 already have up-to-date outputs; the batch skips those and
// encodes the other 100.
//
// The 100 encodings are done by a stand-in encoder, a shell script that writes a
// one-byte output and exits at once, and nothing is subtracted: the time from pressing
// the start button to the result window is Lumio's own time plus 100 starts of /bin/sh,
// an upper bound of Lumio's share that needs no figures from inside the run. A 1-ms
// timer measures the longest time the event loop goes without turning, over the check
// of the 5 000 outputs (the press of the start button, which checks the list before it
// returns) and over the whole run.
//
// Argument: number of rounds (default 3); each round removes the 100 outputs again.
// Ends with `name: value` lines of the worst round.
#include <sys/stat.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "bench/fixed_dialogs.h"
#include "core/file_data_list.h"
#include "core/folder_tree.h"
#include "core/settings_store.h"
#include "encode/run/batch_plan.h"
#include "encode/run/clock.h"
#include "tests/support/find_control.h"
#include "tests/support/wave_bytes.h"
#include "ui/batch_controller.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/result_window.h"

namespace {

using namespace lumio;

constexpr int kArtists = 50;
constexpr int kAlbumsPerArtist = 10;
constexpr int kTracksPerAlbum = 10;
constexpr int kEncodedEvery = 50;  // every 50th file has no output yet: 100 of 5 000

// A 0.01-second 16-bit stereo WAVE file of silence.
bool WriteWave(const std::string& path) {
  constexpr std::uint32_t kDataSize = 441 * 4;
  std::ofstream out(path, std::ios::binary);
  out << test::PlainWave(kDataSize) << std::string(kDataSize, '\0');
  return static_cast<bool>(out);
}

// The stand-in encoder: writes one byte to the file named by -o and exits.
bool WriteStandIn(const std::string& path) {
  std::ofstream(path) << "#!/bin/sh\n"
                         "for a; do case $a in -o*) printf x > \"${a#-o}\";; esac; done\n";
  return ::chmod(path.c_str(), 0755) == 0;
}

std::string OutputPathOf(const FileDataList& jobs, std::size_t job) {
  return OutputFolderOf(jobs.Record(job), NativePathRules()) + jobs.Record(job).OutputFileName;
}

struct Round {
  double overheadSeconds = 0;
  double checkStallMs = 0;
  double runStallMs = 0;
  bool finished = false;
};

// Presses the start button from the event loop and follows the batch to the result
// window, which is closed as soon as it shows.
Round RunBatch(LumioWindows& windows) {
  TMainWindow& main = *windows.MainWindow;
  Round round;
  QElapsedTimer clock;
  qint64 lastTick = -1;
  qint64 pressStart = -1;
  qint64 pressEnd = -1;
  double longest = 0;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (lastTick >= 0) {
      const double gapMs = (now - lastTick) / 1e6;
      longest = std::max(longest, gapMs);
      // The gap that holds the press of the start button is the check's stall.
      if (pressStart >= lastTick && pressEnd >= 0 && pressEnd <= now) {
        round.checkStallMs = std::max(round.checkStallMs, gapMs);
      }
    }
    lastTick = now;
    if (windows.ResultWindow->isVisible() && !round.finished) {
      round.finished = true;
      round.overheadSeconds = (now - pressStart) / 1e9;
      test::Control<QPushButton>(*windows.ResultWindow, "ResultOk").click();
    }
  });
  clock.start();
  ticker.start(1);
  QTimer::singleShot(5, &main, [&] {
    pressStart = clock.nsecsElapsed();
    test::Control<QPushButton>(main, "StartEncode").click();
    pressEnd = clock.nsecsElapsed();
  });
  while (!round.finished) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  round.runStallMs = longest;
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::string root = dir.path().toStdString() + "/";
  const std::string library = root + "ライブラリ";
  const std::string standIn = root + "stand-in-encoder";
  if (!WriteStandIn(standIn)) return 1;
  for (int artist = 0; artist < kArtists; ++artist) {
    for (int album = 0; album < kAlbumsPerArtist; ++album) {
      const std::string folder =
          library + "/Artist " + std::to_string(artist) + "/Album " + std::to_string(album) + "/";
      std::filesystem::create_directories(folder);
      for (int track = 1; track <= kTracksPerAlbum; ++track) {
        if (!WriteWave(folder + std::to_string(track) + " Track.wav")) return 1;
      }
    }
  }
  std::filesystem::create_directories(root + "ogg");
  const std::string settingsPath = root + "lumio.ini";
  std::ofstream(settingsPath) << "[General]\nDefDir=" << root << "ogg/\n"
                              << "[Options]\nSetEncoderPlace=1\nEncoderPlace=" << standIn
                              << "\nKeepFolderTree=1\nExistingOutput=1\n";

  FixedDialogs dialogs(DialogAnswer::Ok);
  MonotonicClock clock;
  auto windows = CreateLumioWindows(dialogs, settingsPath, clock, root);
  TMainWindow& main = *windows->MainWindow;
  main.show();
  main.FormDropFiles({QString::fromStdString(library)});
  while (main.Adding()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const FileDataList& jobs = main.Jobs();
  const std::size_t total = static_cast<std::size_t>(kArtists * kAlbumsPerArtist * kTracksPerAlbum);
  if (jobs.Count() != total) {
    std::fprintf(stderr, "added %zu files, not %zu\n", jobs.Count(), total);
    return 1;
  }
  // Outputs written after their sources are up to date.
  for (std::size_t job = 0; job < jobs.Count(); ++job) {
    if (job % kEncodedEvery == 0) continue;
    const std::string output = OutputPathOf(jobs, job);
    std::filesystem::create_directories(std::filesystem::path(output).parent_path());
    std::ofstream(output) << "up to date";
  }

  QElapsedTimer checkOnly;
  checkOnly.start();
  const auto checked = PrepareBatch(jobs, *windows->Settings, root, NativePathRules());
  const double checkMs = checkOnly.nsecsElapsed() / 1e6;
  if (!std::holds_alternative<BatchPlan>(checked)) return 1;
  std::size_t skipped = 0;
  for (const PlannedJob& job : std::get<BatchPlan>(checked).jobs) skipped += job.skip ? 1 : 0;
  std::printf("check alone: %zu jobs, %zu skipped, %.1f ms\n", jobs.Count(), skipped, checkMs);

  Round worst;
  for (int number = 1; number <= rounds; ++number) {
    for (std::size_t job = 0; job < jobs.Count(); job += kEncodedEvery) {
      std::filesystem::remove(OutputPathOf(jobs, job));
    }
    const Round round = RunBatch(*windows);
    std::size_t written = 0;
    for (std::size_t job = 0; job < jobs.Count(); job += kEncodedEvery) {
      written += std::filesystem::file_size(OutputPathOf(jobs, job)) == 1 ? 1 : 0;
    }
    const QString report =
        test::Control<QPlainTextEdit>(*windows->ResultWindow, "ResultText").toPlainText();
    if (written != jobs.Count() / kEncodedEvery ||
        !report.contains(
            QStringLiteral("[終了]\n100個のファイルを処理。\n4900個のファイルをスキップ。"))) {
      std::fprintf(stderr, "round %d wrote %zu of the outputs\n", number, written);
      return 1;
    }
    std::printf(
        "round %d: %.3f s from start to report, stall %.1f ms in the check, %.1f ms "
        "over the run\n",
        number, round.overheadSeconds, round.checkStallMs, round.runStallMs);
    worst.overheadSeconds = std::max(worst.overheadSeconds, round.overheadSeconds);
    worst.checkStallMs = std::max(worst.checkStallMs, round.checkStallMs);
    worst.runStallMs = std::max(worst.runStallMs, round.runStallMs);
  }
  std::printf("longest stall over a whole run: %.1f ms\n", worst.runStallMs);
  std::printf("mirror_overhead_s: %.3f\n", worst.overheadSeconds);
  std::printf("max_stall_ms: %.1f\n", worst.checkStallMs);
  return 0;
}
