#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/audio_figures.h"

namespace lumio {

// A length as "m:ss.sss" (minutes unbounded, milliseconds truncated).
std::string LengthText(std::uint64_t frames, std::uint32_t sampleRate);

// Why an output of `outputFrames` at `outputRate` is not the whole of `source`, or
// nullopt. A source whose header counts its samples (WAVE data size, FLAC STREAMINFO,
// AIFF COMM, a track cut from such an image) must agree within 1/100 s; one that only
// tells a duration (a decoded source: the container's, to the millisecond) within 0.5 s
// or 1 %, whichever is more. Lengths are compared as times, as the encoder may
// resample. With `decoderWrittenUs`, what the decoder said it wrote, the output must
// agree with that too, within the same bounds as a duration. A source found cut short
// when it was added is named.
std::optional<std::string> OutputLengthMismatch(const AudioFigures& source,
                                                std::optional<std::int64_t> decoderWrittenUs,
                                                std::uint64_t outputFrames,
                                                std::uint32_t outputRate);

}  // namespace lumio
