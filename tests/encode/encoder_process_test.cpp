#include "encode/child/encoder_process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "encode/child/child_ending.h"
#include "encode_test_support.h"

namespace lumio {
namespace {

using test::FakeRun;
using test::kFakeEncoder;
using test::ReadFakeRuns;
using test::ScopedEnvironment;

class EncoderProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = dir_.PathOf("record");
    environment_.Set("LUMIO_FAKE_RECORD", record_);
  }

  // Runs the fake encoder with `arguments` to its end and returns its exit code.
  int Run(std::vector<std::string> arguments, EncodePriority priority = EncodePriority::Normal,
          const std::string& folder = std::filesystem::current_path().string()) {
    arguments.insert(arguments.begin(), kFakeEncoder);
    EncoderProcess process;
    process.Start(arguments, priority, folder);
    const EncoderExit exit = WaitForEnd(process);
    EXPECT_TRUE(exit.started);
    return exit.exitCode;
  }

  // Lets the event loop run until `process` has ended.
  static EncoderExit WaitForEnd(EncoderProcess& process) {
    QSignalSpy ended(&process, &EncoderProcess::Ended);
    EXPECT_TRUE(ended.wait(30000));
    return ended.isEmpty() ? EncoderExit{} : ended.front().front().value<EncoderExit>();
  }

  const test::TemporaryFolder dir_;
  std::string record_;
  ScopedEnvironment environment_;
};

TEST_F(EncoderProcessTest, PassesEveryArgumentByteForByteWithoutAShell) {
  // Names that are no UTF-8, Latin-1 and Shift-JIS bytes, in the arguments and the folder.
  const std::vector<std::string> arguments = {"-t日本語 \"引用\" \\",
                                              "",
                                              "two\r\nlines",
                                              "$HOME `id` ; | *",
                                              "  leading",
                                              "-olat\xe9in.ogg",
                                              "/m/\x89\xb9\x8a\x79\x83\x5c/lat\xe9in.wav"};
  const std::string folder = dir_.Path() + "/b\xe9n \x89\xb9\x8a\x79";
  ASSERT_TRUE(CreateFolder(folder));
  const std::string startFolder = CurrentFolder();
  ASSERT_EQ(Run(arguments, EncodePriority::Normal, folder), 0);
  const std::vector<FakeRun> runs = ReadFakeRuns(record_);
  ASSERT_EQ(runs.size(), 1u);
  std::vector<std::string> expected = arguments;
  expected.insert(expected.begin(), kFakeEncoder);
  EXPECT_EQ(runs[0].arguments, expected);
  EXPECT_EQ(runs[0].folder, folder);
  EXPECT_EQ(CurrentFolder(), startFolder);
}

TEST_F(EncoderProcessTest, RunsAtTheNiceValueOfThePriorityItem) {
  const int inherited = getpriority(PRIO_PROCESS, 0);
  const auto niceOr = [inherited](int nice) { return test::CanSetNice(nice) ? nice : inherited; };
  // Numbers that are no priority run at normal priority too.
  const struct {
    int priority;
    int expectedNice;
  } cases[] = {{0, 19},          {1, inherited}, {2, niceOr(-10)},
               {3, niceOr(-20)}, {4, inherited}, {-1, inherited}};
  for (const auto& c : cases) {
    std::filesystem::remove(record_);
    ASSERT_EQ(Run({}, static_cast<EncodePriority>(c.priority)), 0);
    const std::vector<FakeRun> runs = ReadFakeRuns(record_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].nice, c.expectedNice) << "priority " << c.priority;
  }
}

