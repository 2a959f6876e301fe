// Times adding 10 000 small WAVE files to the job list against the least any reader must
// do: open each file, read its first 44 bytes, close it; and 10 000 tagged FLAC files
// against opening each, reading its first 8 KB and closing it. Adding is timed as the
// window's adder adds files dropped or chosen at once (walked and read in batches on the
// feed's threads, each batch appended in order when ready) and, beside it, one file at a
// time on one thread (each file read, then appended).
// Prints the times and ends with one `name: ratio` line per kind of file, for the
// window's way. For FLAC it also times TagLib's parse of the same comment block alone,
// the share of adding that is TagLib's own.
#include <fcntl.h>
#include <taglib/xiphcomment.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/median.h"
#include "core/byte_source.h"
#include "core/file_data_list.h"
#include "core/flac_reader.h"
#include "core/settings_store.h"
#include "core/source_reading.h"
#include "tests/support/add_sources.h"
#include "tests/support/run_tool.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/wave_bytes.h"

namespace {

using lumio::bench::Median;

constexpr int kFileCount = 10000;
constexpr int kRepetitions = 11;

std::vector<std::string> WriteCopies(const std::string& folder, const std::string& extension,
                                     const std::string& bytes) {
  std::vector<std::string> paths;
  paths.reserve(kFileCount);
  for (int i = 0; i < kFileCount; ++i) {
    paths.push_back(folder + "/take" + std::to_string(i) + extension);
    lumio::test::WriteFile(paths.back(), bytes);
  }
  return paths;
}

// A quarter second of silence encoded by the flac program, with the tags a rip carries
// and flac's usual 8 KB of padding.
std::string TaggedFlac(const std::string& folder) {
  const std::string raw = folder + "/silence.raw";
  const std::string flac = folder + "/tagged.flac";
  lumio::test::WriteFile(raw, std::string(44100, '\0'));
  const bool made = lumio::test::RunTool(
      {"flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed", "--channels=2",
       "--bps=16", "--sample-rate=44100", "--tag=TITLE=夜の歌", "--tag=ARTIST=歌手",
       "--tag=ALBUM=アルバム", "--tag=DATE=2024", "--tag=TRACKNUMBER=3", "--tag=COMMENT=一行目",
       "-o", flac, raw});
  if (!made) std::fprintf(stderr, "flac could not make the fixture\n");
  return lumio::test::ReadFile(flac);
}

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Opens each file, reads its first `size` bytes and closes it.
double Baseline(const std::vector<std::string>& paths, std::size_t size) {
  std::vector<char> header(size);
  const auto start = Clock::now();
  std::size_t total = 0;
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const ssize_t got = ::read(fd, header.data(), size);
    if (got > 0) total += static_cast<std::size_t>(got);
    ::close(fd);
  }
  const double elapsed = MillisecondsSince(start);
  if (total == 0) std::fprintf(stderr, "baseline read nothing\n");
  return elapsed;
}

constexpr char kDefDir[] = "/home/user/music";

double AddOneByOne(const std::vector<std::string>& paths, const lumio::SettingsStore& settings) {
  lumio::FileDataList list;
  const lumio::PathRules rules = lumio::NativePathRules();
  const auto start = Clock::now();
  for (const std::string& path : paths) {
    list.AddReadSource(path, lumio::ReadSource(path, rules), settings, kDefDir);
  }
  const double elapsed = MillisecondsSince(start);
  if (list.Count() != paths.size()) std::fprintf(stderr, "some files were not added\n");
  return elapsed;
}

// Walks and reads the files on the threads of a SourceFeed and appends each batch when it
// is ready, as the window's adder does with files dropped or chosen at once.
double AddAsTheWindowDoes(const std::vector<std::string>& paths,
                          const lumio::SettingsStore& settings) {
  lumio::FileDataList list;
  const auto start = Clock::now();
  lumio::test::AddSources(list, paths, settings, kDefDir);
  const double elapsed = MillisecondsSince(start);
  if (list.Count() != paths.size()) std::fprintf(stderr, "some files were not added\n");
  return elapsed;
}

