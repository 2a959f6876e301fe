#pragma once

#include "core/audio_figures.h"
#include "core/audio_kind.h"
#include "core/byte_source.h"

namespace lumio {

// Reads the header of the file held by `source` as a file of `kind` into `audio` (a file of no
// supported kind is read as a WAVE file) and returns whether it is what that kind says.
// A file that is not gets an empty information line and a playing time of 0. Throws
// SourceReadError when the file cannot be read or a PCM WAVE file declares a byte rate of 0.
bool ReadAudioInfo(ByteSource& source, AudioKind kind, AudioFigures& audio);

}  // namespace lumio
