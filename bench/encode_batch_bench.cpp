// Measures the batch engine against running the same encoder argument vectors directly,
// round after round (argument: number of rounds, default 2):
// - eight minute-long WAVE files, two encoders at once against an `xargs -P2`-style
//   pool, and one at a time against a loop;
// - five hundred 0.1-second files through the real windows (offscreen), one at a time,
//   against a loop;
// - the front-end's own CPU time during the engine runs as a share of the encoders'.
// Ends with one `name: value` line per figure.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "bench/bench_setup.h"
#include "bench/fixed_dialogs.h"
#include "bench/run_engine.h"
#include "core/file_data_list.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "tests/support/add_sources.h"
#include "tests/support/find_control.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/wait_for_adding.h"
#include "tests/support/wave_bytes.h"
#include "ui/batch_controller.h"
#include "ui/job_list_model.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"
#include "ui/result_window.h"

namespace {

using namespace lumio;

constexpr int kFiles = 8;
constexpr int kSeconds = 60;
constexpr int kShortFiles = 500;
constexpr double kShortSeconds = 0.1;

double Seconds(const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; }

struct Usage {
  double wall = 0;
  double selfCpu = 0;
  double childrenCpu = 0;
};

Usage Now() {
  rusage self{};
  rusage children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  const auto wall = std::chrono::steady_clock::now().time_since_epoch();
  return {std::chrono::duration<double>(wall).count(),
          Seconds(self.ru_utime) + Seconds(self.ru_stime),
          Seconds(children.ru_utime) + Seconds(children.ru_stime)};
}

Usage Add(const Usage& a, const Usage& b) {
  return {a.wall + b.wall, a.selfCpu + b.selfCpu, a.childrenCpu + b.childrenCpu};
}

Usage Since(const Usage& start) {
  const Usage end = Now();
  return {end.wall - start.wall, end.selfCpu - start.selfCpu, end.childrenCpu - start.childrenCpu};
}

// The encoder argument vectors of a list, as the batch gives them, but for plain output
// names in `folder`.
std::vector<std::vector<std::string>> EncoderVectors(const FileDataList& jobs,
                                                     const SettingsStore& settings,
                                                     const std::string& oggenc) {
  std::vector<std::vector<std::string>> vectors;
  const std::string optionText = BuildOptionText(settings);
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    const FileData& job = jobs.Record(i);
    std::vector<std::string> arguments = BuildEncoderArguments(
        oggenc, optionText, job.Title, job.Artist, job.Album, job.Date, job.TrackNumber,
        job.Comment, job.OutputFileName, jobs.InputPath(i), CodePage::Utf8);
    arguments.insert(arguments.begin() + 1, "--utf8");
    vectors.push_back(std::move(arguments));
  }
  return vectors;
}

// Runs the list through the real windows: the start button, the progress window and the
// result window, which is closed as soon as it shows.
bool RunWindows(LumioWindows& windows) {
  TMainWindow& main = *windows.MainWindow;
  QEventLoop loop;
  bool ended = false;
  QObject::connect(windows.Batch.get(), &BatchController::Ended, &loop, [&] {
    ended = true;
    loop.quit();
  });
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&windows] {
    if (windows.ResultWindow->isVisible())
      test::Control<QPushButton>(*windows.ResultWindow, "ResultOk").click();
  });
  closer.start(10);
  test::Control<QPushButton>(main, "StartEncode").click();
  if (!ended) loop.exec();
  return test::Control<QPlainTextEdit>(*windows.ResultWindow, "ResultText")
      .toPlainText()
      .contains(QStringLiteral("[終了]\n") + QString::number(main.Jobs().Count()));
}

struct Comparison {
  Usage baseline;
  Usage lumio;
  double baselineBest = 1e9;
  double lumioBest = 1e9;
  void Add(const Usage& base, const Usage& ours) {
    baseline = ::Add(baseline, base);
    lumio = ::Add(lumio, ours);
    baselineBest = std::min(baselineBest, base.wall);
    lumioBest = std::min(lumioBest, ours.wall);
  }
  double Ratio() const { return lumio.wall / baseline.wall; }
};

