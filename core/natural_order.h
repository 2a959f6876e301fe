#pragma once

#include <string_view>

namespace lumio {

// Order of names as people number them: runs of digits compare by their value, so
// "track2" comes before "track10"; other bytes compare with ASCII letters folded to one
// case, and names equal that way fall back to plain byte order.
bool NaturalLess(std::string_view left, std::string_view right);

}  // namespace lumio
