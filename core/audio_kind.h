#pragma once

#include <string_view>

#include "platform/path_rules.h"

namespace lumio {

// The kinds of sound file that Lumio takes, told apart by the file name's extension,
// whatever its letter case: .wav; .flac; .aif, .aiff and .aifc, which the encoder reads
// itself; and Decoded, the formats that the decoder program turns into WAVE for it
// (kDecodedExtensions); and CueSheet, .cue, which adds the tracks of the image files it
// names.
enum class AudioKind { Unsupported, Wave, Flac, Aiff, Decoded, CueSheet };

// The extensions of the Decoded kind, lower-case, without their dot.
inline constexpr std::string_view kDecodedExtensions[] = {
    "mp3", "m4a", "mp4", "aac", "alac", "opus", "ogg", "oga", "wv",
    "ape", "tta", "wma", "dsf", "dff",  "mka",  "mpc", "ac3", "caf"};

AudioKind AudioKindOf(std::string_view path, const PathRules& rules);

inline bool IsSupportedAudioFile(std::string_view path, const PathRules& rules) {
  return AudioKindOf(path, rules) != AudioKind::Unsupported;
}

}  // namespace lumio
