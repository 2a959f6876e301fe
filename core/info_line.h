#pragma once

#include <cstdint>

#include "core/audio_figures.h"

namespace lumio {

// What the information line and the playing time are made from, whatever kind of file
// the figures come from. `byteRate` must not be 0.
struct SoundFigures {
  std::uint64_t dataSize = 0;  // bytes of sample data
  std::uint64_t byteRate = 0;  // bytes of sample data per second
  std::uint32_t sampleRate = 0;
  std::uint16_t bits = 0;
  std::uint16_t channels = 0;
  std::uint64_t frameBytes = 0;  // bytes of one sample frame; 0 when the header tells none
};

// The largest data size FillAudioFigures takes (the largest FLAC stream's); figures that
// claim more are no sound file's.
inline constexpr std::uint64_t kLargestDataSize = std::uint64_t{1} << 44;

// Fills `PlayTime` (milliseconds, truncated), the length in sample frames and `InfoText`,
// the one-line description
// "データ部 K KB  b bit  r Hz  channel-word  再生時間 m:ss".
void FillAudioFigures(const SoundFigures& figures, AudioFigures& audio);

}  // namespace lumio
