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

// `json`, a report object, with "removed" (or, in a dry run, "dry_run" and
// "would_remove") and "removal_failures" added.
std::string WithPruneJson(const std::string& json, const PruneReport& report);

}  // namespace lumio
