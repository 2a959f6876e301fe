#pragma once

#include <string>
#include <vector>

#include "encode/report/run_report.h"

namespace lumio {

// The outcomes of a batch as one JSON object: "jobs", one object per outcome in list
// order (input, output, status done/failed/skipped/cancelled/not-started, reason,
// elapsed_ms, play_ms), and "summary" with the counts of `summary`, whether the batch completed,
// whether it was cancelled, and its total time. `inputs` holds the input path of each outcome.
// Paths that are no UTF-8 carry U+FFFD in place of their stray bytes.
std::string RunReportJson(const std::vector<std::string>& inputs,
                          const std::vector<JobOutcome>& outcomes, const BatchSummary& summary,
                          bool cancelled);

}  // namespace lumio
