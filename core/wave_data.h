#pragma once

#include <cstdint>
#include <string>

namespace lumio {

// What the WAVE header reader found in one file.
struct WaveData {
  std::int64_t PlayTime = 0;  // milliseconds; 0 when the file is not a PCM WAVE file
  std::string InfoText;       // the information line; empty when not a PCM WAVE file
};

}  // namespace lumio
