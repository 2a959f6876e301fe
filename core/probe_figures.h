#pragma once

#include <optional>
#include <string_view>

#include "core/info_line.h"

namespace lumio {

// The figures of the information line from what `ffprobe -show_entries
// stream=sample_rate,channels,bits_per_raw_sample:format=duration -of
// default=noprint_wrappers=1` prints: `key=value` lines. The decoder's WAVE carries 16
// bits unless the stream declares more raw bits (a lossless source). nullopt when the
// rate, the channels or the duration are missing or make no sense.
std::optional<SoundFigures> ParseProbeFigures(std::string_view output);

}  // namespace lumio
