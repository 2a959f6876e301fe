#pragma once

#include <string>

namespace lumio {

// Full path of the running program file (from /proc/self/exe).
std::string ProgramFilePath();

// The folder of the running program file, ending in a separator.
std::string ProgramFolder();

// The helper program `name` that Lumio runs: the file of that name in `folder` (which ends
// in a separator) when there is one, else the first on $PATH; empty when neither has it.
std::string FindHelperProgram(const std::string& folder, const std::string& name);

}  // namespace lumio
