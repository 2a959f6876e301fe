#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_source.h"
#include "core/wave_data.h"

namespace lumio {

// Reads the STREAMINFO block of the FLAC stream held by `source` (behind an ID3v2 tag,
// when one comes first) into `wave` and returns whether it is a FLAC file. A file that
// is not one, or that declares a sample rate of 0, gives false with empty results.
// Throws WaveReadError when a read fails.
bool ReadFlacInfo(ByteSource& source, WaveData& wave);

// Where the body of a metadata block lies.
struct FlacBlock {
  std::uint64_t bodyPosition;
  std::uint32_t size;
};

// The VORBIS_COMMENT block of the FLAC stream held by `source`, if it has one.
std::optional<FlacBlock> FindFlacCommentBlock(ByteSource& source);

// The PICTURE blocks of the FLAC stream held by `source`, in file order.
std::vector<FlacBlock> FindFlacPictureBlocks(ByteSource& source);

}  // namespace lumio
