#pragma once

#include <stdexcept>
#include <string>

#include "core/audio_figures.h"

namespace lumio {

// Raised when a file cannot be opened, read or seeked, or when a PCM WAVE file
// declares a byte rate of 0.
class SourceReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the WAVE header of the file at `path` into `wave` and returns whether it is a
// PCM WAVE file. Throws SourceReadError.
bool ReadWaveInfo(const std::string& path, AudioFigures& wave);

}  // namespace lumio
