#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumio {

// Options/OutputFormat: the kind of file the outputs are.
enum class OutputFormat : std::int32_t {
  Vorbis = 0,  // Ogg Vorbis through oggenc (the default)
  Opus = 1,    // Ogg Opus through opusenc
};

// Options/OpusMode: how opusenc keeps to its bit rate.
enum class OpusMode : std::int32_t {
  Vbr = 0,             // variable (the default)
  ConstrainedVbr = 1,  // variable within each frame's share
  HardCbr = 2,         // constant
};

// The bit rates opusenc takes, in kbps.
inline constexpr std::int32_t kLowestOpusBitrate = 6;
inline constexpr std::int32_t kHighestOpusBitrate = 256;

// Options/OpusBitrate and Options/OpusMode.
struct OpusOptions {
  std::int32_t bitrate = 128;  // kbps; outside the range opusenc takes it is kept as stored
  OpusMode mode = OpusMode::Vbr;
};

// The extension of the format's outputs, with its dot: ".ogg" or ".opus".
std::string_view OutputExtension(OutputFormat format);

// The output name `name` for `format`. The job list makes and keeps its names for Ogg
// Vorbis, so for Ogg Opus a name ending in ".ogg" (in any case) ends in ".opus" instead;
// any other name, and every name for Ogg Vorbis, stays as the user has it.
std::string OutputNameFor(std::string_view name, OutputFormat format);

}  // namespace lumio
