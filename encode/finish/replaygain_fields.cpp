#include "encode/finish/replaygain_fields.h"

#include <charconv>
#include <cmath>

namespace lumio {

namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace

std::string GainText(double loudnessLufs) {
  // Rounded first, so that a gain just below zero reads "+0.00", not "-0.00".
  const double gain = std::round((kReplayGainReferenceLufs - loudnessLufs) * 100) / 100;
  return (gain < 0 ? "" : "+") + Fixed(gain == 0 ? 0.0 : gain, 2) + " dB";
}

std::string PeakText(double peak) { return Fixed(peak, 6); }

std::vector<CommentField> ReplayGainFields(std::optional<double> loudnessLufs, double peak,
                                           bool album) {
  if (!loudnessLufs) return {};
  const std::string prefix = album ? "REPLAYGAIN_ALBUM_" : "REPLAYGAIN_TRACK_";
  return {{prefix + "GAIN", GainText(*loudnessLufs)}, {prefix + "PEAK", PeakText(peak)}};
}

const std::vector<std::string>& ReplayGainFieldNames() {
  static const std::vector<std::string> names{"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                              "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                              kAlbumTracksField};
  return names;
}

}  // namespace lumio
