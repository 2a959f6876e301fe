#pragma once

#include <string>
#include <vector>

#include "core/source_reading.h"
#include "platform/path_rules.h"

namespace lumio {

// Reads the CUE sheet at `path` and the image files it names into one entry for each
// audio track (SourceReading::tracks). A track runs from its INDEX 01 to the next
// track's INDEX 01 in the same image, so a pregap belongs to the track before it; the
// last track of an image runs to the image's end and the first from its beginning, so
// that the tracks together hold every sample of the image. Each entry takes its tags from the
// sheet alone (the image's own tags are no track's), its figures from the image over the
// track's length, the image folder's cover, and the output name "NN title.ogg". A sheet
// that cannot be split (no TRACK, a missing image, positions out of order) gives no
// entry and says why in `failure`.
SourceReading ReadCueSource(const std::string& path, const PathRules& rules);

// The image files that the CUE sheet at `path` splits into tracks, as paths beside the
// sheet; empty when the sheet cannot be read or has no track.
std::vector<std::string> CueImagePaths(const std::string& path, const PathRules& rules);

}  // namespace lumio
