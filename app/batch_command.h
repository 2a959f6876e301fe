#pragma once

#include <string>
#include <vector>

namespace lumio {

// Exit statuses of `lumio --batch`.
enum BatchExitStatus : int {
  kBatchAllDone = 0,       // every job done or skipped
  kBatchSomeFailed = 1,    // a job failed, or a file could not be added
  kBatchUsageError = 2,    // an option or value that cannot be taken
  kBatchRefused = 3,       // a check of the batch failed; nothing ran
  kBatchInterrupted = 130  // SIGINT or SIGTERM stopped it
};

// Runs `lumio --batch [OPTION]... FILE|FOLDER...` to its end with a QCoreApplication
// only: adds the paths as the window does, checks the batch, runs it with progress on
// standard error, and writes the report to standard output or --report. `argc` and
// `argv` are the program's own, `arguments` the same as byte strings. Returns the exit
// status.
int RunBatchCommand(const std::vector<std::string>& arguments, int& argc, char** argv);

}  // namespace lumio
