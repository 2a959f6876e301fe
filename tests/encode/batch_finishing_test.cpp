// How a batch runs the finishing step of each output beside the next encoders: the
// step is held by the test and let go on the batch's own signals, never after a delay.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <variant>

#include "core/settings_schema.h"
#include "encode/run/batch_run.h"
#include "encode_test_support.h"

namespace lumio {
namespace {

// Finishing steps that each wait until the test lets the step of their output end with
// the result it chose. Once let go, a step writes into the hidden file as a real one
// does, making it anew when the run has removed it meanwhile (as a rewrite renamed over
// it would). A run that was cancelled or destroyed may start a step on its worker only
// after the test has moved on, so the steps share their state with the holder instead of
// pointing at it; a step that the holder's end let go writes nothing.
class HeldSteps {
 public:
  ~HeldSteps() {
    std::unique_lock lock(state_->mutex);
    state_->releaseAll = true;
    state_->changed.notify_all();
    state_->changed.wait(lock, [this] { return state_->ended == state_->started; });
  }

  FinishingStep Step() {
    return [state = state_](const std::string& hiddenPath, const PlannedJob& job,
                            const FinishingOptions&) {
      const std::string output = job.record.OutputFileName;
      std::unique_lock lock(state->mutex);
      ++state->started;
      state->changed.notify_all();
      state->changed.wait(lock,
                          [&] { return state->releaseAll || state->results.count(output) > 0; });
      const bool chosen = state->results.count(output) > 0;
      const FinishingResult result = chosen ? state->results[output] : FinishingResult();
      lock.unlock();
      if (chosen) {
        const int file =
            ::open(hiddenPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (file >= 0) {
          EXPECT_EQ(::write(file, " finished", 9), 9);
          ::close(file);
        }
      }
      lock.lock();
      ++state->ended;
      state->changed.notify_all();
      return result;
    };
  }

  void Let(const std::string& output, FinishingResult result = {}) {
    const std::lock_guard lock(state_->mutex);
    state_->results[output] = std::move(result);
    state_->changed.notify_all();
  }

  // Waits until a step has started on its worker and holds there.
  void WaitUntilHeld() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->started > state_->ended; });
  }

  // Waits for the worker's own end of every step let go, for a run gone meanwhile.
  void WaitForSteps() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->ended == state_->started; });
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::string, FinishingResult> results;
    int started = 0;
    int ended = 0;
    bool releaseAll = false;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// What the test does when the run tells an event ("start 1 in 0", "end 0 ok in -1").
using Actions = std::map<std::string, std::function<void(BatchRun&, HeldSteps&)>>;

std::function<void(BatchRun&, HeldSteps&)> Let(const std::string& output,
                                               FinishingResult result = {}) {
  return [output, result](BatchRun&, HeldSteps& steps) { steps.Let(output, result); };
}

std::function<void(BatchRun&, HeldSteps&)> LetAll(std::vector<std::string> outputs) {
  return [outputs](BatchRun&, HeldSteps& steps) {
    for (const std::string& output : outputs) steps.Let(output);
  };
}

void Cancel(BatchRun& run, HeldSteps&) { run.Cancel(); }

std::function<void(BatchRun&, HeldSteps&)> CancelAndLet(const std::string& output) {
  return [output](BatchRun& run, HeldSteps& steps) {
    run.Cancel();
    steps.Let(output);
  };
}

class BatchFinishingTest : public test::JobListTest {
 public:
  void SetUp() override {
    JobListTest::SetUp();
    // Verifying makes every job's output go through the finishing step.
    WriteVerifyOutputs(settings_, true);
  }

  std::unique_ptr<BatchRun> MakeRun(int parallel, HeldSteps& steps) {
    auto checked = PrepareBatch(jobs_, settings_, "", NativePathRules());
    EXPECT_TRUE(std::holds_alternative<BatchPlan>(checked));
    auto run = std::make_unique<BatchRun>(std::get<BatchPlan>(std::move(checked)), "",
                                          BatchRunOptions{.parallel = parallel}, clock_, nullptr);
    run->SetFinishingStep(steps.Step());
    return run;
  }

