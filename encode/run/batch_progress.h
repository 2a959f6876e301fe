#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "encode/run/batch_plan.h"

namespace lumio {

// Each job's share of the work, in milliseconds of play time: what the encoder's time
// follows, whatever the kind of source and its size in bytes. A job that runs no
// encoder (skipped, or planned to fail) weighs next to nothing.
std::vector<std::int64_t> JobWeights(const std::vector<PlannedJob>& jobs);

// The share of a whole batch that is done, each job weighted by its play time, and the
// time the rest should take at the pace so far.
class BatchProgress {
 public:
  explicit BatchProgress(std::vector<std::int64_t> weights);

  // The share of job `job` that is done, 0 to 1.
  void SetJobFraction(std::size_t job, double fraction);
  double JobFraction(std::size_t job) const { return fractions_.at(job); }
  // Job `job` failed: the part of it not done is taken out of the work, so the share
  // done rises and the time left may drop at once.
  void JobFailed(std::size_t job);
  double Fraction() const;
  // Milliseconds left, from the time spent so far; nullopt until enough is done to tell.
  // Never more than a second above an earlier reading, so that the time shown does not
  // climb back when the pace wavers; a failed job may make it drop at once.
  std::optional<std::int64_t> RemainingMs(std::int64_t elapsedMs);

 private:
  std::vector<std::int64_t> weights_;
  std::vector<double> fractions_;
  double total_ = 0;
  double done_ = 0;  // kept as jobs move on, so that a step costs the same for any size
  std::optional<std::int64_t> leastShownMs_;
};

}  // namespace lumio
