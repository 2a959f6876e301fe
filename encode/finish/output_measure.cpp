#include "encode/finish/output_measure.h"

namespace lumio {

OutputMeasure MeasureOutput(const std::string& path, bool measureLoudness) {
  OutputMeasure measure;
  measure.stream = DecodeVorbisFile(
      path,
      [&](int channels, std::uint32_t sampleRate) {
        if (measureLoudness) measure.loudness = LoudnessMeter::Create(channels, sampleRate);
      },
      [&](const float* interleaved, std::size_t frames) {
        if (measure.loudness) measure.loudness->Add(interleaved, frames);
      });
  if (!measure.stream.decoded) measure.loudness.reset();
  return measure;
}

}  // namespace lumio
