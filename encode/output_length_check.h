#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/audio_figures.h"

namespace lumio {

// A length as "m:ss.sss" (minutes unbounded, milliseconds truncated).
std::string LengthText(std::uint64_t frames, std::uint32_t sampleRate);

// Why an output of `outputFrames` at `outputRate` is not the whole of `source`: its
// length differs from the one the source's header declares by more than 1/100 s (the
// encoder may resample, so lengths are compared as times). nullopt when they agree or
// the header declares no length. A source found cut short when it was added is named.
std::optional<std::string> OutputLengthMismatch(const AudioFigures& source,
                                                std::uint64_t outputFrames,
                                                std::uint32_t outputRate);

}  // namespace lumio
