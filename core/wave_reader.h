#pragma once

#include <stdexcept>
#include <string>

#include "core/wave_data.h"

namespace lumio {

// Raised when a file cannot be opened, read or seeked, or when a PCM WAVE file
// declares a byte rate of 0.
class WaveReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the WAVE header of the file at `path` into `wave` and returns whether it is a
// PCM WAVE file. Throws WaveReadError.
bool ReadWaveInfo(const std::string& path, WaveData& wave);

}  // namespace lumio