  // Runs to the end, doing each action when its event is told; the events in order.
  std::vector<std::string> Run(int parallel, const Actions& actions) {
    HeldSteps steps;
    std::unique_ptr<BatchRun> run = MakeRun(parallel, steps);
    std::vector<std::string> events;
    QEventLoop loop;
    const auto told = [&](const std::string& event) {
      events.push_back(event);
      if (const auto action = actions.find(event); action != actions.end()) {
        action->second(*run, steps);
      }
    };
    QObject::connect(run.get(), &BatchRun::JobStarting, [&](std::size_t job, int lane) {
      told("start " + std::to_string(job) + " in " + std::to_string(lane));
    });
    QObject::connect(run.get(), &BatchRun::JobMeasuring, [&](std::size_t job, int lane) {
      told("measuring " + std::to_string(job) + " in " + std::to_string(lane));
    });
    QObject::connect(run.get(), &BatchRun::JobEnded,
                     [&](std::size_t job, int lane, const JobOutcome& outcome) {
                       told("end " + std::to_string(job) + (outcome.succeeded ? " ok" : " failed") +
                            " in " + std::to_string(lane));
                       if (!outcome.reason.empty()) reasons_[job] = outcome.reason;
                     });
    QObject::connect(run.get(), &BatchRun::Finished,
                     [&](const std::vector<JobOutcome>&, const BatchSummary& summary) {
                       summary_ = summary;
                       told("finished");
                       loop.quit();
                     });
    QObject::connect(run.get(), &BatchRun::Faulted, [&] {
      told("faulted");
      loop.quit();
    });
    // Only a fault that holds a lane until its output is finished gets here: the steps
    // would never be let go.
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    // Started from the loop, so that a run that ends at once ends the loop too.
    QTimer::singleShot(0, run.get(), &BatchRun::Start);
    loop.exec();
    return events;
  }

  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_ + "out")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScriptedClock clock_;
  std::map<std::size_t, std::string> reasons_;
  BatchSummary summary_;
};

