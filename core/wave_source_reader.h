#pragma once

#include "core/byte_source.h"
#include "core/wave_data.h"

namespace lumio {

// Reads the WAVE header held by `source` into `wave` and returns whether it is a PCM
// WAVE file. Throws WaveReadError when a read fails or a PCM file's byte rate is 0.
bool ReadWaveInfo(ByteSource& source, WaveData& wave);

}  // namespace lumio
