#pragma once

#include <string>

#include "core/audio_figures.h"
#include "core/source_tags.h"

namespace lumio {

// Reads a file that the decoder turns into WAVE (AudioKind::Decoded): the information
// line from TagLib's audio properties, or from `ffprobe` (found beside the program,
// else on $PATH, and given ten seconds) for the formats TagLib does not know; the tags
// from TagLib. The data size is that of the decoded WAVE: 16 bits a sample for lossy
// sources, the source's own bits for lossless ones. The tags' pictures are listed (see
// ListEmbeddedPictures); a source without any takes its folder's cover image. No single
// read of TagLib takes more than 16 MB. False when neither can tell the figures; Lumio
// itself never parses the file's audio.
bool ReadDecodedSource(const std::string& path, AudioFigures& audio, SourceTags& tags);

}  // namespace lumio
