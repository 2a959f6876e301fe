#include "encode/finish/output_measure.h"

#include "encode/finish/opus_decoder.h"

namespace lumio {

OutputMeasure MeasureOutput(const std::string& path, bool measureLoudness) {
  OutputMeasure measure;
  const auto start = [&](int channels, std::uint32_t sampleRate) {
    if (measureLoudness) measure.loudness = LoudnessMeter::Create(channels, sampleRate);
  };
  const auto add = [&](const float* interleaved, std::size_t frames) {
    if (measure.loudness) measure.loudness->Add(interleaved, frames);
  };
  // Told by its first page, so that an album's earlier outputs are read as what they are.
  measure.stream =
      IsOggOpusFile(path) ? DecodeOpusFile(path, start, add) : DecodeVorbisFile(path, start, add);
  if (!measure.stream.decoded) measure.loudness.reset();
  return measure;
}

}  // namespace lumio
