#include "encode/finish/loudness_meter.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lumio {

namespace {

// Where each channel of a Vorbis stream plays, by channel count (the order of the
// Vorbis I format, section 4.3.9). The low-frequency channel counts for nothing
// in BS.1770; a mono stream is heard from both speakers, so it counts twice.
std::vector<int> ChannelPlaces(int channels) {
  switch (channels) {
    case 1:
      return {EBUR128_DUAL_MONO};
    case 2:
      return {EBUR128_LEFT, EBUR128_RIGHT};
    case 3:
      return {EBUR128_LEFT, EBUR128_CENTER, EBUR128_RIGHT};
    case 4:
      return {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND};
    case 5:
      return {EBUR128_LEFT, EBUR128_CENTER, EBUR128_RIGHT, EBUR128_LEFT_SURROUND,
              EBUR128_RIGHT_SURROUND};
    case 6:
      return {EBUR128_LEFT,          EBUR128_CENTER,         EBUR128_RIGHT,
              EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND, EBUR128_UNUSED};
    case 7:
      return {EBUR128_LEFT,  EBUR128_CENTER, EBUR128_RIGHT, EBUR128_Mp090,
              EBUR128_Mm090, EBUR128_Mp180,  EBUR128_UNUSED};
    case 8:
      return {EBUR128_LEFT,  EBUR128_CENTER, EBUR128_RIGHT, EBUR128_Mp090,
              EBUR128_Mm090, EBUR128_Mp135,  EBUR128_Mm135, EBUR128_UNUSED};
    default:
      // Layouts Vorbis leaves to the application: every channel counts alike.
      return std::vector<int>(static_cast<std::size_t>(std::max(channels, 0)), EBUR128_LEFT);
  }
}

// Exact block energies rather than the histogram, whose bins are 0.05 LU off for a plain
// tone; they cost 8 bytes per 100 ms, 300 KB for an hour, while an album waits.
constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK;

// The loudness that `measure` stores, when it succeeds and heard anything at all.
template <typename Measure>
std::optional<double> Measured(Measure measure) {
  double loudness = 0;
  if (measure(&loudness) != EBUR128_SUCCESS || !std::isfinite(loudness)) return std::nullopt;
  return loudness;
}

}  // namespace

std::unique_ptr<LoudnessMeter> LoudnessMeter::Create(int channels, std::uint32_t sampleRate) {
  if (channels <= 0) return nullptr;
  ebur128_state* state = ebur128_init(static_cast<unsigned>(channels), sampleRate, kMode);
  if (state == nullptr) return nullptr;
  const std::vector<int> places = ChannelPlaces(channels);
  for (std::size_t channel = 0; channel < places.size(); ++channel) {
    ebur128_set_channel(state, static_cast<unsigned>(channel), places[channel]);
  }
  return std::unique_ptr<LoudnessMeter>(new LoudnessMeter(state));
}

LoudnessMeter::~LoudnessMeter() { ebur128_destroy(&state_); }

void LoudnessMeter::Add(const float* interleaved, std::size_t frames) {
  if (ebur128_add_frames_float(state_, interleaved, frames) != EBUR128_SUCCESS) {
    throw std::bad_alloc();  // the only way the call fails
  }
}

std::optional<double> LoudnessMeter::IntegratedLoudness() const {
  return Measured([this](double* loudness) { return ebur128_loudness_global(state_, loudness); });
}

double LoudnessMeter::SamplePeak() const {
  double peak = 0;
  for (unsigned channel = 0; channel < state_->channels; ++channel) {
    double channelPeak = 0;
    if (ebur128_sample_peak(state_, channel, &channelPeak) == EBUR128_SUCCESS) {
      peak = std::max(peak, channelPeak);
    }
  }
  return peak;
}

std::optional<double> AlbumLoudness(const std::vector<const LoudnessMeter*>& tracks) {
  if (tracks.empty()) return std::nullopt;
  std::vector<ebur128_state*> states;
  states.reserve(tracks.size());
  for (const LoudnessMeter* track : tracks) states.push_back(track->state_);
  return Measured([&states](double* loudness) {
    return ebur128_loudness_global_multiple(states.data(), states.size(), loudness);
  });
}

}  // namespace lumio
