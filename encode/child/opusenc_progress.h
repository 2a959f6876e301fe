#pragma once

#include <string_view>

#include "encode/child/encoder_output_reader.h"

namespace lumio {

// opusenc's progress lines, each redrawn after a carriage return: "[|] 45% 00:01:03.18
// 31.6x realtime, 150.4 kbit/s", and without the percent ("[/] 00:00:44.58 22.3x
// realtime, ...") when it reads a pipe, whose length it cannot know.
ProgressLine ReadOpusencProgressLine(std::string_view line);

}  // namespace lumio
