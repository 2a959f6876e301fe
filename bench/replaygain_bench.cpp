// Measures what ReplayGain (track and album) and output verification add to a batch:
// eight minute-long stereo files, two albums of four, through the batch engine and the
// real oggenc with two encoders at once, with both settings on against both off. Rounds
// alternate the two, so that load from elsewhere on the machine falls on both alike
// (argument: number of rounds, at least 5, default 5). Ends with one `name: value` line.
#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "bench/bench_setup.h"
#include "bench/median.h"
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
#include "tests/support/temporary_folder.h"
#include "tests/support/wave_bytes.h"

namespace {

using lumio::bench::Median;

using namespace lumio;

constexpr int kFiles = 8;
constexpr int kSeconds = 60;
constexpr int kParallel = 2;

// Runs the list through the batch engine to its end; the wall time, or a negative one
// when the batch did not complete.
double TimedRun(const FileDataList& jobs, const SettingsStore& settings, Clock& clock) {
  const double start = lumio::bench::WallSeconds();
  return lumio::bench::RunEngine(jobs, settings, "", kParallel, clock)
             ? lumio::bench::WallSeconds() - start
             : -1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 5;
  const std::string oggenc = lumio::bench::FindOggencOrSay();
  if (oggenc.empty()) return 1;
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  for (const char* folder : {"one/", "two/", "out/"}) {
    if (!CreateFolder(root + folder)) return 1;
  }
  SettingsStore plain(root + "plain.ini");
  WriteEncoderLocation(plain, {true, oggenc});
  SettingsStore measured(root + "measured.ini");
  WriteEncoderLocation(measured, {true, oggenc});
  SetupSettings both = ReadSetupSettings(measured);
  both.replayGain = ReplayGainMode::TrackAndAlbum;
  both.verifyOutputs = true;
  WriteSetupSettings(measured, both);

  FileDataList jobs;
  for (int i = 0; i < kFiles; ++i) {
    const std::string folder = root + (i < kFiles / 2 ? "one/" : "two/");
    const std::string input = folder + "song" + std::to_string(i) + ".wav";
    if (!test::WriteToneWave(input, kSeconds) ||
        !test::AddSource(jobs, input, plain, root + "out/")) {
      std::fprintf(stderr, "cannot prepare %s\n", input.c_str());
      return 1;
    }
    jobs.ApplyTag(TagField::Album, "Album", {jobs.Count() - 1});
    jobs.ApplyTag(TagField::Title, "曲 " + std::to_string(i + 1), {jobs.Count() - 1});
  }
  // Later rounds overwrite the first one's outputs without asking: the engine asks nothing.
  MonotonicClock clock;
  std::vector<double> plainTimes;
  std::vector<double> measuredTimes;
  std::vector<double> ratios;
  double extraCpu = 0;
  for (int round = 0; round < rounds; ++round) {
    const double offCpu = lumio::bench::OwnCpuSeconds();
    const double off = TimedRun(jobs, plain, clock);
    const double onCpu = lumio::bench::OwnCpuSeconds();
    const double on = TimedRun(jobs, measured, clock);
    extraCpu += (lumio::bench::OwnCpuSeconds() - onCpu) - (onCpu - offCpu);
    if (off < 0 || on < 0) {
      std::fprintf(stderr, "the batch did not finish\n");
      return 1;
    }
    std::printf("round %d: everything off %.3f s, ReplayGain and verification %.3f s\n", round + 1,
                off, on);
    plainTimes.push_back(off);
    measuredTimes.push_back(on);
    ratios.push_back(on / off);
  }
  std::printf("files: %d x %d s stereo tone in two albums, %d encoders, %d rounds\n", kFiles,
              kSeconds, kParallel, rounds);
  std::printf("median wall time: off %.3f s, on %.3f s; median of the round ratios %.4f\n",
              Median(plainTimes), Median(measuredTimes), Median(ratios));
  // What decoding and measuring cost Lumio itself per file, apart from the encoders.
  std::printf("replaygain_verify_cpu_ms_per_file: %.1f\n", extraCpu * 1000 / (rounds * kFiles));
  std::printf("replaygain_verify_vs_plain: %.4f\n", Median(measuredTimes) / Median(plainTimes));
  return 0;
}
