#include "encode/batch_progress.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lumio {

namespace {

// Below this share an estimate of the time left swings too wildly to be shown.
constexpr double kLeastShareForEstimate = 0.01;

}  // namespace

BatchProgress::BatchProgress(std::vector<std::int64_t> weights)
    : weights_(std::move(weights)), fractions_(weights_.size(), 0.0) {
  for (std::int64_t& weight : weights_) {
    weight = std::max<std::int64_t>(weight, 1);
  }
  total_ = std::accumulate(weights_.begin(), weights_.end(), 0.0,
                           [](double sum, std::int64_t weight) { return sum + weight; });
}

void BatchProgress::SetJobFraction(std::size_t job, double fraction) {
  if (job < fractions_.size()) {
    const double clamped = std::clamp(fraction, 0.0, 1.0);
    done_ += static_cast<double>(weights_[job]) * (clamped - fractions_[job]);
    fractions_[job] = clamped;
  }
}

double BatchProgress::Fraction() const {
  if (total_ <= 0) {
    return 0;
  }
  return std::clamp(done_ / total_, 0.0, 1.0);
}

std::optional<std::int64_t> BatchProgress::RemainingMs(std::int64_t elapsedMs) const {
  const double fraction = Fraction();
  if (fraction < kLeastShareForEstimate || elapsedMs <= 0) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(std::llround(elapsedMs * (1 - fraction) / fraction));
}

}  // namespace lumio
