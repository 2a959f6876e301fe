#pragma once

#include <string>
#include <string_view>

#include "core/settings_schema.h"

namespace lumio {

// The lossy formats that a kept tree can take as they are, told by their first bytes.
enum class LossyFormat { None, OggVorbis, OggOpus, Mp3, AdtsAac };

// The format that `firstBytes` (the start of a file, at least its first Ogg page or MPEG
// header) begins as; None for anything else, lossless or not sound at all. An MP4
// container is None: it may hold lossless ALAC as well as AAC.
LossyFormat LossyFormatOf(std::string_view firstBytes);

// Whether the source at `path` is copied as it is under `copy`: its bytes, read without
// waiting from a regular file, begin as a format that `copy` takes, and its name's
// extension claims that format.
bool IsCopiedAsItIs(const std::string& path, LossyCopy copy);

}  // namespace lumio
