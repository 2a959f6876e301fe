#pragma once

#include <string>
#include <variant>

#include "core/settings_schema.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"

namespace lumio {

// A checked batch with all that its run takes from the settings, read once when it
// starts: the window and the command line start their runs from this.
struct BatchStart {
  BatchPlan plan;
  std::string optionText;      // the encoder's options
  BatchRunOptions runOptions;  // never more encoders at once than jobs to encode
  ExistingOutputs existingOutputs = ExistingOutputs::Ask;  // what is done with old outputs
};

// Checks the batch (PrepareBatch) and reads how it runs. `programFolder` ends in a
// separator.
std::variant<BatchStart, BatchRefusal> PlanBatch(const FileDataList& jobs,
                                                 const SettingsStore& settings,
                                                 const std::string& programFolder,
                                                 const PathRules& rules);

}  // namespace lumio
