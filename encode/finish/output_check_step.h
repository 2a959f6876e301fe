#pragma once

#include <string>

#include "encode/finish/output_finishing.h"
#include "encode/run/batch_plan.h"

namespace lumio {

// Whether the finishing step decodes the output at all.
bool DecodesOutputs(const FinishingOptions& options);

// The part of finishing that reads the output back: when the options ask for it, decodes
// the hidden output once, fails the job when its length is not the source's, measures
// its loudness and writes its REPLAYGAIN_TRACK_* fields (album fields, carried or not, go:
// they are written once the whole album is known). With neither asked for, does nothing.
FinishingResult CheckAndMeasureOutput(const std::string& hiddenPath, const PlannedJob& job,
                                      const FinishingOptions& options);

}  // namespace lumio
