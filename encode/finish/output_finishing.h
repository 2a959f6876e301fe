#pragma once

#include <memory>
#include <string>
#include <vector>

#include "encode/finish/loudness_meter.h"
#include "encode/run/batch_plan.h"

namespace lumio {

// The note of an Ogg Opus output whose source carried REPLAYGAIN_* fields; it holds for
// the whole batch, so the report tells it once.
inline constexpr const char* kReplayGainLeftOffOpusNote =
    "REPLAYGAIN_* タグは Ogg Opus には書き込みません";

// The answer of the finishing step: success, or the reason the job fails.
struct FinishingResult {
  bool succeeded = true;
  std::string reason;  // for the report's reason line; empty on success
  // The output's loudness, when ReplayGain is on: an album's gain is taken over its
  // tracks' meters together.
  std::shared_ptr<const LoudnessMeter> loudness;
  // What the report adds about the job: the pictures left out as the output was
  // finished, one line each.
  std::vector<std::string> notes;
};

// Whether FinishOutput has anything to do for `job`: without, the encoder's file is
// kept exactly as it is.
bool NeedsFinishing(const PlannedJob& job, const FinishingOptions& options);

// The work done on a job's hidden output after the encoder has exited 0 and before the
// file takes the output's name. It runs on a worker thread, so it may take its time
// with the file, but it touches nothing but the file at `hiddenPath` and its own
// arguments. A failure leaves the hidden file to be removed by the caller.
FinishingResult FinishOutput(const std::string& hiddenPath, const PlannedJob& job,
                             const FinishingOptions& options);

}  // namespace lumio
