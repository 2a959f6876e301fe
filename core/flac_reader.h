#pragma once

#include "core/byte_source.h"
#include "core/wave_data.h"

namespace lumio {

// Reads the STREAMINFO block of the FLAC stream held by `source` (behind an ID3v2 tag,
// when one comes first) into `wave` and returns whether it is a FLAC file. A file that
// is not one, or that declares a sample rate of 0, gives false with empty results.
// Throws WaveReadError when a read fails.
bool ReadFlacInfo(ByteSource& source, WaveData& wave);

}  // namespace lumio
