#include "encode/output_finishing.h"

namespace lumio {

FinishingResult FinishOutput(const std::string& /*hiddenPath*/, const PlannedJob& /*job*/,
                             const FinishingOptions& /*options*/) {
  return {};
}

}  // namespace lumio
