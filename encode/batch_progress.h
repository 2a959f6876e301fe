#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace lumio {

// The share of a whole batch that is done, each job weighted by its size, and the time
// the rest should take at the pace so far.
class BatchProgress {
 public:
  explicit BatchProgress(std::vector<std::int64_t> weights);

  // The share of job `job` that is done, 0 to 1.
  void SetJobFraction(std::size_t job, double fraction);
  double JobFraction(std::size_t job) const { return fractions_.at(job); }
  double Fraction() const;
  // Milliseconds left, from the time spent so far; nullopt until enough is done to tell.
  std::optional<std::int64_t> RemainingMs(std::int64_t elapsedMs) const;

 private:
  std::vector<std::int64_t> weights_;
  std::vector<double> fractions_;
  double total_ = 0;
  double done_ = 0;  // kept as jobs move on, so that a step costs the same for any size
};

}  // namespace lumio
