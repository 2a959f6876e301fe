#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line_options.h"
#include "core/settings_schema.h"

namespace lumio {

class SettingsStore;

// What `lumio --batch` is told on its command line. Each option that is set overrides
// one setting of the settings file for this run only.
struct BatchOptions {
  std::vector<std::string> paths;  // FILE and FOLDER arguments, byte for byte
  std::optional<std::string> outputFolder;
  bool sameFolder = false;
  bool keepTree = false;
  std::optional<ExistingOutputs> existing;
  std::optional<std::int32_t> jobs;
  std::optional<std::int32_t> quality;  // quality level times ten, 0 to 100
  // Items of the bit-rate list (0 no setting, 1 to 12 a rate): minimum, nominal, maximum.
  std::optional<std::array<std::int32_t, 3>> bitrates;
  std::optional<EncodePriority> priority;
  std::optional<std::string> settingsFile;
  std::optional<std::string> reportFile;
  bool json = false;
  bool quiet = false;
  std::optional<ReplayGainMode> replayGain;
  bool verify = false;
  bool noCarryTags = false;
  bool noPictures = false;
  // A pattern that names each output from its tags; its '/' make folders.
  std::optional<std::string> names;
  // A failed job ends the batch, and a job that fails its checks refuses it, as in the
  // window; without it every other job runs.
  bool stopOnFailure = false;
  std::optional<LossyCopy> copyLossy;
  bool prune = false;   // outputs of a kept tree whose source has gone are removed
  bool dryRun = false;  // nothing is encoded, copied or removed; the report tells what would be
  std::optional<OutputFormat> format;
  std::optional<std::int32_t> opusBitrate;  // kbps
  std::optional<OpusMode> opusMode;
};

struct BatchCommandLine {
  // Run: `options` holds the batch; PrintAndExit: --help or --version; RefuseAndExit:
  // `text` is the one line naming the option or value that cannot be taken.
  CommandLineAction action = CommandLineAction::Run;
  std::string text;
  BatchOptions options;
};

// Whether the program's arguments ask for a batch without a window: --batch before any
// "--".
bool IsBatchCommandLine(const std::vector<std::string>& arguments);

// Reads the arguments of `lumio --batch`, the first being the program's own name.
// Options take their value as the next argument or after '='; "--" ends the options.
BatchCommandLine ParseBatchCommandLine(const std::vector<std::string>& arguments, bool japanese);

// Writes the options that are set into `settings`, which the caller never saves.
void ApplyBatchOverrides(const BatchOptions& options, SettingsStore& settings);

}  // namespace lumio
