#pragma once

#include <string>

#include "platform/path_rules.h"

namespace lumio {

class BatchHost;
class Clock;
class FileDataList;
class SettingsStore;

// Everything one batch run works with.
struct BatchContext {
  FileDataList& jobs;
  const SettingsStore& settings;
  BatchHost& host;
  Clock& clock;
  std::string programFolder;  // where the encoder is looked for first; ends in a separator
  PathRules rules = NativePathRules();
};

// Runs one batch over the whole job list: checks, the overwrite question, one encoder
// run per job, the report. Returns when the result window has been closed, or after an
// error message or a refused question.
void StartEncodeClick(BatchContext& context);

}  // namespace lumio
