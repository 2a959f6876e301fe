// Measures `lumio --batch`, the real program started as a shell user starts it, round
// after round, each round running the baseline and Lumio one after the other (argument:
// number of rounds, default 5; the figures are medians):
// - eight 60-second WAVE files, `--jobs 2`, against `xargs -P2` running the same oggenc
//   commands (the same options, an output name and the input each), each of the two
//   first in every other round;
// - the mirror tree of 5 000 half-second tones in 500 album folders, run with
//   `--replaygain album` and --prune. Every album's outputs are the ones Lumio wrote for
//   one album of the same tones, so 4 900 outputs are up to date with their album fields,
//   and 400 albums complete are checked from their headers alone; the 100 missing outputs
//   are encoded and their albums measured. The mirror's list names the 4 900 outputs and
//   100 more whose source has gone, which the run removes. Lumio's time from start to
//   exit less the time of the 100 oggenc runs alone, one after the other as Lumio runs
//   them.
// Ends with `batch_cli_jobs2_vs_xargs: …` and `batch_cli_mirror_overhead_s: …`.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The source of track `track` of every album: half a second of a tone, mono, a pitch of
// its own so that each track has a gain of its own, and an album field (INFO IPRD), as
// album gain takes only tracks that name their album.
std::string TrackSource(int track) {
  using lumio::test::Le32;
  std::string wave = lumio::test::SineWave(0.5, 200.0 + 60 * track, 0.25, 1, 22050);
  const std::string info = "INFOIPRD" + Le32(6) + std::string("Album\0", 6);
  wave += "LIST" + Le32(static_cast<std::uint32_t>(info.size())) + info;
  return wave.replace(4, 4, Le32(static_cast<std::uint32_t>(wave.size() - 8)));
}

// Whether the file at `path` holds album fields as Lumio writes them.
bool HasAlbumFields(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return bytes.rfind("OggS", 0) == 0 && bytes.find("LUMIO_ALBUM_TRACKS=") != std::string::npos &&
         bytes.find("REPLAYGAIN_ALBUM_GAIN=") != std::string::npos;
}

// Lets Lumio encode one album of the tones with album gain, as an earlier run over the
// mirror wrote each of its albums; the outputs by track, or none when the run failed.
std::vector<std::string> EncodeOneAlbum(const std::string& root, const std::string& settings) {
  const std::string album = root + "/one/Album/";
  fs::create_directories(album);
  std::vector<std::string> outputs;
  for (int track = 1; track <= kTracksPerAlbum; ++track) {
    const std::string name = std::to_string(track) + " Track";
    std::ofstream(album + name + ".wav", std::ios::binary) << TrackSource(track);
    outputs.push_back(root + "/one-ogg/Album/" + name + ".ogg");
  }
  if (TimedRun({LUMIO_PROGRAM, "--batch", "--quiet", "--settings", settings, "--keep-tree",
                "--replaygain", "album", "--output", root + "/one-ogg", root + "/one/Album"}) < 0 ||
      !std::all_of(outputs.begin(), outputs.end(), HasAlbumFields)) {
    return {};
  }
  return outputs;
}

// Lumio's time on the mirror tree less the 100 oggenc runs alone; each round's figure.
std::vector<double> Mirror(const std::string& root, int rounds) {
  const std::string library = root + "/ライブラリ";
  const std::string settings = root + "/mirror.ini";
  std::ofstream(settings) << "";  // default options, oggenc from PATH
  const std::vector<std::string> albumOutputs = EncodeOneAlbum(root, settings);
  if (albumOutputs.empty()) return {};
  std::vector<std::string> trackSources;
  for (int track = 1; track <= kTracksPerAlbum; ++track) trackSources.push_back(TrackSource(track));
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
        std::ofstream source(sources.back(), std::ios::binary);
        if (!(source << trackSources[static_cast<std::size_t>(track - 1)])) return {};
      }
    }
  }
  // Copied after their sources were written: up to date.
  std::vector<fs::file_time_type> upToDateTimes;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (i % kEncodedEvery == 0) continue;
    std::error_code error;
    if (!fs::copy_file(albumOutputs[i % kTracksPerAlbum], outputs[i], error)) return {};
    upToDateTimes.push_back(fs::last_write_time(outputs[i]));
  }
  std::vector<double> overheads;
  for (int round = 1; round <= rounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < sources.size(); i += kEncodedEvery) {
      if (TimedRun({"oggenc", "--utf8", "-o", root + "/alone.ogg", sources[i]}) < 0) return {};
    }
    const double alone =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (std::size_t i = 0; i < outputs.size(); i += kEncodedEvery) fs::remove(outputs[i]);
    if (!ListMirror(root + "/ogg/", sources, outputs, orphans, goneSources)) return {};
    const double lumio = TimedRun({LUMIO_PROGRAM, "--batch", "--quiet", "--settings", settings,
                                   "--keep-tree", "--existing", "skip-newer", "--replaygain",
                                   "album", "--prune", "--output", root + "/ogg", library});
    std::size_t written = 0;
    std::size_t touched = 0;
    for (std::size_t i = 0, kept = 0; i < outputs.size(); ++i) {
      if (i % kEncodedEvery == 0) {
        written += HasAlbumFields(outputs[i]) ? 1 : 0;
      } else {
        touched += fs::last_write_time(outputs[i]) != upToDateTimes[kept++] ? 1 : 0;
      }
    }
    const auto left = std::count_if(orphans.begin(), orphans.end(),
                                    [](const std::string& orphan) { return fs::exists(orphan); });
    if (lumio <= 0 || written != outputs.size() / kEncodedEvery || touched != 0 || left != 0) {
      std::fprintf(stderr,
                   "round %d: lumio failed, wrote %zu outputs, rewrote %zu up-to-date outputs, "
                   "left %zu orphans\n",
                   round, written, touched, static_cast<std::size_t>(left));
      return {};
    }
    std::printf("round %d: mirror of %zu files: lumio %.3f s, the 100 oggenc runs alone %.3f s\n",
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