TEST_F(EncoderProcessTest, WaitsWithoutSpinningUntilACloseRequestEndsIt) {
  environment_.Set("LUMIO_FAKE_WAIT", "1");
  EncoderProcess process;
  process.Start({kFakeEncoder}, EncodePriority::Normal, dir_.Path());
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 10) process.RequestClose();
  });
  ticker.start(100);

  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  const EncoderExit exit = WaitForEnd(process);
  rusage after{};
  getrusage(RUSAGE_SELF, &after);

  EXPECT_TRUE(exit.signalled);
  EXPECT_GE(ticks, 10);
  process.RequestClose();  // the encoder has ended: nothing left to reach
  const auto cpuMs = [](const rusage& usage) {
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  };
  // About one second of waiting; a polling loop would burn nearly all of it.
  EXPECT_LT(cpuMs(after) - cpuMs(before), 200.0);
}

TEST_F(EncoderProcessTest, ARepeatedCloseRequestKillsAnEncoderThatIgnoresTheFirst) {
  const std::string script = dir_.Path() + "/stubborn";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\ntrap '' TERM\nexec sleep 60\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  EncoderProcess process;
  process.Start({script}, EncodePriority::Normal, dir_.Path());
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    // The first request is ignored; the encoder is still running at the second.
    if (++ticks == 3 || ticks == 6) process.RequestClose();
  });
  ticker.start(100);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_TRUE(WaitForEnd(process).signalled);
  EXPECT_GE(ticks, 6);
  EXPECT_LT(elapsed.elapsed(), 10000);
}

// Whether `pid` is a process that has not ended (a zombie has).
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string number, name, state;
  return static_cast<bool>(stat >> number >> name >> state) && state != "Z";
}

TEST_F(EncoderProcessTest, DestroyingARunningEncoderEndsItAndItsDecoderWithinTheBound) {
  // Each child writes its pid to the file named by its first argument, then waits.
  const std::string script = dir_.Path() + "/child";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\ntrap '' TERM\necho $$ >> \"$1\"\nexec sleep 60\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const std::string pids = dir_.Path() + "/pids";
  const struct {
    const char* name;
    bool withDecoder;
    bool closeRequested;  // SIGTERM first, which the children ignore
  } cases[] = {{"encoder alone", false, false},
               {"encoder that ignored a close request", false, true},
               {"encoder fed by a decoder, both ignoring a close request", true, true}};
  for (const auto& c : cases) {
    std::filesystem::remove(pids);
    std::vector<pid_t> children;
    {
      auto process = std::make_unique<EncoderProcess>();
      process->Start(
          {script, pids}, EncodePriority::Normal, dir_.Path(),
          c.withDecoder ? std::vector<std::string>{script, pids} : std::vector<std::string>{});
      const std::size_t expected = c.withDecoder ? 2 : 1;
      ASSERT_TRUE(QTest::qWaitFor(
          [&] {
            children.clear();
            std::ifstream in(pids);
            for (pid_t pid = 0; in >> pid;) children.push_back(pid);
            return children.size() == expected;
          },
          10000))
          << c.name;
      if (c.closeRequested) process->RequestClose();
      QElapsedTimer elapsed;
      elapsed.start();
      process.reset();
      EXPECT_LT(elapsed.elapsed(), 2 * kChildEndWaitMs + 500) << c.name;
    }
    for (const pid_t child : children) EXPECT_FALSE(Alive(child)) << c.name;
  }
}

TEST_F(EncoderProcessTest, AChildLeftToReapIsFreedOnceItEnds) {
  auto process = std::make_unique<QProcess>();
  process->start(QStringLiteral("sleep"), {QStringLiteral("60")});
  ASSERT_TRUE(process->waitForStarted(10000));
  const pid_t child = static_cast<pid_t>(process->processId());
  QSignalSpy freed(process.get(), &QObject::destroyed);
  ReapLater(std::move(process));
  // Still running: kept, not freed and not waited for.
  EXPECT_TRUE(freed.isEmpty());
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  EXPECT_TRUE(freed.wait(10000));
  EXPECT_FALSE(Alive(child));
}

