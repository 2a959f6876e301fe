#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/mirror_manifest.h"
#include "encode/report/mirror_report.h"
#include "encode/report/run_report.h"

namespace lumio {

// The upkeep of a kept tree's output root around one `lumio --batch`: the list of the
// outputs Lumio wrote there (.lumio-mirror), brought up to date at the end of each run,
// and with --prune the removal of the listed outputs whose source has gone.
class MirrorUpkeep {
 public:
  // `root` ends in a separator; `sourceFolders` are the run's folder arguments, absolute.
  MirrorUpkeep(std::string root, std::vector<std::string> sourceFolders, bool prune, bool dryRun);

  // Reads the list. A file of its name that is no such list gives the message to show;
  // then nothing is removed and the file is left as it is.
  std::optional<std::string> Load();

  // After the run, with the outcomes of the jobs it reached and their inputs: removes the
  // orphaned outputs (not after an interrupted run) and writes the list with the outputs
  // written this run. A dry run only tells what it would remove.
  PruneReport Finish(const std::vector<JobOutcome>& outcomes,
                     const std::vector<std::string>& inputs, bool interrupted);

 private:
  std::string root_;
  std::vector<std::string> sourceFolders_;
  bool prune_;
  bool dryRun_;
  std::optional<std::vector<MirrorEntry>> entries_;  // nullopt: no list of Lumio's
};

}  // namespace lumio
