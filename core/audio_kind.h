#pragma once

#include <string_view>

#include "platform/path_rules.h"

namespace lumio {

// The kinds of sound file that the encoder reads, told apart by the file name's
// extension, whatever its letter case: .wav; .flac; .aif, .aiff and .aifc.
enum class AudioKind { Unsupported, Wave, Flac, Aiff };

AudioKind AudioKindOf(std::string_view path, const PathRules& rules);

inline bool IsSupportedAudioFile(std::string_view path, const PathRules& rules) {
  return AudioKindOf(path, rules) != AudioKind::Unsupported;
}

}  // namespace lumio
