#include "encode/batch_driver.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode_test_support.h"
#include "platform/file_system.h"

namespace lumio {
namespace {

using testing::CurrentFolderGuard;
using testing::kFakeEncoder;
using testing::ReadFakeRuns;
using testing::RecordingHost;
using testing::ScopedEnvironment;
using testing::ScriptedClock;

const std::string kForbiddenNameMessage =
    "ファイル名には次の文字は使えません\n\\ / : , ; * ? \" < > |\n\n";

class BatchDriverTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path().toStdString() + "/";
    record_ = root_ + "record";
    environment_.Set("LUMIO_FAKE_RECORD", record_);
    ASSERT_TRUE(CreateFolder(root_ + "in"));
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", kFakeEncoder);
  }

  // Adds the job for a freshly written in/<name>.wav, written to `outputDir`.
  void AddJob(const std::string& name, const std::string& outputDir = "out/") {
    const std::string input = root_ + "in/" + name + ".wav";
    ASSERT_TRUE(testing::WriteToneWave(input, 0.05));
    ASSERT_TRUE(jobs_.AddWaveFile(input, settings_, root_ + outputDir));
  }

  void Start() {
    BatchContext context{jobs_, settings_, host_, clock_, "", NativePathRules()};
    StartEncodeClick(context);
  }

  std::size_t EncoderRuns() const { return ReadFakeRuns(record_).size(); }

  CurrentFolderGuard folderGuard_;
  QTemporaryDir dir_;
  std::string root_;
  std::string record_;
  ScopedEnvironment environment_;
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  FileDataList jobs_;
  RecordingHost host_;
  ScriptedClock clock_{{0}};
};

