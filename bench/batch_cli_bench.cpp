// Measures `lumio --batch`, the real program started as a shell user starts it, round
// after round, each round running the baseline and Lumio one after the other (argument:
// number of rounds, default 5; the figures are medians):
// - eight 60-second WAVE files, `--jobs 2`, against `xargs -P2` running the same oggenc
//   commands (the same options, an output name and the input each), each of the two
//   first in every other round;
// - the mirror tree of 5 000 files in 500 folders, 4 900 with up-to-date outputs, with a
//   stand-in encoder that writes one byte and exits, run with --prune: the mirror's list
//   names the 4 900 outputs and 100 more whose source has gone, which the run removes.
//   Lumio's time from start to exit less the time of the 100 stand-in runs alone, one
//   after the other as Lumio runs them.
// Ends with `batch_cli_jobs2_vs_xargs: …` and `batch_cli_mirror_overhead_s: …`.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/median.h"
#include "core/mirror_prune.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/wave_bytes.h"

extern char** environ;

namespace {

using lumio::bench::Median;

namespace fs = std::filesystem;
using lumio::test::TemporaryFolder;

constexpr int kLongFiles = 8;
constexpr double kLongSeconds = 60;
constexpr int kArtists = 50;
constexpr int kAlbumsPerArtist = 10;
constexpr int kTracksPerAlbum = 10;
constexpr int kEncodedEvery = 50;  // every 50th file has no output yet: 100 of 5 000
constexpr int kOrphanEvery = 5;    // one album in five has an output whose source has gone

// Runs `arguments` (the program by its path, or found on PATH) with its output thrown
// away and returns the seconds it took; negative when it did not exit with 0.
double TimedRun(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child) return -1;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// The stand-in encoder: writes one byte to the file named by -o and exits.
bool WriteStandIn(const std::string& path) {
  std::ofstream(path) << "#!/bin/sh\n"
                         "for a; do case $a in -o*) printf x > \"${a#-o}\";; esac; done\n";
  return ::chmod(path.c_str(), 0755) == 0;
}

bool WriteShortWave(const std::string& path) {
  constexpr std::uint32_t kDataSize = 441 * 4;  // 0.01 s of 16-bit stereo silence
  std::ofstream out(path, std::ios::binary);
  out << lumio::test::PlainWave(kDataSize) << std::string(kDataSize, '\0');
  return static_cast<bool>(out);
}

// Lumio against xargs -P2 on long files; the ratio of each round.
std::vector<double> LongFiles(const std::string& root, int rounds) {
  const std::string input = root + "/long";
  fs::create_directories(input);
  fs::create_directories(root + "/long-xargs");
  fs::create_directories(root + "/long-lumio");
  std::ofstream list(root + "/xargs-list", std::ios::binary);
  for (int i = 1; i <= kLongFiles; ++i) {
    const std::string name = std::to_string(i);
    if (!lumio::test::WriteToneWave(input + "/" + name + ".wav", kLongSeconds)) return {};
    for (const std::string& argument :
         {std::string("-o"), root + "/long-xargs/" + name + ".ogg", input + "/" + name + ".wav"}) {
      list << argument << '\0';
    }
  }
  list.close();
  std::ofstream(root + "/plain.ini") << "";  // default options, oggenc from PATH
  std::vector<double> ratios;
  for (int round = 1; round <= rounds; ++round) {
    // Every other round runs Lumio first, so that a machine growing busier or quieter
    // meanwhile favours neither.
    const std::vector<std::string> xargsRun{
        "xargs", "-0", "-P2", "-n3", "-a", root + "/xargs-list", "oggenc", "--utf8"};
    const std::vector<std::string> lumioRun{LUMIO_PROGRAM,
                                            "--batch",
                                            "--quiet",
                                            "--jobs",
                                            "2",
                                            "--existing",
                                            "overwrite",
                                            "--settings",
                                            root + "/plain.ini",
                                            "--output",
                                            root + "/long-lumio",
                                            input};
    const bool lumioFirst = round % 2 == 0;
    const double first = TimedRun(lumioFirst ? lumioRun : xargsRun);
    const double second = TimedRun(lumioFirst ? xargsRun : lumioRun);
    const double lumio = lumioFirst ? first : second;
    const double xargs = lumioFirst ? second : first;
    if (xargs <= 0 || lumio <= 0) return {};
    std::printf("round %d: %d x %.0f s, 2 at once: lumio %.2f s, xargs -P2 %.2f s\n", round,
                kLongFiles, kLongSeconds, lumio, xargs);
    std::fflush(stdout);
    ratios.push_back(lumio / xargs);
  }
  return ratios;
}

// Lists the up-to-date outputs and the orphans in the mirror's list, as an earlier run
// would have, after making the orphans anew.
bool ListMirror(const std::string& root, const std::vector<std::string>& sources,
                const std::vector<std::string>& outputs, const std::vector<std::string>& orphans,
                const std::vector<std::string>& goneSources) {
  std::vector<lumio::MirrorEntry> entries;
  for (std::size_t i = 0; i < orphans.size(); ++i) {
    std::ofstream(orphans[i]) << "source gone";
    entries.push_back(*lumio::WrittenEntry(root, orphans[i], goneSources[i]));
  }
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (i % kEncodedEvery != 0) {
      entries.push_back(*lumio::WrittenEntry(root, outputs[i], sources[i]));
    }
  }
  return lumio::WriteMirrorManifest(root, entries);
}

