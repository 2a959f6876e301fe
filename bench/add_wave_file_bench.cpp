// Times AddWaveFile over 10 000 small WAVE files against the least any reader must do:
// open each file, read its first 44 bytes, close it. Prints both times and the ratio.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"

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

std::vector<std::string> MakeFiles(const std::string& folder) {
  std::vector<std::string> paths;
  paths.reserve(kFileCount);
  const std::string bytes = SmallWave(4000);
  for (int i = 0; i < kFileCount; ++i) {
    paths.push_back(folder + "/take" + std::to_string(i) + ".wav");
    std::ofstream(paths.back(), std::ios::binary) << bytes;
  }
  return paths;
}

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Baseline(const std::vector<std::string>& paths) {
  const auto start = Clock::now();
  char header[44];
  std::size_t total = 0;
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const ssize_t got = ::read(fd, header, sizeof header);
    if (got > 0) total += static_cast<std::size_t>(got);
    ::close(fd);
  }
  const double elapsed = MillisecondsSince(start);
  if (total != paths.size() * sizeof header) std::fprintf(stderr, "baseline read short\n");
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  char pattern[] = "/tmp/lumio_add_bench_XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string folder = pattern;
  const std::vector<std::string> paths = MakeFiles(folder);
  const lumio::SettingsStore settings(folder + "/lumio.ini");

  Baseline(paths);  // bring every file into the page cache before timing
  // Each repetition times both loops back to back and keeps their ratio, so that load
  // from other programs on the machine mostly cancels out.
  std::vector<double> baseline;
  std::vector<double> adding;
  std::vector<double> ratios;
  for (int run = 0; run < kRepetitions; ++run) {
    baseline.push_back(Baseline(paths));
    adding.push_back(AddAll(paths, settings));
    ratios.push_back(adding.back() / baseline.back());
  }
  std::filesystem::remove_all(folder);

  std::printf("files: %d, repetitions: %d (medians)\n", kFileCount, kRepetitions);
  std::printf("baseline (open, read 44 bytes, close): %.2f ms\n", Median(baseline));
  std::printf("AddWaveFile:                           %.2f ms\n", Median(adding));
  std::printf("ratio: %.2f (target <= 1.50)\n", Median(ratios));
  return 0;
}
