#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/file_data.h"
#include "encode/finish/finishing_options.h"
#include "platform/path_rules.h"

namespace lumio {

class FileDataList;
class SettingsStore;

// One job as the run takes it: a copy of its record and input path, taken when the
// batch starts, so that nothing the user does meanwhile can change a running job.
struct PlannedJob {
  FileData record;
  std::string inputPath;
  // The folder the output goes to, with its trailing separator: the record's folder and
  // its kept subfolder, which may not exist yet.
  std::string outputFolder;
  // The input's size in bytes (a track's share of its image), at least 1: the measure of
  // the job's work when its play time is unknown.
  std::int64_t weight = 1;
  bool skip = false;  // the output is up to date and is left as it is
  // Why the existing output must not be replaced (write-protected, another user's); empty
  // when it may be. The album pass leaves such an output alone, whether it is skipped as
  // up to date or its job fails for it.
  std::string keptBy;
  // Why the job cannot run, found by the checks before the batch, on one line; empty
  // when it can. Set only in a batch that goes on past failures: the job then fails
  // alone when the run reaches it.
  std::string failure;
  // A lossy source in a kept tree that is copied as it is, under its own name, instead of
  // encoded again.
  bool copy = false;
  // Microseconds of sound the job's decoder said it wrote in all, for the check of the
  // output; set once the decoder has ended with its closing report.
  std::optional<std::int64_t> decoderWrittenUs;
};

// A batch that has passed its checks.
struct BatchPlan {
  std::string encoderPath;  // absolute, the very file that was checked
  std::string decoderPath;  // found when a job needs the decoder; empty otherwise
  std::vector<PlannedJob> jobs;
  // The outputs to ask about before they are replaced, in list order, once for each job
  // that writes them: files that exist already (unless the settings say to overwrite
  // them) and outputs that an earlier job writes too.
  std::vector<std::string> overwritten;
  // Those of them that an earlier job of the batch writes: a clash of names, never
  // decided by the settings.
  std::vector<std::string> clashes;
  FinishingOptions finishing;
};

// A check that failed: the message to show (without its leading line feed).
struct BatchRefusal {
  std::string message;
};

// Checks the encoder and then every job in list order. The first failure of a job
// refuses the batch with its message, unless the settings say to go on past failures
// (Options/KeepGoing): then each job that fails its checks is planned to fail alone
// with its reason. `programFolder` ends in a separator.
std::variant<BatchPlan, BatchRefusal> PrepareBatch(const FileDataList& jobs,
                                                   const SettingsStore& settings,
                                                   const std::string& programFolder,
                                                   const PathRules& rules);

// The question that lists `overwritten`.
std::string OverwriteQuestion(const std::vector<std::string>& overwritten);

}  // namespace lumio
