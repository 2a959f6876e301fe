#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/output_format.h"

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

// The loudness Opus players level to with the R128 gains (RFC 7845 5.2.1).
inline constexpr double kR128ReferenceLufs = -23.0;

// The R128 gain that brings `loudnessLufs` to kR128ReferenceLufs: a signed Q7.8 number,
// dB times 256 rounded, kept within 16 bits ("-768"), on top of the header's output gain.
std::string R128GainText(double loudnessLufs);

// REPLAYGAIN_TRACK_GAIN and _PEAK, or REPLAYGAIN_ALBUM_GAIN and _PEAK with `album`; for
// Ogg Opus R128_TRACK_GAIN or R128_ALBUM_GAIN alone, which is what Opus players read. No
// fields when the loudness could not be measured.
std::vector<CommentField> ReplayGainFields(std::optional<double> loudnessLufs, double peak,
                                           bool album, OutputFormat format = OutputFormat::Vorbis);

// The field that names the tracks an album's fields were measured over: their number and
// a digest of each track's file name and track fields. While every output of an album
// holds the value its tracks give now, and all hold one album gain and peak, no track has
// been added, removed or encoded again since, and the album needs no measuring.
inline constexpr const char* kAlbumTracksField = "LUMIO_ALBUM_TRACKS";

// The names of every field these and the album pass write for `format`: fields of these names
// carried from a source are replaced, never left beside new ones. For Ogg Opus the REPLAYGAIN_*
// names too, which an Opus file must not hold.
const std::vector<std::string>& ReplayGainFieldNames(OutputFormat format = OutputFormat::Vorbis);

// Whether `name` is a REPLAYGAIN_* field (in any case), which Ogg Opus outputs never carry:
// Opus players read the R128 gains, on another reference.
bool IsReplayGainField(std::string_view name);

}  // namespace lumio
