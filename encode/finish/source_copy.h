#pragma once

#include <string>

#include "encode/finish/finishing_options.h"
#include "encode/finish/output_finishing.h"
#include "encode/run/batch_plan.h"

namespace lumio {

// The work of a job that copies its source as it is: the source's bytes into the job's
// hidden output, which then takes the output's name as an encoded one does.
FinishingResult CopySource(const std::string& hiddenPath, const PlannedJob& job,
                           const FinishingOptions& options);

}  // namespace lumio
