#include "encode/run/batch_progress.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/file_data.h"

namespace lumio {

namespace {

// Below this share an estimate of the time left swings too wildly to be shown.
constexpr double kLeastShareForEstimate = 0.01;

// How far the time left may rise above its lowest reading: jitter in the pace, not news.
constexpr std::int64_t kAllowedRiseMs = 1000;

// The play time a job encodes in milliseconds, 0 when unknown: a track of an image by
// its own frames, a whole file by its length.
std::int64_t PlayTimeOf(const FileData& record) {
  const AudioFigures& audio = record.Audio;
  if (record.Range && audio.SampleRate > 0) {
    const SampleRange& range = *record.Range;
    const std::uint64_t end = range.end != 0 ? range.end : range.fileFrames;
    if (end > range.first) {
      return static_cast<std::int64_t>((end - range.first) * 1000 / audio.SampleRate);
    }
  }
  return std::max<std::int64_t>(audio.PlayTime, 0);
}

bool Encodes(const PlannedJob& job) { return !job.skip && job.failure.empty(); }

}  // namespace

std::vector<std::int64_t> JobWeights(const std::vector<PlannedJob>& jobs) {
  double knownMs = 0;
  double knownBytes = 0;
  for (const PlannedJob& job : jobs) {
    const std::int64_t playMs = PlayTimeOf(job.record);
    if (Encodes(job) && playMs > 0) {
      knownMs += static_cast<double>(playMs);
      knownBytes += static_cast<double>(job.weight);
    }
  }
  // A job of unknown length is timed by its bytes at the pace the known jobs have in
  // milliseconds a byte: its size still tells a long file from a short one, which a mean
  // of the others would not. With no length known at all, bytes are the only measure.
  const double msPerByte = knownBytes > 0 ? knownMs / knownBytes : 1;
  std::vector<std::int64_t> weights;
  weights.reserve(jobs.size());
  for (const PlannedJob& job : jobs) {
    const std::int64_t playMs = PlayTimeOf(job.record);
    if (!Encodes(job)) {
      weights.push_back(1);  // passed at once: no time of the run goes to it
    } else if (playMs > 0) {
      weights.push_back(playMs);
    } else {
      weights.push_back(std::llround(static_cast<double>(job.weight) * msPerByte));
    }
  }
  return weights;
}

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

void BatchProgress::JobFailed(std::size_t job) {
  if (job < fractions_.size()) {
    // The job keeps the weight of its part done, and that part counts as done.
    const auto before = static_cast<double>(weights_[job]);
    const std::int64_t kept = std::llround(before * fractions_[job]);
    total_ += static_cast<double>(kept) - before;
    done_ += static_cast<double>(kept) - before * fractions_[job];
    weights_[job] = kept;
    fractions_[job] = 1;
  }
}

double BatchProgress::Fraction() const {
  if (total_ <= 0) {
    return 0;
  }
  return std::clamp(done_ / total_, 0.0, 1.0);
}

std::optional<std::int64_t> BatchProgress::RemainingMs(std::int64_t elapsedMs) {
  const double fraction = Fraction();
  if (fraction < kLeastShareForEstimate || elapsedMs <= 0) {
    return std::nullopt;
  }
  std::int64_t remainingMs =
      static_cast<std::int64_t>(std::llround(elapsedMs * (1 - fraction) / fraction));
  // Held down to the lowest reading plus the allowed rise, never raised: the estimate is
  // never longer than the pace tells, so it still ends at nothing when the work is done.
  if (leastShownMs_) remainingMs = std::min(remainingMs, *leastShownMs_ + kAllowedRiseMs);
  leastShownMs_ = std::min(remainingMs, leastShownMs_.value_or(remainingMs));
  return remainingMs;
}

}  // namespace lumio
