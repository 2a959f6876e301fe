#include "encode/batch_progress.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace lumio {
namespace {

TEST(BatchProgressTest, JobsCountByTheirSizeAndTheRestIsTimedByThePaceSoFar) {
  const struct {
    const char* name;
    std::vector<std::int64_t> weights;
    std::vector<std::pair<std::size_t, double>> steps;
    double fraction;
    std::int64_t elapsedMs;
    std::optional<std::int64_t> remainingMs;
  } cases[] = {
      {"nothing done yet", {100, 300}, {}, 0, 5000, std::nullopt},
      {"small job done", {100, 300}, {{0, 1.0}}, 0.25, 5000, 15000},
      {"big job half done", {100, 300}, {{1, 0.5}}, 0.375, 3000, 5000},
      {"a later reading replaces the earlier", {100, 300}, {{1, 0.9}, {1, 0.5}}, 0.375, 3000, 5000},
      {"all done", {100, 300}, {{0, 1.0}, {1, 1.0}}, 1, 8000, 0},
      {"too little done to tell", {100, 300}, {{0, 0.02}}, 0.005, 1000, std::nullopt},
      {"empty files weigh as one byte", {0, 0}, {{0, 1.0}}, 0.5, 1000, 1000},
      {"out of range readings are clamped", {100}, {{0, 7.0}, {3, 0.5}}, 1, 1000, 0},
      {"no jobs", {}, {}, 0, 1000, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BatchProgress progress(c.weights);
    for (const auto& [job, fraction] : c.steps) progress.SetJobFraction(job, fraction);
    EXPECT_NEAR(progress.Fraction(), c.fraction, 1e-9);
    EXPECT_EQ(progress.RemainingMs(c.elapsedMs), c.remainingMs);
  }
}

}  // namespace
}  // namespace lumio
