#pragma once

#include <memory>
#include <string>

#include "encode/loudness_meter.h"
#include "encode/vorbis_decoder.h"

namespace lumio {

// One decoding of a finished output serves both its check and its loudness.
struct OutputMeasure {
  DecodedStream stream;
  std::unique_ptr<LoudnessMeter> loudness;  // when asked for; fed every decoded sample
};

// Decodes the Ogg Vorbis file at `path`, measuring its loudness when `measureLoudness`.
// Takes as long as decoding the file: never call it on the GUI thread.
OutputMeasure MeasureOutput(const std::string& path, bool measureLoudness);

}  // namespace lumio
