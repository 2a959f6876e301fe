#pragma once

#include <sys/types.h>

#include <string>

namespace lumio {

// The name of a temporary file that a save to `target` writes before renaming it into
// place: "<target>.tmp-<pid>-<counter>", so that the process that made it can be told.
std::string TemporaryFileName(const std::string& target, pid_t pid, unsigned counter);

// Removes the temporary files of saves to `target` that were cut off (the saving
// process was killed): only names of exactly that form, only regular files, and only
// when their process no longer exists. A file of a process that is still running, or
// whose existence cannot be checked, is kept.
void RemoveStaleTemporaryFiles(const std::string& target);

}  // namespace lumio
