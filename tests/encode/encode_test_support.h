#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/current_folder_guard.h"
#include "support/fake_clock.h"
#include "support/fake_encoder.h"
#include "support/scoped_environment.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio::test {

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

// A job list over WAVE files made in a temporary folder: root/in/<name>.wav, with the
// fake encoder as the encoder and root/out/ as the usual output folder.
class JobListTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(CreateFolder(root_ + "in"));
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", kFakeEncoder);
  }

  // Adds the job for a freshly written in/<name>.wav, written to `outputDir`.
  void AddJob(const std::string& name, const std::string& outputDir = "out/") {
    const std::string input = root_ + "in/" + name + ".wav";
    ASSERT_TRUE(WriteToneWave(input, 0.05));
    ASSERT_TRUE(test::AddSource(jobs_, input, settings_, root_ + outputDir));
  }

  CurrentFolderGuard folderGuard_;
  const TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  FileDataList jobs_;
};

}  // namespace lumio::test
