#include "encode/run/batch_run_options.h"

#include <algorithm>

#include "core/settings_schema.h"

namespace lumio {

BatchRunOptions ReadBatchRunOptions(const SettingsStore& settings, const PathRules& rules) {
  BatchRunOptions options;
  options.parallel = std::clamp(ReadParallelEncoders(settings), 1, kMostParallelEncoders);
  options.console = ReadViewCheck(settings);
  // A stored number that is no item of the list runs the encoder at normal priority.
  options.priority = ReadEncodePriority(settings).value_or(EncodePriority::Normal);
  options.codePage = rules.codePage;
  options.keepGoing = ReadKeepGoing(settings);
  return options;
}

}  // namespace lumio
