// Measures Ogg Opus through the batch engine against running the same opusenc argument
// vectors directly, two at a time as `xargs -P2` would: eight minute-long stereo WAVE
// files, round after round (argument: number of rounds, default 2), the two ways taking
// turns so that load from elsewhere on the machine falls on both alike. Ends with
// `opus_jobs2_vs_xargs`, the median of the engine's wall times over the pool's.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_setup.h"
#include "bench/median.h"
#include "bench/run_engine.h"
#include "core/file_data_list.h"
#include "core/output_format.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "tests/support/add_sources.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/wave_bytes.h"

namespace {

using namespace lumio;

constexpr int kFiles = 8;
constexpr int kSeconds = 60;
constexpr int kParallel = 2;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int rounds = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
  const std::string opusenc = FindOnSearchPath("opusenc");
  if (opusenc.empty()) {
    std::fprintf(stderr, "opusenc is not installed\n");
    return 1;
  }
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  for (const char* folder : {"in/", "out/", "base/"}) {
    if (!CreateFolder(root + folder)) return 1;
  }
  SettingsStore settings(root + "lumio.ini");
  WriteOutputFormat(settings, OutputFormat::Opus);
  FileDataList jobs;
  std::vector<std::vector<std::string>> vectors;
  const std::string optionText = BuildOptionText(settings);
  for (int i = 0; i < kFiles; ++i) {
    const std::string input = root + "in/song" + std::to_string(i) + ".wav";
    if (!test::WriteToneWave(input, kSeconds) ||
        !test::AddSource(jobs, input, settings, root + "out/")) {
      std::fprintf(stderr, "cannot prepare %s\n", input.c_str());
      return 1;
    }
    const FileData& job = jobs.Record(jobs.Count() - 1);
    vectors.push_back(BuildEncoderArguments(opusenc, optionText, job.Title, job.Artist, job.Album,
                                            job.Date, job.TrackNumber, job.Comment,
                                            OutputNameFor(job.OutputFileName, OutputFormat::Opus),
                                            input, CodePage::Utf8, OutputFormat::Opus));
  }

  MonotonicClock clock;
  std::vector<double> pool, engine;
  for (int round = 0; round < rounds; ++round) {
    // Each way goes first in every other round, so that neither always meets a warmer cache.
    for (const bool enginesTurn : {round % 2 == 1, round % 2 == 0}) {
      const double start = bench::WallSeconds();
      if (enginesTurn && !bench::RunEngine(jobs, settings, "", kParallel, clock)) {
        std::fprintf(stderr, "the batch did not finish\n");
        return 1;
      }
      if (!enginesTurn && !bench::RunAllDirectly(vectors, root + "base/", kParallel)) return 1;
      (enginesTurn ? engine : pool).push_back(bench::WallSeconds() - start);
    }
    std::printf("round %d: xargs -P2 %.3f s, Lumio %.3f s\n", round + 1, pool.back(),
                engine.back());
  }
  std::printf("files: %d x %d s stereo tone, %d at once, %d rounds\n", kFiles, kSeconds, kParallel,
              rounds);
  std::printf("opus_jobs2_vs_xargs: %.4f\n", bench::Median(engine) / bench::Median(pool));
  return 0;
}