// Parses the comment block of `flac` once for every file, as adding does, and reads
// one field of it.
double ParseCommentsOnly(const std::string& flac) {
  lumio::MemoryByteSource source(flac);
  const auto block = lumio::FindFlacCommentBlock(source);
  if (!block) return 0;
  const TagLib::ByteVector body(flac.data() + block->bodyPosition, block->size);
  const TagLib::String title("TITLE");
  std::size_t total = 0;
  const auto start = Clock::now();
  for (int i = 0; i < kFileCount; ++i) {
    const TagLib::Ogg::XiphComment comment(body);
    total += comment.fieldListMap()[title].toString().size();
  }
  const double elapsed = MillisecondsSince(start);
  if (total == 0) std::fprintf(stderr, "the comment block has no title\n");
  return elapsed;
}

struct Figures {
  double baseline;
  double adding;    // as the window adds
  double oneByOne;  // one file at a time
  double ratio;     // adding / baseline
  double oneByOneRatio;
};

// Each repetition times the baseline and both ways of adding back to back and keeps
// their ratios, so that load from other programs on the machine mostly cancels out.
Figures Measure(const std::vector<std::string>& paths, std::size_t baselineBytes,
                const lumio::SettingsStore& settings) {
  Baseline(paths, baselineBytes);  // bring every file into the page cache before timing
  std::vector<double> baseline, adding, oneByOne, ratios, oneByOneRatios;
  for (int run = 0; run < kRepetitions; ++run) {
    baseline.push_back(Baseline(paths, baselineBytes));
    adding.push_back(AddAsTheWindowDoes(paths, settings));
    oneByOne.push_back(AddOneByOne(paths, settings));
    ratios.push_back(adding.back() / baseline.back());
    oneByOneRatios.push_back(oneByOne.back() / baseline.back());
  }
  return {Median(baseline), Median(adding), Median(oneByOne), Median(ratios),
          Median(oneByOneRatios)};
}

}  // namespace

int main() {
  const lumio::test::TemporaryFolder temporary;
  const std::string& folder = temporary.Path();
  std::filesystem::create_directory(folder + "/wave");
  std::filesystem::create_directory(folder + "/flac");
  const lumio::SettingsStore settings(folder + "/lumio.ini");
  const Figures wave =
      Measure(WriteCopies(folder + "/wave", ".wav", lumio::test::SilentWave(4000)), 44, settings);
  const std::string taggedFlac = TaggedFlac(folder);
  const Figures flac = Measure(WriteCopies(folder + "/flac", ".flac", taggedFlac), 8192, settings);
  std::vector<double> parsing;
  for (int run = 0; run < kRepetitions; ++run) parsing.push_back(ParseCommentsOnly(taggedFlac));
  const double parseRatio = Median(parsing) / flac.baseline;

  std::printf("files: %d of each kind, repetitions: %d (medians)\n", kFileCount, kRepetitions);
  std::printf("readers: %u\n", lumio::SourceReaderCount());
  std::printf(
      "WAVE: baseline (open, read 44 bytes, close) %.2f ms, added as the window does %.2f ms, "
      "one by one %.2f ms (add_wave_one_by_one_vs_read: %.2f)\n",
      wave.baseline, wave.adding, wave.oneByOne, wave.oneByOneRatio);
  std::printf(
      "FLAC: baseline (open, read 8 KB, close) %.2f ms, added as the window does %.2f ms, "
      "one by one %.2f ms (add_flac_one_by_one_vs_read: %.2f)\n",
      flac.baseline, flac.adding, flac.oneByOne, flac.oneByOneRatio);
  std::printf("FLAC: TagLib's comment parse alone %.2f ms (taglib_parse_vs_read: %.2f)\n",
              Median(parsing), parseRatio);
  std::printf("targets: WAVE <= 1.50, FLAC <= 2.00\n");
  std::printf("add_wave_vs_read: %.2f\n", wave.ratio);
  std::printf("add_flac_vs_read: %.2f\n", flac.ratio);
  return 0;
}
