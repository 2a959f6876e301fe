#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/audio_figures.h"
#include "core/byte_source.h"

namespace lumio {

// Reads the STREAMINFO block of the FLAC stream held by `source` (behind an ID3v2 tag,
// when one comes first) into `audio` and returns whether it is a FLAC file. A file that
// is not one, or that declares a sample rate of 0, gives false with empty results.
// Throws SourceReadError when a read fails.
bool ReadFlacInfo(ByteSource& source, AudioFigures& audio);

// Where the body of a metadata block lies, and what kind of block it is.
struct FlacBlock {
  std::uint64_t bodyPosition;
  std::uint32_t size;
  unsigned type = 0;
};

// Calls `visit` for each metadata block behind STREAMINFO, in file order, until `visit`
// returns false. The walk ends at the block marked last, and before anything no writer
// makes: a second STREAMINFO, the reserved type 127, a block running past the end of the
// file, more than 1 024 blocks or metadata beyond the first 256 MB. Zero bytes (a file
// cut short or filled with zeros) read as empty STREAMINFO blocks, so they end the walk
// at once instead of being stepped through four bytes at a time; what lies behind the
// end is taken as holding no tags. Throws SourceReadError when a read fails.
void ForEachFlacBlock(ByteSource& source, const std::function<bool(const FlacBlock&)>& visit);

// The VORBIS_COMMENT block of the FLAC stream held by `source`, if the walk above
// meets one.
std::optional<FlacBlock> FindFlacCommentBlock(ByteSource& source);

// The PICTURE blocks of the FLAC stream held by `source`, in file order.
std::vector<FlacBlock> FindFlacPictureBlocks(ByteSource& source);

}  // namespace lumio
