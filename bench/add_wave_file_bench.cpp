// Times AddWaveFile over 10 000 small WAVE files against the least any reader must do:
// open each file, read its first 44 bytes, close it; and over 10 000 tagged FLAC files
// against opening each, reading its first 8 KB and closing it. Prints the times and
// ends with one `name: ratio` line per kind of file. For FLAC it also times TagLib's
// parse of the same comment block alone, the share of adding that is TagLib's own.
#include <fcntl.h>
#include <stdlib.h>
#include <taglib/xiphcomment.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/byte_source.h"
#include "core/file_data_list.h"
#include "core/flac_reader.h"
#include "core/settings_store.h"
#include "tests/support/run_tool.h"

namespace {

constexpr int kFileCount = 10000;
constexpr int kRepetitions = 11;

std::string Le16(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value) {
  return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) +
         Le16(static_cast<std::uint16_t>(value >> 16));
}

// A 16-bit stereo 44100 Hz file with `dataSize` bytes of silence.
std::string SmallWave(std::uint32_t dataSize) {
  return "RIFF" + Le32(36 + dataSize) + "WAVEfmt " + Le32(16) + Le16(1) + Le16(2) + Le32(44100) +
         Le32(176400) + Le16(4) + Le16(16) + "data" + Le32(dataSize) + std::string(dataSize, '\0');
}

std::vector<std::string> WriteCopies(const std::string& folder, const std::string& extension,
                                     const std::string& bytes) {
  std::vector<std::string> paths;
  paths.reserve(kFileCount);
  for (int i = 0; i < kFileCount; ++i) {
    paths.push_back(folder + "/take" + std::to_string(i) + extension);
    std::ofstream(paths.back(), std::ios::binary) << bytes;
  }
  return paths;
}

// A quarter second of silence encoded by the flac program, with the tags a rip carries
// and flac's usual 8 KB of padding.
std::string TaggedFlac(const std::string& folder) {
  const std::string raw = folder + "/silence.raw";
  const std::string flac = folder + "/tagged.flac";
  std::ofstream(raw, std::ios::binary) << std::string(44100, '\0');
  const bool made = lumio::testing::RunTool(
      {"flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed", "--channels=2",
       "--bps=16", "--sample-rate=44100", "--tag=TITLE=夜の歌", "--tag=ARTIST=歌手",
       "--tag=ALBUM=アルバム", "--tag=DATE=2024", "--tag=TRACKNUMBER=3", "--tag=COMMENT=一行目",
       "-o", flac, raw});
  if (!made) std::fprintf(stderr, "flac could not make the fixture\n");
  std::ifstream in(flac, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
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

double AddAll(const std::vector<std::string>& paths, const lumio::SettingsStore& settings) {
  lumio::FileDataList list;
  const auto start = Clock::now();
  for (const std::string& path : paths) list.AddWaveFile(path, settings, "/home/user/music");
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Figures {
  double baseline;
  double adding;
  double ratio;
};

// Each repetition times both loops back to back and keeps their ratio, so that load
// from other programs on the machine mostly cancels out.
Figures Measure(const std::vector<std::string>& paths, std::size_t baselineBytes,
                const lumio::SettingsStore& settings) {
  Baseline(paths, baselineBytes);  // bring every file into the page cache before timing
  std::vector<double> baseline;
  std::vector<double> adding;
  std::vector<double> ratios;
  for (int run = 0; run < kRepetitions; ++run) {
    baseline.push_back(Baseline(paths, baselineBytes));
    adding.push_back(AddAll(paths, settings));
    ratios.push_back(adding.back() / baseline.back());
  }
  return {Median(baseline), Median(adding), Median(ratios)};
}

}  // namespace

int main() {
  char pattern[] = "/tmp/lumio_add_bench_XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string folder = pattern;
  std::filesystem::create_directory(folder + "/wave");
  std::filesystem::create_directory(folder + "/flac");
  const lumio::SettingsStore settings(folder + "/lumio.ini");
  const Figures wave =
      Measure(WriteCopies(folder + "/wave", ".wav", SmallWave(4000)), 44, settings);
  const std::string taggedFlac = TaggedFlac(folder);
  const Figures flac = Measure(WriteCopies(folder + "/flac", ".flac", taggedFlac), 8192, settings);
  std::vector<double> parsing;
  for (int run = 0; run < kRepetitions; ++run) parsing.push_back(ParseCommentsOnly(taggedFlac));
  const double parseRatio = Median(parsing) / flac.baseline;
  std::filesystem::remove_all(folder);

  std::printf("files: %d of each kind, repetitions: %d (medians)\n", kFileCount, kRepetitions);
  std::printf("WAVE: baseline (open, read 44 bytes, close) %.2f ms, AddWaveFile %.2f ms\n",
              wave.baseline, wave.adding);
  std::printf("FLAC: baseline (open, read 8 KB, close) %.2f ms, AddWaveFile %.2f ms\n",
              flac.baseline, flac.adding);
  std::printf("FLAC: TagLib's comment parse alone %.2f ms (taglib_parse_vs_read: %.2f)\n",
              Median(parsing), parseRatio);
  std::printf("targets: WAVE <= 1.50, FLAC <= 2.00\n");
  std::printf("add_wave_vs_read: %.2f\n", wave.ratio);
  std::printf("add_flac_vs_read: %.2f\n", flac.ratio);
  return 0;
}
