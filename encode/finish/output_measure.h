#pragma once

#include <memory>
#include <string>

#include "encode/finish/loudness_meter.h"
#include "encode/finish/vorbis_decoder.h"

namespace lumio {

// One decoding of a finished output serves both its check and its loudness.
struct OutputMeasure {
  DecodedStream stream;
  // When asked for and the stream can be measured; fed every decoded sample.
  std::unique_ptr<LoudnessMeter> loudness;
};

// Decodes the Ogg Vorbis or Ogg Opus file at `path`, measuring its loudness when `measureLoudness`.
// Takes as long as decoding the file: never call it on the GUI thread.
OutputMeasure MeasureOutput(const std::string& path, bool measureLoudness);

}  // namespace lumio
