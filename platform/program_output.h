#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lumio {

// Runs `arguments[0]` with the rest as its arguments (no shell), its standard input and
// error on /dev/null, and returns what it writes on its standard output, at most
// `limit` bytes, once it has exited 0. A program that runs longer than `timeout` is
// killed; that, a start that fails and any other exit give nullopt. The program never
// outlives Lumio: it is killed when Lumio ends, by a signal too. Safe to call from
// several threads at once, each waiting for its own program.
std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds timeout, std::size_t limit);

}  // namespace lumio