TEST_F(BatchFinishingTest, TheNextEncoderRunsWhileAnOutputIsFinished) {
  const FinishingResult failure{false, "出力の長さが入力と一致しません", nullptr, {}};
  const struct {
    const char* name;
    int parallel;
    std::vector<std::string> sources;
    Actions actions;
    std::vector<std::string> events;
    std::vector<std::string> files;
    std::map<std::size_t, std::string> reasons;
  } cases[] = {
      {"the batch ends after the last step, and each end keeps the row of a later job",
       1,
       {"a", "b"},
       {{"measuring 1 in 0", Let("a.ogg")}, {"end 0 ok in -1", Let("b.ogg")}},
       {"start 0 in 0", "measuring 0 in 0", "start 1 in 0", "measuring 1 in 0", "end 0 ok in -1",
        "end 1 ok in 0", "finished"},
       {"a.ogg", "b.ogg"},
       {}},
      {"no encoder starts while more outputs than lanes are being finished",
       1,
       {"a", "b", "c"},
       {{"measuring 1 in 0", Let("a.ogg")},
        {"measuring 2 in 0", Let("b.ogg")},
        {"end 1 ok in -1", Let("c.ogg")}},
       {"start 0 in 0", "measuring 0 in 0", "start 1 in 0", "measuring 1 in 0", "end 0 ok in -1",
        "start 2 in 0", "measuring 2 in 0", "end 1 ok in -1", "end 2 ok in 0", "finished"},
       {"a.ogg", "b.ogg", "c.ogg"},
       {}},
      {"a step that fails after its lane went on fails its own job and stops the batch",
       1,
       {"a", "b", "c"},
       {{"measuring 1 in 0", Let("a.ogg", failure)}, {"end 0 failed in -1", Let("b.ogg")}},
       {"start 0 in 0", "measuring 0 in 0", "start 1 in 0", "measuring 1 in 0",
        "end 0 failed in -1", "end 1 ok in 0", "finished"},
       {"b.ogg"},
       {{0, failure.reason}}},
      {"two lanes: the third job starts in the first lane freed, before any output ends",
       2,
       {"a", "b", "c"},
       {{"start 2 in 0", LetAll({"a.ogg", "b.ogg"})},
        {"start 2 in 1", LetAll({"a.ogg", "b.ogg"})},
        {"measuring 2 in 0", Let("c.ogg")},
        {"measuring 2 in 1", Let("c.ogg")}},
       {},
       {"a.ogg", "b.ogg", "c.ogg"},
       {}},
      {"cancel while a step is held: the run ends without it, its job cancelled",
       1,
       {"a", "b"},
       {{"measuring 0 in 0", Cancel}},
       {"start 0 in 0", "measuring 0 in 0", "end 0 failed in 0", "finished"},
       {},
       {}},
      {"a step that ends after the cancel has its end dropped and its file removed",
       1,
       {"a", "b"},
       {{"measuring 0 in 0", CancelAndLet("a.ogg")}},
       {"start 0 in 0", "measuring 0 in 0", "end 0 failed in 0", "finished"},
       {},
       {}},
      {"cancel with two outputs held: both jobs end cancelled at once",
       1,
       {"a", "b", "c"},
       {{"measuring 1 in 0", Cancel}},
       {"start 0 in 0", "measuring 0 in 0", "start 1 in 0", "measuring 1 in 0",
        "end 0 failed in -1", "end 1 failed in 0", "finished"},
       {},
       {}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(root_ + "out");
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    jobs_.Clear();
    for (const std::string& source : row.sources) AddJob(source);
    reasons_.clear();
    const std::vector<std::string> events = Run(row.parallel, row.actions);
    if (!row.events.empty()) {
      EXPECT_EQ(events, row.events);
    } else {
      // The two encoders race; the third job started before either output ended.
      const auto first = [&](std::string_view prefix) {
        return std::find_if(events.begin(), events.end(),
                            [&](const std::string& event) { return event.starts_with(prefix); }) -
               events.begin();
      };
      EXPECT_LT(first("start 2"), first("end "));
      EXPECT_EQ(events.back(), "finished");
    }
    // No hidden file left, nothing half-written; a step let go after the cancel removes
    // the file it wrote once it ends, after the run.
    EXPECT_TRUE(QTest::qWaitFor([&] { return OutputFiles() == row.files; }));
    EXPECT_EQ(OutputFiles(), row.files);
    EXPECT_EQ(reasons_, row.reasons);
  }
}

TEST_F(BatchFinishingTest, ARunDestroyedWhileAnOutputIsFinishedLeavesNoHiddenFile) {
  AddJob("a");
  HeldSteps steps;
  std::unique_ptr<BatchRun> run = MakeRun(1, steps);
  QEventLoop loop;
  QObject::connect(run.get(), &BatchRun::JobMeasuring, [&] {
    // The run goes from the event loop, not inside its own signal.
    QTimer::singleShot(0, &loop, [&] {
      // Destroyed while the step runs, not before its worker has taken it up.
      steps.WaitUntilHeld();
      run.reset();
      steps.Let("a.ogg");
      steps.WaitForSteps();
      loop.quit();
    });
  });
  run->Start();
  loop.exec();
  EXPECT_EQ(run, nullptr);
  // The step wrote the file anew after the run had gone; it removes it as it ends.
  EXPECT_TRUE(QTest::qWaitFor([&] { return OutputFiles().empty(); }));
  EXPECT_EQ(OutputFiles(), std::vector<std::string>());
}

}  // namespace
}  // namespace lumio
