#pragma once

#include <string>
#include <vector>

namespace lumio {

// What the upkeep of a kept tree did to the outputs whose source has gone.
struct PruneReport {
  bool dryRun = false;                // `removed` lists what would have gone
  std::vector<std::string> removed;   // output paths
  std::vector<std::string> failures;  // "path: reason" of outputs that could not go
};

// One line per output: "[削除] path", or "[削除予定] path" in a dry run, then
// "[削除失敗] path: reason" for each failure.
std::vector<std::string> PruneReportLines(const PruneReport& report);

// `json`, a report object, with "removed" (or "would_remove" in a dry run) and
// "removal_failures" added.
std::string WithPruneJson(const std::string& json, const PruneReport& report);

// A run that was only tried: one "[未処理] output" line for each output that would be
// written, then a closing line that says nothing was changed.
std::vector<std::string> DryRunLines(const std::vector<std::string>& outputs);

// The same as JSON: "dry_run", and "jobs" with input, output and status "not-started".
std::string DryRunJson(const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs);

}  // namespace lumio
