#pragma once

#include <string>

#include "platform/code_page.h"

namespace lumio {

class BatchHost;
class Clock;
class SettingsStore;
struct FileData;

// Encodes one job: runs the encoder in the job's output folder, which stays the current
// folder afterwards, and appends the job's five report lines. True exactly when the
// encoder started and ended with exit code 0. When it cannot be started (or the output
// folder cannot be entered) it returns false and reports nothing.
bool RunEncoder(const FileData& job, const std::string& inputPath, const std::string& encoderPath,
                const std::string& optionText, const SettingsStore& settings, BatchHost& host,
                Clock& clock, CodePage codePage);

}  // namespace lumio
