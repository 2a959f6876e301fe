#pragma once

#include <ebur128.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace lumio {

// Integrated loudness (EBU R128, ITU-R BS.1770) and sample peak of one stream, measured
// with libebur128 as its samples come. A meter outlives its stream, so that an album's
// loudness can be taken over the meters of all its tracks together.
class LoudnessMeter {
 public:
  // `channels` in the Vorbis channel order (mono, stereo, then the 3.0 to 7.1 layouts).
  // Null when libebur128 measures no such stream (more than 64 channels, a rate below
  // 16 Hz or above 2.8 MHz): a hostile or odd file is simply not measured.
  static std::unique_ptr<LoudnessMeter> Create(int channels, std::uint32_t sampleRate);
  ~LoudnessMeter();
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  void Add(const float* interleaved, std::size_t frames);
  // LUFS; nullopt when nothing loud enough to measure was heard (silence, or shorter
  // than one 400 ms block).
  std::optional<double> IntegratedLoudness() const;
  // The largest sample magnitude, 1.0 being full scale; Vorbis may exceed it.
  double SamplePeak() const;

 private:
  friend std::optional<double> AlbumLoudness(const std::vector<const LoudnessMeter*>& tracks);

  explicit LoudnessMeter(ebur128_state* state) : state_(state) {}

  ebur128_state* state_ = nullptr;
};

// The integrated loudness of all `tracks` heard as one programme.
std::optional<double> AlbumLoudness(const std::vector<const LoudnessMeter*>& tracks);

}  // namespace lumio
