#include "encode/finish/replaygain_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/ascii_case.h"

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

std::string R128GainText(double loudnessLufs) {
  const double q78 = std::round((kR128ReferenceLufs - loudnessLufs) * 256);
  return std::to_string(static_cast<int>(std::clamp(q78, -32768.0, 32767.0)));
}

std::vector<CommentField> ReplayGainFields(std::optional<double> loudnessLufs, double peak,
                                           bool album, OutputFormat format) {
  if (!loudnessLufs) return {};
  if (format == OutputFormat::Opus) {
    return {{album ? "R128_ALBUM_GAIN" : "R128_TRACK_GAIN", R128GainText(*loudnessLufs)}};
  }
  const std::string prefix = album ? "REPLAYGAIN_ALBUM_" : "REPLAYGAIN_TRACK_";
  return {{prefix + "GAIN", GainText(*loudnessLufs)}, {prefix + "PEAK", PeakText(peak)}};
}

const std::vector<std::string>& ReplayGainFieldNames(OutputFormat format) {
  static const std::vector<std::string> vorbis{"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                               "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                               kAlbumTracksField};
  static const std::vector<std::string> opus{"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                             "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                             "R128_TRACK_GAIN",       "R128_ALBUM_GAIN",
                                             kAlbumTracksField};
  return format == OutputFormat::Opus ? opus : vorbis;
}

bool IsReplayGainField(std::string_view name) {
  constexpr std::string_view kPrefix = "replaygain_";
  return name.size() >= kPrefix.size() &&
         SameIgnoringAsciiCase(name.substr(0, kPrefix.size()), kPrefix);
}

}  // namespace lumio
