// Measures what carrying a source's tags costs next to encoding: 100 FLAC files of 5 s,
// each with 12 comment fields and a 1 MB picture, through the batch engine and the real
// oggenc with two encoders at once, with CarryTags on against off, in interleaved rounds
// (argument: number of rounds, default 5). Ends with `carry_tags_vs_plain: RATIO`, the
// median wall time carrying over the median without.
#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
#include "tests/support/run_tool.h"
#include "tests/support/temporary_folder.h"

namespace {

using lumio::bench::Median;

using namespace lumio;

constexpr int kFiles = 100;

// One tagged FLAC file of 5 s of a tone, copied `kFiles` times into `folder`.
bool MakeSources(const std::string& folder) {
  const std::string tone = folder + "tone.flac";
  if (!test::RunTool(
          {"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", tone, "synth", "5", "sine", "440"})) {
    return false;
  }
  std::string picture(1 << 20, '\0');
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<char>(i * 7919 >> 3);
  if (!test::WriteFile(folder + "picture.bin", picture)) return false;
  std::vector<std::string> command{"metaflac"};
  for (const char* tag :
       {"TITLE=曲", "ARTIST=一", "ARTIST=二", "ALBUM=盤", "DATE=2024", "TRACKNUMBER=1",
        "GENRE=Rock", "ALBUMARTIST=皆", "DISCNUMBER=1", "COMPOSER=作曲者",
        "MUSICBRAINZ_TRACKID=0a1b2c", "REPLAYGAIN_TRACK_GAIN=-3.20 dB"}) {
    command.push_back(std::string("--set-tag=") + tag);
  }
  command.push_back("--import-picture-from=3|image/jpeg|cover|600x600x24|" + folder +
                    "picture.bin");
  command.push_back(tone);
  if (!test::RunTool(command)) return false;
  std::error_code error;
  for (int i = 0; i < kFiles; ++i) {
    std::filesystem::copy_file(tone, folder + "song" + std::to_string(i) + ".flac", error);
    if (error) return false;
  }
  std::filesystem::remove(tone, error);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 5;
  const std::string oggenc = lumio::bench::FindOggencOrSay();
  if (oggenc.empty()) return 1;
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  if (!MakeSources(root)) {
    std::fprintf(stderr, "the FLAC sources could not be made (flac, metaflac, sox)\n");
    return 1;
  }
  SettingsStore settings(root + "lumio.ini");
  WriteEncoderLocation(settings, {true, oggenc});
  settings.WriteBool("Options", "SameOutput", true);
  FileDataList jobs;
  for (int i = 0; i < kFiles; ++i) {
    if (!test::AddSource(jobs, root + "song" + std::to_string(i) + ".flac", settings, root))
      return 1;
  }
  MonotonicClock clock;
  std::vector<double> carrying;
  std::vector<double> plain;
  double carryingCpu = 0;
  double plainCpu = 0;
  for (int round = 0; round < rounds; ++round) {
    // Which way goes first alternates, so that load from elsewhere falls on both alike.
    for (const bool carry : round % 2 == 0 ? std::vector{true, false} : std::vector{false, true}) {
      settings.WriteBool("Options", "CarryTags", carry);
      const auto start = std::chrono::steady_clock::now();
      const double cpuStart = lumio::bench::OwnCpuSeconds();
      if (!lumio::bench::RunEngine(jobs, settings, "", 2, clock)) {
        std::fprintf(stderr, "the batch did not finish\n");
        return 1;
      }
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      (carry ? carrying : plain).push_back(seconds);
      (carry ? carryingCpu : plainCpu) += lumio::bench::OwnCpuSeconds() - cpuStart;
      std::printf("round %d, carry %s: %.3f s\n", round + 1, carry ? "on " : "off", seconds);
    }
  }
  // What carrying costs Lumio itself per file, apart from the noise of the encoders.
  std::printf("carry_tags_cpu_ms_per_file: %.1f\n",
              (carryingCpu - plainCpu) * 1000 / (rounds * kFiles));
  std::printf("carry_tags_vs_plain: %.3f\n", Median(carrying) / Median(plain));
  return 0;
}
