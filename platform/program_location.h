#pragma once

#include <string>

namespace lumio {

// Full path of the running program file (from /proc/self/exe).
std::string ProgramFilePath();

// The folder of the running program file, ending in a separator.
std::string ProgramFolder();

}  // namespace lumio