TEST_F(EncoderProcessTest, OutputArrivesWholeLiveOrInBatchesWhileTheEncoderRuns) {
  environment_.Set("LUMIO_FAKE_SAY", "[ 12.5%] progress\r");
  // Written once to standard output and once to standard error.
  const std::string said = "[ 12.5%] progress\r[ 12.5%] progress\r";
  for (const bool keepsRunning : {false, true}) {
    for (const OutputPace pace : {OutputPace::Live, OutputPace::Batched}) {
      SCOPED_TRACE(std::string(keepsRunning ? "running" : "ended") +
                   (pace == OutputPace::Live ? ", live" : ", batched"));
      ScopedEnvironment wait;
      if (keepsRunning) wait.Set("LUMIO_FAKE_WAIT", "1");
      EncoderProcess process(pace);
      QSignalSpy ended(&process, &EncoderProcess::Ended);
      std::string output;
      QObject::connect(&process, &EncoderProcess::Output,
                       [&output](std::string_view bytes) { output += bytes; });
      process.Start({kFakeEncoder}, EncodePriority::Normal, dir_.Path());
      if (keepsRunning) {
        // A waiting encoder's words come while it waits, not only once it has ended.
        ASSERT_TRUE(QTest::qWaitFor([&] { return output == said || !ended.isEmpty(); }, 20000));
        EXPECT_TRUE(ended.isEmpty());
        process.RequestClose();
      }
      EXPECT_TRUE(WaitForEnd(process).started);
      EXPECT_EQ(output, said);
    }
  }
}

TEST_F(EncoderProcessTest, AProgramThatCannotRunEndsWithItsReasonFromTheEventLoop) {
  const std::string notExecutable = dir_.Path() + "/encoder";
  std::ofstream(notExecutable) << "not a program";
  const struct {
    std::string program, folder, reason;
  } cases[] = {
      {notExecutable, dir_.Path(), "execvp: Permission denied"},
      {dir_.Path() + "/missing", dir_.Path(), "execvp: No such file or directory"},
      {"lumio-no-such-encoder", dir_.Path(), "execvp: No such file or directory"},
      {kFakeEncoder, dir_.Path() + "/gone\xe9", "chdir: No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason + " " + c.program);
    EncoderProcess process;
    QSignalSpy started(&process, &EncoderProcess::Started);
    QSignalSpy ended(&process, &EncoderProcess::Ended);
    process.Start({c.program}, EncodePriority::Normal, c.folder);
    EXPECT_TRUE(ended.isEmpty());  // never from inside Start
    const EncoderExit exit = WaitForEnd(process);
    EXPECT_FALSE(exit.started);
    EXPECT_EQ(exit.startError, c.reason);
    EXPECT_TRUE(started.isEmpty());  // no console opens for it
  }
  EXPECT_TRUE(ReadFakeRuns(record_).empty());
}

TEST_F(EncoderProcessTest, TheEncoderDiesWithTheProgramThatStartedIt) {
  // A stand-in for the program, killed with SIGKILL once its encoder runs: no handler
  // of its own can clean up, only the death signal set in the child can end the encoder.
  const std::string pidFile = dir_.Path() + "/encoder.pid";
  const std::string script = dir_.Path() + "/encoder";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\necho $$ > '" << pidFile << "'\nexec sleep 60\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const pid_t program = ::fork();
  if (program == 0) {
    EncoderProcess process;
    process.Start({script}, EncodePriority::Normal, dir_.Path());
    for (int i = 0; i < 500 && !std::filesystem::exists(pidFile); ++i) ::usleep(10000);
    ::usleep(50000);
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ::waitpid(program, &status, 0);
  ASSERT_TRUE(std::filesystem::exists(pidFile));
  pid_t encoder = 0;
  std::ifstream(pidFile) >> encoder;
  ASSERT_GT(encoder, 0);
  // Gone, or a zombie that nobody has reaped yet.
  for (int i = 0; i < 300 && Alive(encoder); ++i) ::usleep(10000);
  EXPECT_FALSE(Alive(encoder));
}

}  // namespace
}  // namespace lumio
