#pragma once

#include "core/carried_tags.h"
#include "core/settings_schema.h"

namespace lumio {

// What the finishing step does to each output of a batch, as the settings said when the
// batch was checked.
struct FinishingOptions {
  CarryOptions carry;
  ReplayGainMode replayGain = ReplayGainMode::None;
  bool verifyOutputs = false;  // the output decoded and its length checked
};

}  // namespace lumio
