#include "encode/run/batch_run.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <utility>
#include <variant>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/run/batch_plan.h"
#include "encode/run/console_sink.h"
#include "encode_test_support.h"
#include "platform/file_system.h"

namespace lumio {
namespace {

using test::FakeRun;
using test::kFakeEncoder;
using test::ReadFakeRuns;
using test::ScopedEnvironment;
using test::ScriptedClock;

// Records what the consoles are told.
class RecordingConsoles : public ConsoleProvider, public ConsoleSink {
 public:
  ConsoleSink& ConsoleForLane(int lane) override {
    calls.push_back("lane " + std::to_string(lane));
    return *this;
  }
  void EncoderStarted(const std::string& title, RunningEncoder&) override {
    calls.push_back("started " + title);
  }
  void EncoderOutput(std::string_view bytes) override { output += bytes; }
  void EncoderEnded() override { calls.push_back("ended"); }
  std::vector<std::string> calls;
  std::string output;
};

// What the stand-in encoder says to tell that it is half way.
constexpr const char* kHalfWay = "\t[ 50.0%] [ 0m01s remaining] |\r";

struct RunResult {
  std::vector<std::string> events;
  std::vector<JobOutcome> outcomes;
  BatchSummary summary;
  bool faulted = false;
  int mostRunning = 0;
  // What BatchProgressed and JobProgress told, in the order told.
  std::vector<std::pair<double, std::optional<std::int64_t>>> batchProgress;
  std::vector<std::string> jobProgress;
};

class BatchRunTest : public test::JobListTest {
 public:
  void SetUp() override {
    JobListTest::SetUp();
    record_ = root_ + "record";
    environment_.Set("LUMIO_FAKE_RECORD", record_);
  }

