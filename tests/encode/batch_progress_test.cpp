#include "encode/run/batch_progress.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace lumio {
namespace {

TEST(BatchProgressTest, JobsCountByTheirWeightAndTheRestIsTimedByThePaceSoFar) {
  const struct {
    const char* name;
    std::vector<std::int64_t> weights;
    std::vector<std::pair<std::size_t, double>> steps;
    double fraction;
    std::int64_t elapsedMs;
    std::optional<std::int64_t> remainingMs;
    std::vector<std::size_t> failed = {};  // after the steps
  } cases[] = {
      {"nothing done yet", {100, 300}, {}, 0, 5000, std::nullopt},
      {"small job done", {100, 300}, {{0, 1.0}}, 0.25, 5000, 15000},
      {"big job half done", {100, 300}, {{1, 0.5}}, 0.375, 3000, 5000},
      {"a later reading replaces the earlier", {100, 300}, {{1, 0.9}, {1, 0.5}}, 0.375, 3000, 5000},
      {"all done", {100, 300}, {{0, 1.0}, {1, 1.0}}, 1, 8000, 0},
      {"too little done to tell", {100, 300}, {{0, 0.02}}, 0.005, 1000, std::nullopt},
      {"weightless jobs weigh one", {0, 0}, {{0, 1.0}}, 0.5, 1000, 1000},
      {"out of range readings are clamped", {100}, {{0, 7.0}, {3, 0.5}}, 1, 1000, 0},
      {"no jobs", {}, {}, 0, 1000, std::nullopt},
      // The part a failed job did not do is no longer work: the time left drops.
      {"a job failed half way", {100, 200, 100}, {{0, 1.0}, {1, 0.5}}, 2.0 / 3, 4000, 2000, {1}},
      {"a job failed before it began", {100, 300}, {{0, 1.0}}, 1, 5000, 0, {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BatchProgress progress(c.weights);
    for (const auto& [job, fraction] : c.steps) progress.SetJobFraction(job, fraction);
    for (const std::size_t job : c.failed) progress.JobFailed(job);
    EXPECT_NEAR(progress.Fraction(), c.fraction, 1e-9);
    EXPECT_EQ(progress.RemainingMs(c.elapsedMs), c.remainingMs);
  }
}

PlannedJob Job(std::int64_t playMs, std::int64_t bytes, std::optional<SampleRange> range = {}) {
  PlannedJob job;
  job.record.Audio.PlayTime = playMs;
  job.record.Audio.SampleRate = 44100;
  job.record.Range = range;
  job.weight = bytes;
  return job;
}

TEST(BatchProgressTest, JobsWeighThePlayTimeTheyEncode) {
  constexpr std::uint64_t kMinute = 44100 * 60;
  PlannedJob skipped = Job(90000, 1);
  skipped.skip = true;
  PlannedJob failing = Job(90000, 1);
  failing.failure = "出力ファイルが書き込み禁止になっています: /o/a.ogg";
  const struct {
    const char* name;
    std::vector<PlannedJob> jobs;
    std::vector<std::int64_t> weights;
  } cases[] = {
      {"a WAVE and a FLAC by time", {Job(90000, 16000000), Job(240000, 16000000)}, {90000, 240000}},
      {"a CUE track by its part",
       {Job(600000, 1, SampleRange{kMinute, 3 * kMinute, 10 * kMinute})},
       {120000}},
      {"a last CUE track to the image's end",
       {Job(600000, 1, SampleRange{9 * kMinute, 0, 10 * kMinute})},
       {60000}},
      {"unknown length by bytes at the known pace",
       {Job(90000, 16000000), Job(0, 8000000)},
       {90000, 45000}},
      {"no length known: bytes", {Job(0, 300), Job(0, 100)}, {300, 100}},
      {"a skipped job takes no time", {skipped, Job(0, 100)}, {1, 100}},
      {"nor does a job planned to fail", {failing, Job(0, 100)}, {1, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JobWeights(c.jobs), c.weights);
  }
}

TEST(BatchProgressTest, TimeLeftNeverRisesMoreThanASecond) {
  // A WAVE of 90 s whose encoding slows, then a FLAC of 4 min.
  BatchProgress progress({90000, 240000});
  const struct {
    std::size_t job;
    double fraction;
    std::int64_t elapsedMs;
    std::int64_t shownMs;
  } readings[] = {
      {0, 0.5, 2000, 12667},  {0, 0.6, 4000, 13667},  // the pace says 20444
      {0, 1.0, 6000, 13667},                          // the pace says 16000
      {1, 0.5, 10000, 5714},  {1, 0.55, 11000, 5351},
      {1, 0.56, 12000, 5647},  // a rise within the second shows as it is
      {1, 1.0, 14000, 0},
  };
  for (const auto& r : readings) {
    SCOPED_TRACE(r.elapsedMs);
    progress.SetJobFraction(r.job, r.fraction);
    EXPECT_EQ(progress.RemainingMs(r.elapsedMs), r.shownMs);
  }
}

}  // namespace
}  // namespace lumio
