#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/clock.h"
#include "platform/file_system.h"

namespace lumio::testing {

inline const std::string kFakeEncoder = LUMIO_FAKE_ENCODER;

// Sets environment variables for the encoders started in one test and puts the old
// values back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment& Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old == nullptr ? std::nullopt : std::optional<std::string>(old));
    ::setenv(name.c_str(), value.c_str(), 1);
    return *this;
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// One run of the fake encoder as it recorded itself.
struct FakeRun {
  std::vector<std::string> arguments;
  std::string folder;
  int nice = 0;
};

inline std::vector<FakeRun> ReadFakeRuns(const std::string& recordPath) {
  std::ifstream in(recordPath, std::ios::binary);
  std::vector<FakeRun> runs;
  std::string tag;
  while (in >> tag) {
    if (tag == "RUN") {
      runs.emplace_back();
    } else if (tag == "NICE") {
      in >> runs.back().nice;
    } else {
      std::size_t length = 0;
      in >> length;
      in.get();
      std::string bytes(length, '\0');
      in.read(bytes.data(), static_cast<std::streamsize>(length));
      (tag == "ARG" ? runs.back().arguments.emplace_back() : runs.back().folder) = bytes;
    }
  }
  return runs;
}

// Whether this process may give a child the nice value `nice` (raising needs privilege).
inline bool CanSetNice(int nice) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(::setpriority(PRIO_PROCESS, 0, nice) == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A canonical 16-bit PCM WAVE file of a 440 Hz tone.
inline bool WriteToneWave(const std::string& path, double seconds, int channels = 2,
                          int sampleRate = 44100) {
  const auto frames = static_cast<std::uint32_t>(seconds * sampleRate);
  const std::uint32_t dataSize = frames * static_cast<std::uint32_t>(channels) * 2;
  std::ofstream out(path, std::ios::binary);
  const auto put = [&out](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  out << "RIFF";
  put(36 + dataSize, 4);
  out << "WAVEfmt ";
  put(16, 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(channels), 2);
  put(static_cast<std::uint32_t>(sampleRate), 4);
  put(static_cast<std::uint32_t>(sampleRate * channels * 2), 4);
  put(static_cast<std::uint32_t>(channels * 2), 2);
  put(16, 2);
  out << "data";
  put(dataSize, 4);
  std::string samples(dataSize, '\0');
  for (std::uint32_t frame = 0; frame < frames; ++frame) {
    const auto value =
        static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * 440 * frame / sampleRate));
    for (int channel = 0; channel < channels; ++channel) {
      const std::size_t at = (frame * static_cast<std::size_t>(channels) + channel) * 2;
      samples[at] = static_cast<char>(value & 0xFF);
      samples[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
  }
  out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
  return static_cast<bool>(out);
}

// Hands out scripted readings in order; the last one repeats. With `faultAt`, the
// reading of that number (counted from 0) throws instead, as a fault in the middle of a
// run would.
class ScriptedClock final : public Clock {
 public:
  explicit ScriptedClock(std::vector<std::int64_t> readings,
                         std::optional<std::size_t> faultAt = std::nullopt)
      : readings_(std::move(readings)), faultAt_(faultAt) {}
  std::int64_t CurrentMilliseconds() override {
    if (faultAt_ && readingsTaken_++ == *faultAt_) throw std::bad_alloc();
    const std::int64_t value = readings_[next_];
    if (next_ + 1 < readings_.size()) ++next_;
    return value;
  }

 private:
  std::vector<std::int64_t> readings_;
  std::optional<std::size_t> faultAt_;
  std::size_t readingsTaken_ = 0;
  std::size_t next_ = 0;
};

// Puts the process's current folder back after a test that ran encoders.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(CurrentFolder()) {}
  ~CurrentFolderGuard() { SetCurrentFolder(saved_); }

 private:
  std::string saved_;
};

// A job list over WAVE files made in a temporary folder: root/in/<name>.wav, with the
// fake encoder as the encoder and root/out/ as the usual output folder.
class JobListTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path().toStdString() + "/";
    ASSERT_TRUE(CreateFolder(root_ + "in"));
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", kFakeEncoder);
  }

  // Adds the job for a freshly written in/<name>.wav, written to `outputDir`.
  void AddJob(const std::string& name, const std::string& outputDir = "out/") {
    const std::string input = root_ + "in/" + name + ".wav";
    ASSERT_TRUE(WriteToneWave(input, 0.05));
    ASSERT_TRUE(jobs_.AddWaveFile(input, settings_, root_ + outputDir));
  }

  CurrentFolderGuard folderGuard_;
  QTemporaryDir dir_;
  std::string root_;
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  FileDataList jobs_;
};

}  // namespace lumio::testing