  // Runs the list to its end; `whileRunning` is called when an encoder first tells its
  // progress (the stand-in waiting with LUMIO_FAKE_WAIT has then written its half file).
  RunResult Run(BatchRunOptions options = {}, ConsoleProvider* consoles = nullptr,
                std::function<void(BatchRun&)> whileRunning = {}) {
    RunResult result;
    auto checked = PrepareBatch(jobs_, settings_, "", NativePathRules());
    EXPECT_TRUE(std::holds_alternative<BatchPlan>(checked));
    BatchRun run(std::get<BatchPlan>(std::move(checked)), " -q 3.0", options, clock_, consoles);
    QEventLoop loop;
    bool ended = false;
    int running = 0;
    QObject::connect(&run, &BatchRun::JobStarting, [&](std::size_t job, int lane) {
      result.events.push_back("start " + std::to_string(job) + " in " + std::to_string(lane));
      result.mostRunning = std::max(result.mostRunning, ++running);
    });
    QObject::connect(&run, &BatchRun::JobEnded, [&](std::size_t job, int, const JobOutcome& o) {
      --running;
      result.events.push_back("end " + std::to_string(job) + (o.succeeded ? " ok" : " failed"));
    });
    QObject::connect(&run, &BatchRun::JobProgress, [&](std::size_t job, int lane, double fraction) {
      result.jobProgress.push_back(std::to_string(job) + " in " + std::to_string(lane) + " at " +
                                   std::to_string(fraction));
      if (whileRunning) std::exchange(whileRunning, {})(run);
    });
    QObject::connect(&run, &BatchRun::BatchProgressed,
                     [&](double fraction, std::optional<std::int64_t> remainingMs) {
                       result.batchProgress.emplace_back(fraction, remainingMs);
                       if (result.batchProgress.size() == cancelAfterProgress_) run.Cancel();
                     });
    QObject::connect(&run, &BatchRun::Finished,
                     [&](const std::vector<JobOutcome>& outcomes, const BatchSummary& summary) {
                       result.outcomes = outcomes;
                       result.summary = summary;
                       ended = true;
                       loop.quit();
                     });
    QObject::connect(&run, &BatchRun::Faulted, [&] {
      result.faulted = true;
      ended = true;
      loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    const std::string startFolder = CurrentFolder();
    // Started from the loop, so that a run that ends at once ends the loop too.
    QTimer::singleShot(0, &run, &BatchRun::Start);
    loop.exec();
    EXPECT_TRUE(ended);
    // Each encoder is given its working folder; the program's own never moves.
    EXPECT_EQ(CurrentFolder(), startFolder);
    return result;
  }

  // The files in a folder, hidden ones too.
  std::vector<std::string> Files(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_ + folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string record_;
  ScopedEnvironment environment_;
  ScriptedClock clock_{{0}};
  // The run is cancelled once BatchProgressed has come this often; never when 0.
  std::size_t cancelAfterProgress_ = 0;
};

TEST_F(BatchRunTest, TwoJobReportMatchesTheWorkedExample) {
  ASSERT_TRUE(CreateFolder(root_ + "Ogg"));
  AddJob("blue", "Ogg/");
  AddJob("red", "Ogg/");
  jobs_.Record(0).Audio.PlayTime = 244000;
  jobs_.Record(1).Audio.PlayTime = 189000;
  clock_ = ScriptedClock({5000, 5100, 67400, 67500, 113300, 113400});
  const RunResult result = Run();

  const std::string ogg = root_ + "Ogg/";
  std::string report;
  for (const std::string& line : RunReportLines(result.outcomes, result.summary)) {
    report += line + "\n";
  }
  EXPECT_EQ(report, "[終了]\n" + ogg +
                        "blue.ogg\n処理時間 ： 1分2秒\n再生／処理時間比 ： 3.9165\n\n"
                        "[終了]\n" +
                        ogg +
                        "red.ogg\n処理時間 ： 0分45秒\n再生／処理時間比 ： 4.1266\n\n"
                        "----------\n\n[終了]\n2個のファイルを処理。\n"
                        "処理時間計 ： 1分48秒\n\n");
  EXPECT_EQ(result.events,
            (std::vector<std::string>{"start 0 in 0", "end 0 ok", "start 1 in 0", "end 1 ok"}));
  EXPECT_EQ(Files("Ogg"), (std::vector<std::string>{"blue.ogg", "red.ogg"}));
}

TEST_F(BatchRunTest, NoNewJobStartsAfterTheFirstFailureUnlessTheRunKeepsGoing) {
  const struct {
    int parallel;
    bool keepGoing;
    std::vector<std::string> events;
    std::size_t done;
  } cases[] = {
      {1, false, {"start 0 in 0", "end 0 ok", "start 1 in 0", "end 1 failed"}, 1},
      // Both start together; the first still finishes and counts.
      {2, false, {"start 0 in 0", "start 1 in 1", "end 1 failed", "end 0 ok"}, 1},
      {1,
       true,
       {"start 0 in 0", "end 0 ok", "start 1 in 0", "end 1 failed", "start 2 in 0", "end 2 ok"},
       2},
      {2, true, {}, 2},
  };
  for (const char* folder : {"out1", "out2", "out3"}) ASSERT_TRUE(CreateFolder(root_ + folder));
  AddJob("a", "out1/");
  AddJob("b", "out2/");
  AddJob("c", "out3/");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.parallel + 10 * c.keepGoing);
    std::filesystem::remove(record_);
    std::filesystem::remove_all(root_ + "out3/c.ogg");
    ScopedEnvironment failure;
    failure.Set("LUMIO_FAKE_FAIL_INPUT", "b.wav");
    // The second job fails at once, while the first one takes a moment.
    failure.Set("LUMIO_FAKE_SLOW_INPUT", "a.wav");
    const RunResult result = Run({.parallel = c.parallel, .keepGoing = c.keepGoing});
    EXPECT_EQ(ReadFakeRuns(record_).size(), c.keepGoing ? 3u : 2u);
    if (c.parallel == 1) {
      EXPECT_EQ(result.events, c.events);
    }
    ASSERT_EQ(result.outcomes.size(), 3u);
    EXPECT_TRUE(result.outcomes[0].succeeded);  // blocks in list order, whatever the end order
    EXPECT_FALSE(result.outcomes[1].succeeded);
    EXPECT_EQ(result.outcomes[1].outputPath, root_ + "out2/b.ogg");
    EXPECT_EQ(result.outcomes[1].reason, "エンコーダが終了コード 1 で終了しました");
    EXPECT_EQ(result.outcomes[2].succeeded, c.keepGoing);
    EXPECT_EQ(result.outcomes[2].reached, c.keepGoing);
    EXPECT_FALSE(result.summary.completed);
    EXPECT_EQ(result.summary.done, c.done);
    EXPECT_EQ(result.summary.failed, 1u);
    EXPECT_EQ(result.summary.notStarted, c.keepGoing ? 0u : 1u);
    EXPECT_EQ(Files("out2"), std::vector<std::string>{});
    // The job never reached has its line after the last block, and its count.
    const std::vector<std::string> report = RunReportLines(result.outcomes, result.summary);
    EXPECT_EQ(std::count(report.begin(), report.end(), "[未処理] " + root_ + "out3/c.ogg"),
              c.keepGoing ? 0 : 1);
    EXPECT_EQ(std::count(report.begin(), report.end(), "1個のファイルが未処理。"),
              c.keepGoing ? 0 : 1);
    EXPECT_EQ(std::count(report.begin(), report.end(), "1個のファイルが失敗。"), 1);
  }
}

TEST_F(BatchRunTest, SeveralEncodersRunAtOnceAndReportInListOrder) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddJob(name);
  const RunResult result = Run({.parallel = 2});
  EXPECT_EQ(result.mostRunning, 2);
  ASSERT_EQ(result.outcomes.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(result.outcomes[i].outputPath, root_ + "out/" + std::string(1, 'a' + i) + ".ogg");
  }
  EXPECT_TRUE(result.summary.completed);
  EXPECT_EQ(result.summary.done, 5u);
  EXPECT_EQ(Files("out"), (std::vector<std::string>{"a.ogg", "b.ogg", "c.ogg", "d.ogg", "e.ogg"}));
}

TEST_F(BatchRunTest, CancelLeavesNoPartialFileAndKeepsTheEarlierCompleteOne) {
  for (const int parallel : {1, 2}) {
    SCOPED_TRACE(parallel);
    jobs_.Clear();
    AddJob("a");
    AddJob("b");
    AddJob("c");
    std::ofstream(root_ + "out/a.ogg") << "complete earlier file";
    for (std::size_t job = 0; job < 3; ++job) jobs_.Record(job).Audio.PlayTime = 10000;
    ScopedEnvironment wait;
    wait.Set("LUMIO_FAKE_WAIT", "1");
    wait.Set("LUMIO_FAKE_SAY", kHalfWay);
    QElapsedTimer elapsed;
    elapsed.start();
    const RunResult result =
        Run({.parallel = parallel}, nullptr, [](BatchRun& run) { run.Cancel(); });
    EXPECT_LT(elapsed.elapsed(), 10000);
    ASSERT_EQ(result.outcomes.size(), 3u);
    for (const JobOutcome& outcome : result.outcomes) {
      EXPECT_FALSE(outcome.succeeded);
      EXPECT_EQ(outcome.reason, "");  // the user's own cancel needs no reason
    }
    // The jobs begun are cancelled, the others never started.
    EXPECT_EQ(result.summary.cancelled, static_cast<std::size_t>(parallel));
    EXPECT_EQ(result.summary.notStarted, static_cast<std::size_t>(3 - parallel));
    // The ratio covers the half that was encoded before the cancel.
    if (parallel == 1) {
      EXPECT_EQ(result.outcomes[0].playTimeMs, 5000);
    }
    EXPECT_EQ(result.summary.done, 0u);
    EXPECT_EQ(Files("out"), std::vector<std::string>{"a.ogg"});
    std::ifstream kept(root_ + "out/a.ogg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "complete earlier file");
  }
}

TEST_F(BatchRunTest, AFailedJobSaysWhyInItsBlock) {
  const std::string notExecutable = root_ + "encoder";
  std::ofstream(notExecutable) << "not a program";
  std::filesystem::permissions(notExecutable, std::filesystem::perms::owner_all);
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string encoder;
    std::string reasonStart;
    bool ran;
  } cases[] = {
      {"the encoder's last error line",
       {{"LUMIO_FAKE_SAY", "ERROR: Input file \"a.wav\" is not a supported format\n"},
        {"LUMIO_FAKE_EXIT", "1"}},
       kFakeEncoder,
       "ERROR: Input file \"a.wav\" is not a supported format",
       true},
      {"a failure that does not say error, after progress",
       {{"LUMIO_FAKE_SAY",
         "\r\t[ 45.3%] [ 0m12s remaining] |\nFailed writing data to output stream\n"},
        {"LUMIO_FAKE_EXIT", "1"}},
       kFakeEncoder,
       "Failed writing data to output stream",
       true},
      // A crash is no stop the user asked for.
      {"a crash",
       {{"LUMIO_FAKE_SIGNAL", "11"}},
       kFakeEncoder,
       "エンコーダが異常終了しました (シグナル 11)",
       true},
      {"a crash after an error line",
       {{"LUMIO_FAKE_SAY", "ERROR: FLAC decoding failed\n"}, {"LUMIO_FAKE_SIGNAL", "6"}},
       kFakeEncoder,
       "エンコーダが異常終了しました (シグナル 6): ERROR: FLAC decoding failed",
       true},
      {"a failure with nothing said",
       {{"LUMIO_FAKE_EXIT", "3"}},
       kFakeEncoder,
       "エンコーダが終了コード 3 で終了しました",
       true},
      {"success without an output file",
       {{"LUMIO_FAKE_NO_OUTPUT", "1"}},
       kFakeEncoder,
       "出力ファイルが作られませんでした",
       true},
      {"an encoder that cannot start", {}, notExecutable, "エンコーダを起動できません: ", false},
  };
  AddJob("a");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnvironment environment;
    for (const auto& [name, value] : c.environment) environment.Set(name, value);
    settings_.WriteString("Options", "EncoderPlace", c.encoder);
    const RunResult result = Run();
    ASSERT_EQ(result.outcomes.size(), 1u);
    EXPECT_FALSE(result.outcomes[0].succeeded);
    EXPECT_EQ(result.outcomes[0].reason.substr(0, c.reasonStart.size()), c.reasonStart);
    EXPECT_EQ(result.outcomes[0].ran, c.ran);
    EXPECT_FALSE(result.summary.completed);
    EXPECT_EQ(Files("out"), std::vector<std::string>{});
  }
}

// A file system of its own, far too small for any output, mounted for the test's life.
class TinyFileSystem {
 public:
  explicit TinyFileSystem(const std::string& folder) : folder_(folder) {
    mounted_ =
        CreateFolder(folder) && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~TinyFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST_F(BatchRunTest, AFullOutputFolderIsNamedBeforeTheEncodersWords) {
  const TinyFileSystem full(root_ + "full");
  if (!full.Mounted()) GTEST_SKIP() << "cannot mount a file system here";
  AddJob("a", "full/");
  // The statistics the encoder prints after its failure are no reason.
  environment_.Set("LUMIO_FAKE_SAY",
                   "Failed writing data to output stream\n\nAverage bitrate: 75.7 kb/s\n");
  environment_.Set("LUMIO_FAKE_EXIT", "1");
  const RunResult result = Run();
  ASSERT_EQ(result.outcomes.size(), 1u);
  EXPECT_EQ(result.outcomes[0].reason,
            "出力先の空き容量が足りません: Failed writing data to output stream");
  EXPECT_EQ(Files("full"), std::vector<std::string>{});
}

TEST_F(BatchRunTest, SkippedJobsRunNoEncoderAndAreCountedApart) {
  for (const char* name : {"a", "b", "c"}) AddJob(name);
  jobs_.Record(1).Audio.PlayTime = 1000;
  std::ofstream(root_ + "out/b.ogg") << "up to date";
  settings_.WriteInteger("Options", "ExistingOutput", 1);
  clock_ = ScriptedClock({0, 100, 1100, 1200, 2200, 2300});
  for (const int parallel : {1, 2}) {
    SCOPED_TRACE(parallel);
    std::filesystem::remove(record_);
    // The outputs of the round before are up to date too.
    std::filesystem::remove(root_ + "out/a.ogg");
    std::filesystem::remove(root_ + "out/c.ogg");
    const RunResult result = Run({.parallel = parallel});
    EXPECT_EQ(ReadFakeRuns(record_).size(), 2u);
    EXPECT_EQ(std::count(result.events.begin(), result.events.end(), "start 1 in 0"), 0);
    ASSERT_EQ(result.outcomes.size(), 3u);
    EXPECT_EQ(JobBlockLines(result.outcomes[1]),
              (std::vector<std::string>{"[スキップ]", root_ + "out/b.ogg", ""}));
    EXPECT_TRUE(result.summary.completed);
    const std::vector<std::string> summary = SummaryLines(result.summary);
    ASSERT_EQ(summary.size(), 7u);
    EXPECT_EQ(summary[2], "[終了]");
    EXPECT_EQ(summary[3], "2個のファイルを処理。");
    EXPECT_EQ(summary[4], "1個のファイルをスキップ。");
    std::ifstream kept(root_ + "out/b.ogg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "up to date");
  }
}

TEST_F(BatchRunTest, TheShareDoneAndTheTimeLeftFollowWhatTheEncodersSay) {
  // Each encoder says it is half way, then waits until the run is cancelled. The clock
  // reads 5 000 ms until both encoders have started, and 6 000 ms from then on.
  environment_.Set("LUMIO_FAKE_SAY", kHalfWay);
  environment_.Set("LUMIO_FAKE_WAIT", "1");
  settings_.WriteInteger("Options", "ExistingOutput", 1);
  for (const char* name : {"a", "b", "skipped"}) AddJob(name);
  std::ofstream(root_ + "out/skipped.ogg") << "up to date";
  const double playMs = static_cast<double>(jobs_.Record(0).Audio.PlayTime);
  const auto timeLeft = [](double fraction) {
    return std::llround(1000 * (1 - fraction) / fraction);
  };
  // An up-to-date output is done without work: it weighs one, not its source's play time.
  const double afterSkipped = (1 + playMs / 2) / (1 + 2 * playMs);
  const struct {
    const char* name;
    std::vector<std::string> names;
    std::vector<std::pair<double, std::int64_t>> batch;
  } cases[] = {
      {"two equal jobs", {"a", "b"}, {{0.25, 3000}, {0.5, 1000}}},
      {"a skipped job first",
       {"skipped", "a", "b"},
       {{afterSkipped, timeLeft(afterSkipped)},
        {(1 + playMs) / (1 + 2 * playMs), timeLeft((1 + playMs) / (1 + 2 * playMs))}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    for (const std::string& name : c.names) {
      ASSERT_TRUE(test::AddSource(jobs_, root_ + "in/" + name + ".wav", settings_, root_ + "out/"));
    }
    clock_ = ScriptedClock({5000, 5000, 5000, 6000});
    cancelAfterProgress_ = 2;
    const RunResult result = Run({.parallel = 2});
    ASSERT_EQ(result.batchProgress.size(), c.batch.size());
    for (std::size_t i = 0; i < c.batch.size(); ++i) {
      EXPECT_NEAR(result.batchProgress[i].first, c.batch[i].first, 1e-9) << i;
      EXPECT_EQ(result.batchProgress[i].second, c.batch[i].second) << i;
    }
    // Each job's own share goes with its lane, whichever encoder speaks first.
    std::vector<std::string> lanes = result.jobProgress;
    std::sort(lanes.begin(), lanes.end());
    const std::size_t first = c.names.size() - 2;
    EXPECT_EQ(lanes, (std::vector<std::string>{std::to_string(first) + " in 0 at 0.500000",
                                               std::to_string(first + 1) + " in 1 at 0.500000"}));
  }
}

TEST_F(BatchRunTest, KeptSubfoldersAreMadeWhenTheirJobRuns) {
  AddJob("a");
  AddJob("b");
  AddJob("c");
  jobs_.Record(0).OutputSubfolder = "Artist/CD 1/";
  // A file where a folder should be: the second job fails and says why.
  std::ofstream(root_ + "out/blocked") << "a file";
  jobs_.Record(1).OutputSubfolder = "blocked/CD2/";
  jobs_.Record(2).OutputSubfolder = "never/";
  const RunResult result = Run();
  ASSERT_EQ(result.outcomes.size(), 3u);
  EXPECT_FALSE(result.outcomes[2].reached);
  EXPECT_TRUE(result.outcomes[0].succeeded);
  EXPECT_EQ(result.outcomes[0].outputPath, root_ + "out/Artist/CD 1/a.ogg");
  EXPECT_EQ(Files("out/Artist/CD 1"), std::vector<std::string>{"a.ogg"});
  EXPECT_FALSE(result.outcomes[1].succeeded);
  // A job that never ran has no time in its block.
  EXPECT_EQ(JobBlockLines(result.outcomes[1]),
            (std::vector<std::string>{"[中止]", root_ + "out/blocked/CD2/b.ogg",
                                      "理由 ： 出力先フォルダを作成できません: " + root_ +
                                          "out/blocked/: Not a directory",
                                      ""}));
  EXPECT_FALSE(result.summary.completed);
  // The batch stopped before the third job, whose folder is not made.
  EXPECT_FALSE(std::filesystem::exists(root_ + "out/never"));
}

TEST_F(BatchRunTest, AJobThatFailsItsChecksFailsAloneInARunThatKeepsGoing) {
  for (const char* name : {"a", "b", "c"}) AddJob(name);
  std::ofstream(root_ + "out/b.ogg") << "kept";
  std::filesystem::permissions(root_ + "out/b.ogg", std::filesystem::perms::owner_read);
  settings_.WriteInteger("Options", "ExistingOutput", 2);
  settings_.WriteBool("Options", "KeepGoing", true);
  const RunResult result = Run({.keepGoing = true});
  EXPECT_EQ(ReadFakeRuns(record_).size(), 2u);
  ASSERT_EQ(result.outcomes.size(), 3u);
  EXPECT_TRUE(result.outcomes[0].succeeded);
  EXPECT_EQ(JobBlockLines(result.outcomes[1]),
            (std::vector<std::string>{
                "[中止]", root_ + "out/b.ogg",
                "理由 ： 出力ファイルが書き込み禁止になっています: " + root_ + "out/b.ogg", ""}));
  EXPECT_TRUE(result.outcomes[2].succeeded);
  EXPECT_EQ(Files("out"), (std::vector<std::string>{"a.ogg", "b.ogg", "c.ogg"}));
  std::ifstream kept(root_ + "out/b.ogg");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

TEST_F(BatchRunTest, AnOutputFolderGoneBeforeItsJobRunsFailsThatJobAndSaysWhy) {
  ASSERT_TRUE(CreateFolder(root_ + "gone"));
  AddJob("a");
  AddJob("b", "gone/");
  environment_.Set("LUMIO_FAKE_SAY", kHalfWay);
  const RunResult result =
      Run({}, nullptr, [&](BatchRun&) { std::filesystem::remove(root_ + "gone"); });
  ASSERT_EQ(result.outcomes.size(), 2u);
  EXPECT_TRUE(result.outcomes[0].succeeded);
  EXPECT_EQ(JobBlockLines(result.outcomes[1]),
            (std::vector<std::string>{"[中止]", root_ + "gone/b.ogg",
                                      "理由 ： 出力先フォルダに書き込めません: No such file or "
                                      "directory",
                                      ""}));
}

TEST_F(BatchRunTest, ARunThatStopsEarlyRemovesTheFoldersItMadeAndLeftEmpty) {
  ASSERT_TRUE(CreateFolder(root_ + "out/Existing"));
  AddJob("a");
  AddJob("b");
  jobs_.Record(0).OutputSubfolder = "Artist/CD 1/";
  jobs_.Record(1).OutputSubfolder = "Existing/New/";
  environment_.Set("LUMIO_FAKE_WAIT", "1");
  environment_.Set("LUMIO_FAKE_SAY", kHalfWay);
  const RunResult result = Run({.parallel = 2}, nullptr, [](BatchRun& run) { run.Cancel(); });
  EXPECT_EQ(result.outcomes.size(), 2u);
  // The folder that was there before stays, empty as it is.
  EXPECT_EQ(Files("out"), std::vector<std::string>{"Existing"});
  EXPECT_EQ(Files("out/Existing"), std::vector<std::string>{});
  EXPECT_NE(CurrentFolder(), "");
}

TEST_F(BatchRunTest, JobsOfOneOutputRunInListOrderWhateverTheEncoderCount) {
  AddJob("a");
  AddJob("b");
  AddJob("c");
  jobs_.SetOutputFileName(1, "a.ogg");
  // The first job takes longest: run beside the second, it would end last and win.
  environment_.Set("LUMIO_FAKE_SLOW_INPUT", "a.wav");
  const RunResult result = Run({.parallel = 2});
  EXPECT_TRUE(result.summary.completed);
  const auto firstOf = [&](const std::string& start) {
    return std::find_if(result.events.begin(), result.events.end(),
                        [&](const std::string& event) { return event.rfind(start, 0) == 0; }) -
           result.events.begin();
  };
  EXPECT_LT(firstOf("end 0"), firstOf("start 1"));
  EXPECT_EQ(result.mostRunning, 2);  // the third job still runs beside the second
}

TEST_F(BatchRunTest, EachRunSweepsAbandonedHiddenFilesFromItsOutputFolders) {
  AddJob("a");
  AddJob("b", "in/");
  const std::vector<std::string> left = {".lumio-999999-abcde1234.part", ".lumio-1-fedcba.part"};
  test::WriteFile(root_ + "out/" + left[0], "half an output of a killed run");
  test::WriteFile(root_ + "in/" + left[1], "");
  test::WriteFile(root_ + "out/.lumio-99999-my notes.part", "the user's own");
  const RunResult result = Run();
  EXPECT_TRUE(result.summary.completed);
  EXPECT_EQ(Files("out"), (std::vector<std::string>{".lumio-99999-my notes.part", "a.ogg"}));
  EXPECT_FALSE(std::filesystem::exists(root_ + "in/" + left[1]));
}

TEST_F(BatchRunTest, SummaryAloneWhenThereAreNoJobs) {
  const RunResult result = Run();
  EXPECT_TRUE(result.outcomes.empty());
  EXPECT_EQ(SummaryLines(result.summary),
            (std::vector<std::string>{"----------", "", "[中止]", "0個のファイルを処理。",
                                      "処理時間計 ： 0分0秒", ""}));
}

TEST_F(BatchRunTest, EncoderWritesAHiddenFileInTheOutputFolderWithUtf8Tags) {
  AddJob("a");
  jobs_.SetOutputFileName(0, "-");  // a real file named "-", not standard output
  jobs_.Record(0).Title = "Blue \"Moon\" \\";
  const RunResult result = Run();
  ASSERT_TRUE(result.summary.completed);
  const std::vector<FakeRun> runs = ReadFakeRuns(record_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].folder, root_ + "out");
  const std::vector<std::string>& arguments = runs[0].arguments;
  ASSERT_EQ(arguments.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(arguments.begin(), arguments.begin() + 5),
            (std::vector<std::string>{kFakeEncoder, "--utf8", "-q", "3.0", "-tBlue \"Moon\" \\"}));
  EXPECT_EQ(arguments[5].substr(0, 9), "-o.lumio-");
  EXPECT_EQ(arguments[6], root_ + "in/a.wav");
  EXPECT_EQ(Files("out"), std::vector<std::string>{"-"});
  EXPECT_EQ(result.outcomes[0].outputPath, root_ + "out/-");
}

TEST_F(BatchRunTest, NamesThatAreNoUtf8ReachTheEncoderAsTheirBytes) {
  const struct {
    std::string source, folder;
  } cases[] = {
      {"lat\xe9in", "b\xe9n/"},
      // Shift-JIS; only the folder holds a 0x5C trail byte, which an output name may not.
      {"\x89\xb9\x8a\x79", "\x8f\x4f\x95\xd4\x83\x5c/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    std::filesystem::remove(record_);
    jobs_.Clear();
    ASSERT_TRUE(CreateFolder(root_ + c.folder));
    AddJob(c.source, c.folder);
    const RunResult result = Run();
    ASSERT_TRUE(result.summary.completed);
    const std::vector<FakeRun> runs = ReadFakeRuns(record_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].folder, root_ + c.folder.substr(0, c.folder.size() - 1));
    EXPECT_EQ(runs[0].arguments.back(), root_ + "in/" + c.source + ".wav");
    EXPECT_TRUE(std::filesystem::exists(root_ + c.folder + c.source + ".ogg"));
  }
}

TEST_F(BatchRunTest, ConsolesShowEachEncoderAndCloseWithIt) {
  AddJob("a");
  AddJob("b");
  environment_.Set("LUMIO_FAKE_SAY", "encoding\n");
  for (const int parallel : {1, 2}) {
    SCOPED_TRACE(parallel);
    RecordingConsoles consoles;
    const RunResult result = Run({.parallel = parallel, .console = true}, &consoles);
    EXPECT_TRUE(result.summary.completed);
    EXPECT_EQ(consoles.output, "encoding\nencoding\nencoding\nencoding\n");
    const std::string title = parallel == 1 ? kFakeEncoder : kFakeEncoder + " - a.ogg";
    EXPECT_EQ(std::count(consoles.calls.begin(), consoles.calls.end(), "started " + title),
              parallel == 1 ? 2 : 1);
    EXPECT_EQ(std::count(consoles.calls.begin(), consoles.calls.end(), "ended"), 2);
  }
}

TEST_F(BatchRunTest, AFaultStopsTheRunAndItsEncoders) {
  AddJob("a");
  AddJob("b");
  environment_.Set("LUMIO_FAKE_WAIT", "1");
  environment_.Set("LUMIO_FAKE_SAY", kHalfWay);
  // Read at the start, the first job's start and its progress: its end cannot be timed.
  clock_ = ScriptedClock({0}, 3);
  QElapsedTimer elapsed;
  elapsed.start();
  const RunResult result = Run({}, nullptr, [](BatchRun& run) { run.Cancel(); });
  EXPECT_TRUE(result.faulted);
  EXPECT_LT(elapsed.elapsed(), 10000);
  EXPECT_EQ(Files("out"), std::vector<std::string>{});
}

}  // namespace
}  // namespace lumio
