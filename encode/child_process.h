#pragma once

#include <QProcess>
#include <string>
#include <vector>

#include "core/settings_schema.h"

namespace lumio {

// Starts `process` from its argument vector (`arguments[0]` is the program; never through
// a shell) in `workingFolder`, at the nice value of `priority`, bound to this program's
// life: it is sent SIGKILL should the program die first, however it dies.
void StartChildProcess(QProcess& process, const std::vector<std::string>& arguments,
                       EncodePriority priority, const std::string& workingFolder);

}  // namespace lumio
