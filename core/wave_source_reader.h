#pragma once

#include "core/audio_figures.h"
#include "core/byte_source.h"

namespace lumio {

// Reads the WAVE header held by `source` into `wave` and returns whether it is a PCM
// WAVE file. Throws SourceReadError when a read fails or a PCM file's byte rate is 0.
bool ReadWaveInfo(ByteSource& source, AudioFigures& wave);

}  // namespace lumio
