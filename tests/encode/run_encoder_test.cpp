#include "encode/run_encoder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

#include "core/file_data.h"
#include "core/settings_store.h"
#include "encode_test_support.h"
#include "platform/file_system.h"

namespace lumio {
namespace {

using testing::CurrentFolderGuard;
using testing::FakeRun;
using testing::kFakeEncoder;
using testing::ReadFakeRuns;
using testing::RecordingHost;
using testing::ScopedEnvironment;
using testing::ScriptedClock;

class RunEncoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path().toStdString() + "/";
    record_ = root_ + "record";
    environment_.Set("LUMIO_FAKE_RECORD", record_);
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    job_.OutputDir = root_ + "out/";
    job_.OutputFileName = "song.ogg";
    job_.Wave.PlayTime = 240000;
  }

  bool Run(const std::string& encoder = kFakeEncoder) {
    return RunEncoder(job_, "/in/song.wav", encoder, " -q 3.0", settings_, host_, clock_,
                      CodePage::Utf8);
  }

  std::vector<std::string> Block(const std::string& head) const {
    return {head, job_.OutputDir + job_.OutputFileName, "処理時間 ： 1分1秒",
            "再生／処理時間比 ： 3.9184", ""};
  }

  CurrentFolderGuard folderGuard_;
  QTemporaryDir dir_;
  std::string root_;
  std::string record_;
  ScopedEnvironment environment_;
  FileData job_;
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  RecordingHost host_;
  ScriptedClock clock_{{1000, 62250}};
};

TEST_F(RunEncoderTest, ExitCodeDecidesTheBlockHeadAndTheResult) {
  const struct {
    const char* exitCode;
    bool result;
    const char* head;
  } cases[] = {{"0", true, "[終了]"}, {"1", false, "[中止]"}};
  for (const auto& c : cases) {
    ScopedEnvironment exit;
    exit.Set("LUMIO_FAKE_EXIT", c.exitCode);
    host_.Reset();
    clock_ = ScriptedClock({1000, 62250});
    EXPECT_EQ(Run(), c.result);
    EXPECT_EQ(host_.report, Block(c.head));
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"encoder running", "encoder gone",
                                                     "file " + root_ + "out/song.ogg 完了"}));
  }
}

TEST_F(RunEncoderTest, EncoderRunsInTheOutputFolderWhichStaysCurrent) {
  job_.Title = "Blue \"Moon\" \\";
  job_.Comment = "one\r\ntwo";
  ASSERT_TRUE(Run());
  const std::vector<FakeRun> runs = ReadFakeRuns(record_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].folder, root_ + "out");
  EXPECT_EQ(CurrentFolder(), root_ + "out");
  EXPECT_EQ(runs[0].arguments,
            (std::vector<std::string>{kFakeEncoder, "-q", "3.0", "-tBlue \"Moon\" \\",
                                      "-ccomment=one\r\ntwo", "-osong.ogg", "/in/song.wav"}));
}

TEST_F(RunEncoderTest, OutputNamesReachTheEncoderAsFilesInTheOutputFolder) {
  const struct {
    const char* name;
    const char* argument;
  } cases[] = {{"-", "-o./-"}, {"--help", "-o--help"}, {"-.ogg", "-o-.ogg"}};
  for (const auto& c : cases) {
    std::filesystem::remove(record_);
    job_.OutputFileName = c.name;
    ASSERT_TRUE(Run());
    const std::vector<FakeRun> runs = ReadFakeRuns(record_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments,
              (std::vector<std::string>{kFakeEncoder, "-q", "3.0", c.argument, "/in/song.wav"}));
    EXPECT_EQ(host_.report[1], root_ + "out/" + c.name);
    host_.Reset();
  }
}

TEST_F(RunEncoderTest, EncoderInAFolderNamedWithAQuoteGetsTheSameArguments) {
  const std::string folder = root_ + "my \"tools";
  ASSERT_TRUE(CreateFolder(folder));
  const std::string encoder = folder + "/oggenc";
  std::filesystem::create_symlink(kFakeEncoder, encoder);
  ASSERT_TRUE(Run(encoder));
  const std::vector<FakeRun> runs = ReadFakeRuns(record_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].arguments,
            (std::vector<std::string>{encoder, "-q", "3.0", "-osong.ogg", "/in/song.wav"}));
}

TEST_F(RunEncoderTest, EncoderThatCannotStartLeavesNoTrace) {
  EXPECT_FALSE(Run(root_ + "missing-encoder"));
  EXPECT_TRUE(host_.report.empty());
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(RunEncoderTest, MissingOutputFolderRunsNoEncoder) {
  job_.OutputDir = root_ + "gone/";
  EXPECT_FALSE(Run());
  EXPECT_FALSE(std::filesystem::exists(record_));
  EXPECT_TRUE(host_.report.empty());
}

TEST_F(RunEncoderTest, ConsoleShowsTheOutputOnlyWhenViewCheckIsOn) {
  environment_.Set("LUMIO_FAKE_SAY", "encoding\n");
  for (const bool view : {false, true}) {
    settings_.WriteBool("Options", "ViewCheck", view);
    host_.Reset();
    clock_ = ScriptedClock({1000, 62250});
    ASSERT_TRUE(Run());
    EXPECT_EQ(host_.consoleOutput, view ? "encoding\nencoding\n" : "");
    const std::vector<std::string> withConsole = {
        "console started " + kFakeEncoder, "encoder running", "console ended", "encoder gone",
        "file " + root_ + "out/song.ogg 完了"};
    const std::vector<std::string> withoutConsole = {"encoder running", "encoder gone",
                                                     "file " + root_ + "out/song.ogg 完了"};
    EXPECT_EQ(host_.calls, view ? withConsole : withoutConsole);
  }
}

}  // namespace
}  // namespace lumio
