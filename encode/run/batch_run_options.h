#pragma once

#include "encode/run/batch_run.h"
#include "platform/path_rules.h"

namespace lumio {

class SettingsStore;

// How a batch runs, from the settings as they are now: encoders at once (kept within
// 1 to kMostParallelEncoders), console, priority, the tags' code page, and whether a
// failed job ends the batch.
BatchRunOptions ReadBatchRunOptions(const SettingsStore& settings, const PathRules& rules);

}  // namespace lumio
