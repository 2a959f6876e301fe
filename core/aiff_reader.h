#pragma once

#include "core/byte_source.h"
#include "core/wave_data.h"

namespace lumio {

// Reads the COMM chunk of the AIFF or AIFC file held by `source` into `wave` and returns
// whether it is an uncompressed AIFF file with a sound data chunk (SSND). Any other file
// gives false with empty results. Throws WaveReadError when a read fails.
bool ReadAiffInfo(ByteSource& source, WaveData& wave);

}  // namespace lumio
