#pragma once

#include <string_view>

#include "platform/path_rules.h"

namespace lumio {

// Whether the file name in `path` ends in exactly ".wav" or ".WAV"; mixed cases such as
// ".Wav" do not count.
bool HasWaveExtension(std::string_view path, const PathRules& rules);

}  // namespace lumio