TEST_F(BatchDriverTest, EachCheckFailureShowsItsOneMessageAndStartsNothing) {
  const struct {
    const char* name;
    std::function<void(BatchDriverTest&)> arrange;
    std::function<std::string(const std::string& root)> message;
  } cases[] = {
      {"missing encoder comes before a job in error",
       [](BatchDriverTest& t) {
         t.settings_.WriteString("Options", "EncoderPlace", t.root_ + "no-encoder");
         t.jobs_.SetOutputFileName(0, "");
       },
       [](const std::string&) { return std::string("エンコーダが見つかりません"); }},
      {"empty encoder place",
       [](BatchDriverTest& t) { t.settings_.WriteString("Options", "EncoderPlace", ""); },
       [](const std::string&) { return std::string("エンコーダが見つかりません"); }},
      {"colon in a stored name",
       [](BatchDriverTest& t) { t.jobs_.SetOutputFileName(1, "b:c.ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "b:c.ogg"; }},
      {"separator in a stored name",
       [](BatchDriverTest& t) { t.jobs_.SetOutputFileName(1, "../b.ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "../b.ogg"; }},
      {"quote in a stored name",
       [](BatchDriverTest& t) { t.jobs_.SetOutputFileName(0, "a\".ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "a\".ogg"; }},
      {"missing input file, before the third job's empty name",
       [](BatchDriverTest& t) {
         std::filesystem::remove(t.root_ + "in/b.wav");
         t.jobs_.SetOutputFileName(2, "");
       },
       [](const std::string& root) {
         return "指定の入力ファイルが存在しません\n\n" + root + "in/b.wav";
       }},
      {"missing output folder",
       [](BatchDriverTest& t) { t.jobs_.SetOutputFolder(t.root_ + "nowhere/", {2}); },
       [](const std::string& root) {
         return "指定の出力先フォルダが存在しません\n\n" + root + "nowhere/";
       }},
      {"empty output name", [](BatchDriverTest& t) { t.jobs_.SetOutputFileName(2, ""); },
       [](const std::string& root) { return "出力ファイル名が空です\n\n" + root + "in/c.wav"; }},
      {"output name of the input file itself",
       [](BatchDriverTest& t) {
         t.jobs_.SetOutputFolder(t.root_ + "in/", {1});
         t.jobs_.SetOutputFileName(1, "b.wav");
       },
       [](const std::string& root) {
         return "出力ファイルが入力ファイルと同じです\n\n" + root + "in/b.wav";
       }},
      {"output name linked to the input file",
       [](BatchDriverTest& t) {
         std::filesystem::create_symlink(t.root_ + "in/c.wav", t.root_ + "out/c.ogg");
       },
       [](const std::string& root) {
         return "出力ファイルが入力ファイルと同じです\n\n" + root + "in/c.wav";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    settings_.WriteString("Options", "EncoderPlace", kFakeEncoder);
    host_.Reset();
    for (const char* name : {"a", "b", "c"}) AddJob(name);
    c.arrange(*this);
    Start();
    EXPECT_EQ(host_.calls,
              (std::vector<std::string>{"report cleared", "error/ok/stop:\n" + c.message(root_)}));
    EXPECT_TRUE(host_.report.empty());
  }
  EXPECT_EQ(EncoderRuns(), 0u);
}

TEST_F(BatchDriverTest, ShiftJisNamesAreCheckedByWholeCharacters) {
  const struct {
    const char* name;
    std::string outputName;
    std::size_t runs;
    std::string lastCall;
  } cases[] = {
      // One double-byte character whose trail byte is 0x5C, then ".ogg".
      {"trail byte is no backslash", "\x83\x5C.ogg", 1, "result shown"},
      // A stray lead byte (a Linux file name may hold one) hides no separator after it.
      {"separator after a stray lead byte", "\x83/b.ogg", 0,
       "error/ok/stop:\n" + kForbiddenNameMessage + "\x83/b.ogg"},
  };
  std::size_t runsBefore = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    host_.Reset();
    AddJob("a");
    jobs_.SetOutputFileName(0, c.outputName);
    BatchContext context{jobs_,  settings_, host_,
                         clock_, "",        {PathStyle::Posix, CodePage::ShiftJis}};
    StartEncodeClick(context);
    EXPECT_EQ(EncoderRuns() - runsBefore, c.runs);
    runsBefore = EncoderRuns();
    EXPECT_EQ(host_.calls.back(), c.lastCall);
  }
}

TEST_F(BatchDriverTest, OverwriteQuestionListsEveryExistingOutput) {
  for (const char* name : {"a", "b", "c"}) AddJob(name);
  std::ofstream(root_ + "out/a.ogg") << "old";
  std::ofstream(root_ + "out/c.ogg") << "old";
  const std::string question =
      "warning/okcancel/exclamation:指定の場所に同名のファイルがあります\n\n" + root_ +
      "out/a.ogg\n" + root_ + "out/c.ogg\n\n上書きしますか？";

  host_.answers = {DialogAnswer::Cancel};
  Start();
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"report cleared", question}));
  EXPECT_TRUE(host_.report.empty());
  EXPECT_EQ(EncoderRuns(), 0u);

  host_.Reset();
  host_.answers = {DialogAnswer::Ok};
  Start();
  EXPECT_EQ(host_.calls[1], question);
  EXPECT_EQ(EncoderRuns(), 3u);
  EXPECT_EQ(host_.calls.back(), "result shown");
}

TEST_F(BatchDriverTest, OverwriteQuestionListsAnOutputThatAnEarlierJobWritesToo) {
  AddJob("a");
  AddJob("b");
  AddJob("c");
  jobs_.SetOutputFileName(2, "a.ogg");  // the third job would replace the first one's file
  host_.answers = {DialogAnswer::Cancel};
  Start();
  EXPECT_EQ(host_.calls,
            (std::vector<std::string>{
                "report cleared",
                "warning/okcancel/exclamation:指定の場所に同名のファイルがあります\n\n" + root_ +
                    "out/a.ogg\n\n上書きしますか？"}));
  EXPECT_EQ(EncoderRuns(), 0u);
}

TEST_F(BatchDriverTest, OverwriteQuestionLooksInsideAFolderStoredWithoutSeparator) {
  AddJob("a");
  jobs_.Record(0).OutputDir = root_ + "out";
  std::ofstream(root_ + "out/a.ogg") << "old";
  host_.answers = {DialogAnswer::Cancel};
  Start();
  ASSERT_EQ(host_.calls.size(), 2u);
  EXPECT_NE(host_.calls[1].find(root_ + "out/a.ogg\n"), std::string::npos);
  EXPECT_EQ(EncoderRuns(), 0u);
}

TEST_F(BatchDriverTest, TwoJobReportMatchesTheWorkedExample) {
  ASSERT_TRUE(CreateFolder(root_ + "Ogg"));
  AddJob("blue", "Ogg/");
  AddJob("red", "Ogg/");
  jobs_.Record(0).Wave.PlayTime = 244000;
  jobs_.Record(1).Wave.PlayTime = 189000;
  clock_ = ScriptedClock({5000, 5100, 67400, 67500, 113300, 113400});
  Start();

  const std::string ogg = root_ + "Ogg/";
  EXPECT_EQ(host_.ReportText(), "[終了]\n" + ogg +
                                    "blue.ogg\n処理時間 ： 1分2秒\n再生／処理時間比 ： 3.9165\n\n"
                                    "[終了]\n" +
                                    ogg +
                                    "red.ogg\n処理時間 ： 0分45秒\n再生／処理時間比 ： 4.1266\n\n"
                                    "----------\n\n[終了]\n2個のファイルを処理。\n"
                                    "処理時間計 ： 1分48秒\n\n");
  EXPECT_EQ(host_.calls, (std::vector<std::string>{
                             "report cleared",
                             "main disabled",
                             "progress shown",
                             "file blue.wav → blue.ogg 処理中",
                             "caption 処理中... ( 1/2 )",
                             "reset file count",
                             "encoder running",
                             "encoder gone",
                             "file " + ogg + "blue.ogg 完了",
                             "file red.wav → red.ogg 処理中",
                             "caption 処理中... ( 2/2 )",
                             "reset file count",
                             "encoder running",
                             "encoder gone",
                             "file " + ogg + "red.ogg 完了",
                             "progress closed",
                             "main enabled",
                             "result shown",
                         }));
}

TEST_F(BatchDriverTest, StopsAfterTheFirstFailedJobInItsFolder) {
  for (const char* folder : {"out1", "out2", "out3"}) {
    ASSERT_TRUE(CreateFolder(root_ + folder));
  }
  AddJob("a", "out1/");
  AddJob("b", "out2/");
  AddJob("c", "out3/");
  environment_.Set("LUMIO_FAKE_FAIL_OUTPUT", "b.ogg");
  Start();

  EXPECT_EQ(EncoderRuns(), 2u);
  EXPECT_EQ(CurrentFolder(), root_ + "out2");
  ASSERT_EQ(host_.report.size(), 16u);
  EXPECT_EQ(host_.report[0], "[終了]");
  EXPECT_EQ(host_.report[5], "[中止]");
  EXPECT_EQ(host_.report[6], root_ + "out2/b.ogg");
  EXPECT_EQ(std::vector<std::string>(host_.report.begin() + 10, host_.report.begin() + 14),
            (std::vector<std::string>{"----------", "", "[中止]", "1個のファイルを処理。"}));
}

TEST_F(BatchDriverTest, CancelledJobEndsTheBatch) {
  AddJob("a");
  AddJob("b");
  environment_.Set("LUMIO_FAKE_WAIT", "1");
  host_.cancelAfterMs = 50;
  Start();
  EXPECT_EQ(EncoderRuns(), 1u);
  EXPECT_EQ(host_.report[0], "[中止]");
  EXPECT_EQ(host_.report[7], "[中止]");
  EXPECT_EQ(host_.report[8], "0個のファイルを処理。");
}

TEST_F(BatchDriverTest, SummaryAloneWhenNothingRan) {
  const std::string notExecutable = root_ + "encoder";
  std::ofstream(notExecutable) << "not a program";
  const struct {
    const char* name;
    bool addJob;
    std::string encoder;
  } cases[] = {{"no jobs", false, kFakeEncoder}, {"encoder cannot start", true, notExecutable}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    host_.Reset();
    if (c.addJob) AddJob("a");
    settings_.WriteString("Options", "EncoderPlace", c.encoder);
    Start();
    EXPECT_EQ(host_.report,
              (std::vector<std::string>{"----------", "", "[中止]", "0個のファイルを処理。",
                                        "処理時間計 ： 0分0秒", ""}));
    EXPECT_EQ(host_.calls.back(), "result shown");
  }
}

TEST_F(BatchDriverTest, ConsoleRunShowsNoProgressWindowButTheSameReport) {
  AddJob("a");
  AddJob("b");
  Start();
  const std::vector<std::string> hiddenConsoleReport = host_.report;

  host_.Reset();
  settings_.WriteBool("Options", "ViewCheck", true);
  Start();
  EXPECT_EQ(host_.report, hiddenConsoleReport);
  EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "progress shown"), 0);
  EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "reset file count"), 2);
}

TEST_F(BatchDriverTest, RelativeEncoderPathRunsTheFileThatWasChecked) {
  const std::filesystem::path encoder(kFakeEncoder);
  ASSERT_TRUE(SetCurrentFolder(encoder.parent_path().string()));
  settings_.WriteString("Options", "EncoderPlace", encoder.filename().string());
  AddJob("a");
  Start();
  const auto runs = ReadFakeRuns(record_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].arguments[0], kFakeEncoder);
}

TEST_F(BatchDriverTest, FaultDuringTheRunGivesTheWindowsBack) {
  AddJob("a");
  host_.failOnReportLine = true;
  Start();
  const std::vector<std::string> tail(host_.calls.end() - 3, host_.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"main enabled", "progress closed",
                                            "error/ok/stop:\n処理に失敗しました"}));
}

}  // namespace
}  // namespace lumio