// Lumio's time on the mirror tree less the 100 stand-in runs alone; each round's figure.
std::vector<double> Mirror(const std::string& root, int rounds) {
  const std::string library = root + "/ライブラリ";
  const std::string standIn = root + "/stand-in-encoder";
  if (!WriteStandIn(standIn)) return {};
  std::vector<std::string> sources;
  std::vector<std::string> outputs;
  std::vector<std::string> orphans;
  std::vector<std::string> goneSources;
  for (int artist = 0; artist < kArtists; ++artist) {
    for (int album = 0; album < kAlbumsPerArtist; ++album) {
      const std::string folder =
          "/Artist " + std::to_string(artist) + "/Album " + std::to_string(album) + "/";
      fs::create_directories(library + folder);
      fs::create_directories(root + "/ogg/ライブラリ" + folder);
      if (album % kOrphanEvery == 0) {
        orphans.push_back(root + "/ogg/ライブラリ" + folder + "Gone.ogg");
        goneSources.push_back(library + folder + "Gone.wav");
      }
      for (int track = 1; track <= kTracksPerAlbum; ++track) {
        const std::string name = std::to_string(track) + " Track";
        sources.push_back(library + folder + name + ".wav");
        outputs.push_back(root + "/ogg/ライブラリ" + folder + name + ".ogg");
        if (!WriteShortWave(sources.back())) return {};
      }
    }
  }
  // Written after their sources: up to date.
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (i % kEncodedEvery != 0) std::ofstream(outputs[i]) << "up to date";
  }
  const std::string settings = root + "/mirror.ini";
  std::ofstream(settings) << "[Options]\nSetEncoderPlace=1\nEncoderPlace=" << standIn << "\n";
  std::vector<double> overheads;
  for (int round = 1; round <= rounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < sources.size(); i += kEncodedEvery) {
      if (TimedRun({standIn, "-o" + root + "/alone.ogg", sources[i]}) < 0) return {};
    }
    const double alone =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (std::size_t i = 0; i < outputs.size(); i += kEncodedEvery) fs::remove(outputs[i]);
    if (!ListMirror(root + "/ogg/", sources, outputs, orphans, goneSources)) return {};
    // The check of complete albums' fields is to join this run once it has an option.
    const double lumio =
        TimedRun({LUMIO_PROGRAM, "--batch", "--quiet", "--settings", settings, "--keep-tree",
                  "--existing", "skip-newer", "--prune", "--output", root + "/ogg", library});
    std::size_t written = 0;
    for (std::size_t i = 0; i < outputs.size(); i += kEncodedEvery) {
      written += fs::exists(outputs[i]) && fs::file_size(outputs[i]) == 1 ? 1 : 0;
    }
    const auto left = std::count_if(orphans.begin(), orphans.end(),
                                    [](const std::string& orphan) { return fs::exists(orphan); });
    if (lumio <= 0 || written != outputs.size() / kEncodedEvery || left != 0) {
      std::fprintf(stderr, "round %d: lumio failed, wrote %zu outputs, left %zu orphans\n", round,
                   written, static_cast<std::size_t>(left));
      return {};
    }
    std::printf("round %d: mirror of %zu files: lumio %.3f s, the 100 stand-in runs alone %.3f s\n",
                round, sources.size(), lumio, alone);
    std::fflush(stdout);
    overheads.push_back(lumio - alone);
  }
  return overheads;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  TemporaryFolder folder;
  const std::vector<double> ratios = LongFiles(folder.Path(), rounds);
  const std::vector<double> overheads = Mirror(folder.Path(), rounds);
  if (ratios.empty() || overheads.empty()) {
    std::fprintf(stderr, "a run failed\n");
    return 1;
  }
  std::printf("batch_cli_jobs2_vs_xargs: %.3f\n", Median(ratios));
  std::printf("batch_cli_mirror_overhead_s: %.3f\n", Median(overheads));
  return 0;
}
