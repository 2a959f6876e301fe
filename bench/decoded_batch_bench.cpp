// Measures decoded jobs (MP3 through the decoder into the encoder) against the same
// pipelines run directly: eight minute-long MP3 files, two jobs at once through the
// batch engine, against `ffmpeg … -f wav - | oggenc --ignorelength … -` pipelines of the
// same argument vectors, two at a time, each pair joined by a pipe (no shell). Rounds
// alternate the two ways (argument: number of rounds, at least 5, default 5); the figure
// is the median of the rounds' ratios. Ends with one `name: value` line.
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
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
#include "encode/child/decoder_command.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "tests/support/add_sources.h"
#include "tests/support/decoded_sources.h"
#include "tests/support/temporary_folder.h"

namespace {

using lumio::bench::Median;
using lumio::bench::Spawn;

using namespace lumio;

constexpr int kFiles = 8;
constexpr int kSeconds = 60;
constexpr int kParallel = 2;

struct Pipeline {
  std::vector<std::string> decoder;
  std::vector<std::string> encoder;
};

// The baseline: the pipelines run at most kParallel at a time, the next one started as
// soon as one has ended (both of its processes).
bool RunPipelines(const std::vector<Pipeline>& pipelines, const std::string& folder) {
  std::size_t next = 0;
  std::map<pid_t, std::size_t> owner;  // process → pipeline
  std::map<std::size_t, int> left;     // pipeline → processes still running
  bool allGood = true;
  while (next < pipelines.size() || !owner.empty()) {
    while (left.size() < static_cast<std::size_t>(kParallel) && next < pipelines.size()) {
      int ends[2];
      if (pipe(ends) != 0) return false;
      const pid_t decoder = Spawn(pipelines[next].decoder, folder, -1, ends[1], {ends[0], ends[1]});
      const pid_t encoder = Spawn(pipelines[next].encoder, folder, ends[0], -1, {ends[0], ends[1]});
      close(ends[0]);
      close(ends[1]);
      if (decoder < 0 || encoder < 0) return false;
      owner[decoder] = next;
      owner[encoder] = next;
      left[next] = 2;
      ++next;
    }
    int status = 0;
    const pid_t ended = wait(&status);
    if (ended < 0) return false;
    allGood = allGood && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const std::size_t pipeline = owner[ended];
    owner.erase(ended);
    if (--left[pipeline] == 0) left.erase(pipeline);
  }
  return allGood;
}

// The argument vectors of a list as the batch gives them, but for plain output names.
std::vector<Pipeline> Pipelines(const FileDataList& jobs, const SettingsStore& settings,
                                const std::string& ffmpeg, const std::string& oggenc) {
  std::vector<Pipeline> pipelines;
  const std::string optionText = BuildOptionText(settings);
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    const FileData& job = jobs.Record(i);
    std::vector<std::string> encoder = BuildEncoderArguments(
        oggenc, optionText, job.Title, job.Artist, job.Album, job.Date, job.TrackNumber,
        job.Comment, job.OutputFileName, kEncoderReadsStandardInput, CodePage::Utf8);
    encoder.insert(encoder.begin() + 1, {kEncoderIgnoresLength, "--utf8"});
    pipelines.push_back(
        {DecoderArguments(ffmpeg, jobs.InputPath(i), job.Audio.Bits), std::move(encoder)});
  }
  return pipelines;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int rounds = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
  const std::string oggenc = FindOnSearchPath("oggenc");
  const std::string ffmpeg = FindOnSearchPath("ffmpeg");
  if (oggenc.empty() || ffmpeg.empty()) {
    std::fprintf(stderr, "oggenc or ffmpeg is not installed\n");
    return 1;
  }
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  for (const char* folder : {"in/", "out/", "base/"}) {
    if (!CreateFolder(root + folder)) return 1;
  }
  SettingsStore settings(root + "lumio.ini");
  WriteEncoderLocation(settings, {true, oggenc});
  FileDataList jobs;
  const test::DecodedFormat& mp3 = test::DecodedFormats().front();
  for (int i = 0; i < kFiles; ++i) {
    const std::string input = root + "in/song" + std::to_string(i) + ".mp3";
    if (!test::MakeDecodedSource(input, mp3, kSeconds) ||
        !test::AddSource(jobs, input, settings, root + "out/")) {
      std::fprintf(stderr, "cannot prepare %s\n", input.c_str());
      return 1;
    }
  }
  const std::vector<Pipeline> pipelines = Pipelines(jobs, settings, ffmpeg, oggenc);
  MonotonicClock clock;
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    const double baseStart = lumio::bench::WallSeconds();
    if (!RunPipelines(pipelines, root + "base/")) {
      std::fprintf(stderr, "a pipeline failed\n");
      return 1;
    }
    const double base = lumio::bench::WallSeconds() - baseStart;
    const double oursStart = lumio::bench::WallSeconds();
    if (!bench::RunEngine(jobs, settings, root, kParallel, clock)) {
      std::fprintf(stderr, "the batch did not finish\n");
      return 1;
    }
    const double ours = lumio::bench::WallSeconds() - oursStart;
    std::printf("round %d: pipelines %.3f s, Lumio %.3f s\n", round + 1, base, ours);
    ratios.push_back(ours / base);
  }
  std::printf("files: %d x %d s MP3, %d jobs at once, %d rounds\n", kFiles, kSeconds, kParallel,
              rounds);
  std::printf("decoded_jobs2_vs_pipelines: %.4f\n", Median(ratios));
  return 0;
}
