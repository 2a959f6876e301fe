#include "core/probe_figures.h"

#include <charconv>
#include <cmath>
#include <string>

namespace lumio {

namespace {

constexpr std::uint64_t kHighestRate = 1'000'000;
constexpr std::uint64_t kMostChannels = 255;
constexpr double kLongestSeconds = 1e7;  // about four months; kLargestDataSize bounds it too

template <typename Number>
std::optional<Number> NumberOf(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<SoundFigures> ParseProbeFigures(std::string_view output) {
  std::optional<std::uint64_t> rate, channels, bits;
  std::optional<double> seconds;
  while (!output.empty()) {
    const std::size_t end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    // The first value of each key is the audio stream's; later ones belong to no one.
    if (key == "sample_rate" && !rate) {
      rate = NumberOf<std::uint64_t>(value);
    } else if (key == "channels" && !channels) {
      channels = NumberOf<std::uint64_t>(value);
    } else if (key == "bits_per_raw_sample" && !bits) {
      bits = NumberOf<std::uint64_t>(value);
    } else if (key == "duration" && !seconds) {
      seconds = NumberOf<double>(value);
    }
  }
  if (!rate || !channels || !seconds || *rate == 0 || *rate > kHighestRate || *channels == 0 ||
      *channels > kMostChannels || !(*seconds >= 0) || *seconds > kLongestSeconds) {
    return std::nullopt;
  }
  SoundFigures figures;
  figures.sampleRate = static_cast<std::uint32_t>(*rate);
  figures.channels = static_cast<std::uint16_t>(*channels);
  figures.bits = static_cast<std::uint16_t>(bits && *bits > 16 && *bits <= 32 ? *bits : 16);
  const std::uint64_t frameBytes = figures.channels * ((figures.bits + 7u) / 8u);
  const auto frames =
      static_cast<std::uint64_t>(std::llround(*seconds * static_cast<double>(*rate)));
  figures.byteRate = *rate * frameBytes;
  figures.dataSize = frames * frameBytes;
  if (figures.dataSize >= kLargestDataSize) return std::nullopt;
  return figures;
}

}  // namespace lumio
