// Encodes the same six minute-long WAVE files with oggenc in two ways, round after round
// (argument: number of rounds, default 3): through the batch driver, and by running the
// identical argument vectors directly one after the other.
// Prints the wall-time ratio of the two and the front-end's own CPU time during the
// batch as a share of the encoders' CPU time.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/batch_driver.h"
#include "encode/batch_host.h"
#include "encode/clock.h"
#include "encode/command_line.h"
#include "encode/command_line_split.h"
#include "platform/file_system.h"

namespace {

using namespace lumio;

constexpr int kFiles = 6;
constexpr int kSeconds = 60;

bool WriteToneWave(const std::string& path) {
  constexpr std::uint32_t kRate = 44100;
  constexpr std::uint32_t kFrames = kRate * kSeconds;
  constexpr std::uint32_t kDataSize = kFrames * 4;
  std::string bytes = "RIFF";
  const auto put = [&bytes](std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(36 + kDataSize, 4);
  bytes += "WAVEfmt ";
  put(16, 4);
  put(1, 2);
  put(2, 2);
  put(kRate, 4);
  put(kRate * 4, 4);
  put(4, 2);
  put(16, 2);
  bytes += "data";
  put(kDataSize, 4);
  for (std::uint32_t frame = 0; frame < kFrames; ++frame) {
    const double t = static_cast<double>(frame) / kRate;
    const auto left = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * t));
    const auto right = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 660 * t));
    put(static_cast<std::uint16_t>(left), 2);
    put(static_cast<std::uint16_t>(right), 2);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Shows nothing: only the driver and the encoders do work. Later rounds overwrite the
// first round's files, so the overwrite question is answered OK.
class QuietHost final : public BatchHost, public ConsoleSink {
 public:
  std::vector<std::string> report;
  std::string OutputFileNameFieldText() override { return {}; }
  DialogAnswer ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons,
                                 MessageSound) override {
    if (kind == MessageKind::Warning) return DialogAnswer::Ok;
    std::fprintf(stderr, "unexpected error:%s\n", text.c_str());
    return DialogAnswer::Ok;
  }
  void SetMainWindowEnabled(bool) override {}
  void ShowProgressWindow() override {}
  void CloseProgressWindow() override {}
  void SetProgressCaption(const std::string&) override {}
  void SetEncodeFileText(const std::string&) override {}
  void ResetFileCount() override {}
  void SetRunningEncoder(RunningEncoder*) override {}
  void ClearReport() override { report.clear(); }
  void AppendReportLine(const std::string& line) override { report.push_back(line); }
  void ShowResultWindow() override {}
  ConsoleSink& Console() override { return *this; }
  void EncoderStarted(const std::string&, RunningEncoder&) override {}
  void EncoderOutput(std::string_view) override {}
  void EncoderEnded() override {}
};

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

// Runs one argument vector in `folder` and waits for it, as a plain blocking baseline.
bool RunDirectly(const std::vector<std::string>& arguments, const std::string& folder) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    if (chdir(folder.c_str()) != 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::string oggenc = FindOnSearchPath("oggenc");
  if (oggenc.empty()) {
    std::fprintf(stderr, "oggenc is not installed\n");
    return 1;
  }
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::string root = dir.path().toStdString() + "/";
  const std::string driverFolder = root + "driver/";
  const std::string directFolder = root + "direct/";
  if (!CreateFolder(driverFolder) || !CreateFolder(directFolder)) return 1;

  SettingsStore settings(root + "lumio.ini");
  settings.WriteBool("Options", "SetEncoderPlace", true);
  settings.WriteString("Options", "EncoderPlace", oggenc);
  FileDataList jobs;
  for (int i = 0; i < kFiles; ++i) {
    const std::string input = root + "song" + std::to_string(i) + ".wav";
    if (!WriteToneWave(input) || !jobs.AddWaveFile(input, settings, driverFolder)) {
      std::fprintf(stderr, "cannot prepare %s\n", input.c_str());
      return 1;
    }
    jobs.ApplyTag(TagField::Title, "曲 " + std::to_string(i + 1), {jobs.Count() - 1});
  }

  // The same argument vectors the driver gives the encoder, written to another folder.
  const std::string optionText = BuildOptionText(settings);
  std::vector<std::vector<std::string>> vectors;
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    const FileData& job = jobs.Record(i);
    vectors.push_back(SplitCommandLine(BuildCommandLine(
        oggenc, optionText, job.Title, job.Artist, job.Album, job.Date, job.TrackNumber,
        job.Comment, job.OutputFileName, jobs.InputPath(i), CodePage::Utf8)));
  }

  // Rounds alternate the two ways so that load from elsewhere on the machine falls on
  // both alike; the fastest round of each way is compared as well as the totals.
  Usage directTotal;
  Usage driverTotal;
  double directBest = 1e9;
  double driverBest = 1e9;
  QuietHost host;
  MonotonicClock clock;
  BatchContext context{jobs, settings, host, clock, "", NativePathRules()};
  for (int round = 0; round < rounds; ++round) {
    const Usage directStart = Now();
    for (const auto& arguments : vectors) {
      if (!RunDirectly(arguments, directFolder)) {
        std::fprintf(stderr, "direct encoder run failed\n");
        return 1;
      }
    }
    const Usage direct = Since(directStart);

    const Usage driverStart = Now();
    StartEncodeClick(context);
    const Usage driver = Since(driverStart);
    if (host.report.size() < 4 || host.report[host.report.size() - 4] != "[終了]") {
      std::fprintf(stderr, "the batch did not finish\n");
      return 1;
    }
    std::printf("round %d: direct wall %.3f s; driver wall %.3f s, front-end CPU %.4f s\n",
                round + 1, direct.wall, driver.wall, driver.selfCpu);
    directTotal = Add(directTotal, direct);
    driverTotal = Add(driverTotal, driver);
    directBest = std::min(directBest, direct.wall);
    driverBest = std::min(driverBest, driver.wall);
  }

  std::printf("files: %d x %d s stereo tone, %d rounds\n", kFiles, kSeconds, rounds);
  std::printf("direct runs:   wall %.3f s, encoder CPU %.3f s\n", directTotal.wall,
              directTotal.childrenCpu);
  std::printf("batch driver:  wall %.3f s, encoder CPU %.3f s, front-end CPU %.4f s\n",
              driverTotal.wall, driverTotal.childrenCpu, driverTotal.selfCpu);
  std::printf("wall-time ratio (driver / direct): %.4f total, %.4f best round (target <= 1.02)\n",
              driverTotal.wall / directTotal.wall, driverBest / directBest);
  std::printf("front-end CPU share of encoder CPU: %.3f %% (target <= 0.5 %%)\n",
              100.0 * driverTotal.selfCpu / driverTotal.childrenCpu);
  return 0;
}
