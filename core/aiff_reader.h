#pragma once

#include "core/audio_figures.h"
#include "core/byte_source.h"

namespace lumio {

enum class AiffForm { NotAiff, Aiff, Aifc };

// The form of the file held by `source`, from its first 12 bytes.
AiffForm ReadAiffForm(ByteSource& source);

// Reads the COMM chunk of the AIFF or AIFC file held by `source` into `audio` and returns
// whether it is an uncompressed AIFF file with a sound data chunk (SSND). Any other file
// gives false with empty results. Throws SourceReadError when a read fails.
bool ReadAiffInfo(ByteSource& source, AudioFigures& audio);

}  // namespace lumio
