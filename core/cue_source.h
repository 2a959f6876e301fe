#pragma once

#include <string>
#include <vector>

#include "core/cue_sheet.h"
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
// One track cut out of an image: its number, its sample frames from `first` to `end`
// (0: to the image's end) and the tags it is given.
struct TrackPlan {
  int number = 0;
  std::uint64_t first = 0;
  std::uint64_t end = 0;
  SourceTags tags;
};

// The entry for track `plan` of `image` (the sound file at `imagePath`): the track's
// range and figures, its tags with the track number, the image folder's cover when the
// tags hold no picture, and the output name "NN title.ogg" (the title falling back to
// the name of `namePath`).
SourceReading TrackEntry(const std::string& imagePath, const AudioFigures& image,
                         const TrackPlan& plan, const std::string& namePath,
                         const PathRules& rules);

// The tags a CUE sheet gives `track`: its own fields, else the disc's.
SourceTags CueTrackTags(const CueSheet& sheet, const CueTrack& track);

// `number` with at least two digits.
std::string TwoDigitTrackNumber(int number);

SourceReading ReadCueSource(const std::string& path, const PathRules& rules);

// The image files that the CUE sheet at `path` splits into tracks, as paths beside the
// sheet; empty when the sheet cannot be read or has no track.
std::vector<std::string> CueImagePaths(const std::string& path, const PathRules& rules);

}  // namespace lumio
