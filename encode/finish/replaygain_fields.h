#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumio {

// The loudness ReplayGain 2.0 levels every track to.
inline constexpr double kReplayGainReferenceLufs = -18.0;

// One comment field: its name and its text.
using CommentField = std::pair<std::string, std::string>;

// The gain that brings `loudnessLufs` to the reference, as players read it: a sign, two
// decimals and " dB" ("+2.00 dB", "-6.54 dB"), whatever the locale.
std::string GainText(double loudnessLufs);
// A sample peak with six decimals ("0.987654"), whatever the locale.
std::string PeakText(double peak);

// REPLAYGAIN_TRACK_GAIN and _PEAK, or REPLAYGAIN_ALBUM_GAIN and _PEAK with `album`; no
// fields when the loudness could not be measured.
std::vector<CommentField> ReplayGainFields(std::optional<double> loudnessLufs, double peak,
                                           bool album);

// The field that names the tracks an album's fields were measured over: their number and
// a digest of each track's file name and track fields. While every output of an album
// holds the value its tracks give now, and all hold one album gain and peak, no track has
// been added, removed or encoded again since, and the album needs no measuring.
inline constexpr const char* kAlbumTracksField = "LUMIO_ALBUM_TRACKS";

// The names of every field these and the album pass write: fields of these names carried from a
// source are replaced, never left beside new ones.
const std::vector<std::string>& ReplayGainFieldNames();

}  // namespace lumio
