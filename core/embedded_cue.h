#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_source.h"
#include "core/source_reading.h"
#include "platform/path_rules.h"

namespace lumio {

// Where one track of a FLAC CUESHEET block begins: its INDEX 01, in sample frames from
// the file's beginning.
struct EmbeddedCueTrack {
  int number = 0;
  bool audio = true;
  std::uint64_t start = 0;
};

// The tracks of the body of a FLAC CUESHEET metadata block, lead-out left out; nullopt
// when a length or count runs past the body's end, a track has no INDEX 01 or there is
// no track.
std::optional<std::vector<EmbeddedCueTrack>> ParseFlacCueSheet(std::string_view body);

// When the FLAC file at `path` (whose bytes `source` holds and which `reading` describes)
// carries a cue sheet, in a CUESHEET block or else a CUESHEET comment, fills
// `reading.tracks` with one entry for each audio track. A sheet that cannot be split
// (damaged, positions out of order or past the end) leaves the file whole.
void SplitEmbeddedCue(ByteSource& source, const std::string& path, const PathRules& rules,
                      SourceReading& reading);

}  // namespace lumio
