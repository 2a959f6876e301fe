#pragma once

#include <cstdint>
#include <string>

namespace lumio {

// What reading a source file (of any kind) found: its playing time, information line and
// length.
struct AudioFigures {
  std::int64_t PlayTime = 0;  // milliseconds; 0 when the header tells none
  std::string InfoText;       // the information line; empty when the header tells none
  // The length the header declares, for checking an output against it: sample frames
  // (0 when the header tells none) at SampleRate frames a second.
  std::uint64_t SampleFrames = 0;
  std::uint32_t SampleRate = 0;
  // The sample format the information line names, for describing a part of the file
  // and for keeping a deep source's depth through the decoder.
  std::uint16_t Bits = 0;
  std::uint16_t Channels = 0;
  // A WAVE file whose data chunk declares more bytes than the file holds: a copy or a
  // rip that stopped early.
  bool CutShort = false;
};

}  // namespace lumio