bool MakeList(FileDataList& jobs, const SettingsStore& settings, const std::string& root, int files,
              double seconds, const std::string& outputFolder) {
  for (int i = 0; i < files; ++i) {
    const std::string input = root + "song" + std::to_string(i) + ".wav";
    if (!test::WriteToneWave(input, seconds) ||
        !test::AddSource(jobs, input, settings, outputFolder)) {
      std::fprintf(stderr, "cannot prepare %s\n", input.c_str());
      return false;
    }
    jobs.ApplyTag(TagField::Title, "曲 " + std::to_string(i + 1), {jobs.Count() - 1});
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
  const std::string oggenc = lumio::bench::FindOggencOrSay();
  if (oggenc.empty()) return 1;
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  for (const char* folder :
       {"long/", "long-out/", "long-base/", "short/", "short-out/", "short-base/"}) {
    if (!CreateFolder(root + folder)) return 1;
  }
  SettingsStore settings(root + "lumio.ini");
  WriteEncoderLocation(settings, {true, oggenc});

  // Eight minute-long files through the engine, two at a time and one at a time, against
  // the same vectors run directly. Rounds alternate the ways, so that load from
  // elsewhere on the machine falls on both alike.
  FileDataList longJobs;
  if (!MakeList(longJobs, settings, root + "long/", kFiles, kSeconds, root + "long-out/")) return 1;
  const auto longVectors = EncoderVectors(longJobs, settings, oggenc);
  MonotonicClock clock;
  Comparison two;
  Comparison one;
  for (int round = 0; round < rounds; ++round) {
    for (const int parallel : {2, 1}) {
      const Usage baseStart = Now();
      if (!bench::RunAllDirectly(longVectors, root + "long-base/", parallel)) return 1;
      const Usage base = Since(baseStart);
      const Usage oursStart = Now();
      if (!bench::RunEngine(longJobs, settings, "", parallel, clock)) {
        std::fprintf(stderr, "the batch did not finish\n");
        return 1;
      }
      const Usage ours = Since(oursStart);
      std::printf("round %d, %d at once: direct %.3f s, Lumio %.3f s (front-end CPU %.4f s)\n",
                  round + 1, parallel, base.wall, ours.wall, ours.selfCpu);
      (parallel == 2 ? two : one).Add(base, ours);
    }
  }

  // Five hundred short files through the real windows, against the same vectors in a loop.
  const std::string settingsPath = root + "windows.ini";
  std::ofstream(settingsPath) << "[Options]\nSetEncoderPlace=1\nEncoderPlace=" << oggenc << "\n";
  FixedDialogs dialogs(DialogAnswer::Ok);  // later rounds overwrite the first one's files
  auto windows = CreateLumioWindows(dialogs, settingsPath, clock, root);
  windows->MainWindow->show();
  const FileDataList& shortJobs = windows->Jobs->Jobs();
  {
    FileDataList made;
    if (!MakeList(made, settings, root + "short/", kShortFiles, kShortSeconds, root)) return 1;
    QStringList paths;
    for (std::size_t i = 0; i < made.Count(); ++i)
      paths << QString::fromStdString(made.InputPath(i));
    windows->MainWindow->FormDropFiles(paths);
    if (!lumio::test::WaitForAdding(*windows->MainWindow)) return 1;
    windows->Jobs->SetOutputFolder(root + "short-out/", [&] {
      Selection all;
      for (std::size_t i = 0; i < shortJobs.Count(); ++i) all.push_back(i);
      return all;
    }());
  }
  const auto shortVectors = EncoderVectors(shortJobs, settings, oggenc);
  Comparison many;
  for (int round = 0; round < rounds; ++round) {
    const Usage baseStart = Now();
    if (!bench::RunAllDirectly(shortVectors, root + "short-base/", 1)) return 1;
    const Usage base = Since(baseStart);
    const Usage oursStart = Now();
    if (!RunWindows(*windows)) {
      std::fprintf(stderr, "the batch through the windows did not finish\n");
      return 1;
    }
    const Usage ours = Since(oursStart);
    // The engine alone, to tell its share of the cost from the windows'.
    const Usage engineStart = Now();
    if (!bench::RunEngine(shortJobs, settings, "", 1, clock)) return 1;
    const Usage engineAlone = Since(engineStart);
    std::printf(
        "round %d, %d short files: loop %.3f s, Lumio windows %.3f s, engine alone %.3f s\n",
        round + 1, kShortFiles, base.wall, ours.wall, engineAlone.wall);
    many.Add(base, ours);
  }

  const Usage engine = Add(two.lumio, one.lumio);
  std::printf("files: %d x %d s stereo tone and %d x %.1f s, %d rounds\n", kFiles, kSeconds,
              kShortFiles, kShortSeconds, rounds);
  std::printf("best rounds: 2 at once %.4f, 1 at once %.4f, short files %.4f\n",
              two.lumioBest / two.baselineBest, one.lumioBest / one.baselineBest,
              many.lumioBest / many.baselineBest);
  std::printf("jobs2_vs_xargs_p2: %.4f\n", two.Ratio());
  std::printf("jobs1_vs_loop: %.4f\n", one.Ratio());
  std::printf("short_files_vs_loop: %.4f\n", many.Ratio());
  std::printf("frontend_cpu_percent: %.4f\n", 100.0 * engine.selfCpu / engine.childrenCpu);
  return 0;
}
