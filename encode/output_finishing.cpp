#include "encode/output_finishing.h"

#include "encode/output_check_step.h"

namespace lumio {

FinishingResult FinishOutput(const std::string& hiddenPath, const PlannedJob& job,
                             const FinishingOptions& options) {
  // Last, so that the check reads the file as it will be named and the ReplayGain
  // fields replace any carried from the source.
  return CheckAndMeasureOutput(hiddenPath, job, options);
}

}  // namespace lumio
