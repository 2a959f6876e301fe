#pragma once

#include <string>
#include <vector>

namespace lumio {

// The names of a message that lists files: each on a line of its own, each line started
// by a line feed, the first 20 only and then "ほか N 件" for the rest, so that a long list
// still fits on the screen.
std::string FirstNamesThenCount(const std::vector<std::string>& names);

}  // namespace lumio
