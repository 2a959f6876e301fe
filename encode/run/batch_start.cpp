#include "encode/run/batch_start.h"

#include <algorithm>
#include <utility>

#include "encode/child/command_line.h"
#include "encode/run/batch_run_options.h"

namespace lumio {

std::variant<BatchStart, BatchRefusal> PlanBatch(const FileDataList& jobs,
                                                 const SettingsStore& settings,
                                                 const std::string& programFolder,
                                                 const PathRules& rules) {
  std::variant<BatchPlan, BatchRefusal> checked =
      PrepareBatch(jobs, settings, programFolder, rules);
  if (auto* refusal = std::get_if<BatchRefusal>(&checked)) {
    return std::move(*refusal);
  }
  BatchStart start{std::move(std::get<BatchPlan>(checked)), BuildOptionText(settings),
                   ReadBatchRunOptions(settings, rules), ReadExistingOutputs(settings)};
  // No lane is drawn, and no console made, that the batch can never use.
  const auto toRun = std::count_if(start.plan.jobs.begin(), start.plan.jobs.end(),
                                   [](const PlannedJob& job) { return !job.skip; });
  start.runOptions.parallel = std::clamp(static_cast<int>(toRun), 1, start.runOptions.parallel);
  return start;
}

}  // namespace lumio
