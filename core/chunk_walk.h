#pragma once

#include <cstdint>
#include <functional>

#include "core/byte_source.h"

namespace lumio {

// One chunk of a RIFF (WAVE) or IFF (AIFF) file: its identifier and where its body lies.
struct Chunk {
  char id[4];
  std::uint64_t bodyPosition;
  std::uint32_t size;
};

// How the file writes its chunk sizes: RIFF little-endian, AIFF big-endian.
enum class ChunkSizeOrder { LittleEndian, BigEndian };

// Real files hold a few dozen chunks at most; a walk stops after this many, so that a
// file made of millions of empty chunks costs no more than a real one.
constexpr int kMostChunks = 4096;

// Calls `visit` for each chunk behind the 12-byte form header, in file order, until
// `visit` returns false. Bodies are skipped by their declared size, padded to an even
// length. The walk ends at the form's declared end, at a header that does not lie wholly
// inside the file, at one whose identifier is not four printable characters (zero bytes
// or sample data, which would otherwise be walked eight bytes at a time), or after
// kMostChunks chunks. Returns where it ended: the end of the last chunk walked, so that
// bytes behind it can be kept from a later reader. Throws SourceReadError when a read
// fails.
std::uint64_t ForEachChunk(ByteSource& source, ChunkSizeOrder order,
                           const std::function<bool(const Chunk&)>& visit);

// Whether `chunk` is the one named `id` (four characters).
bool IsChunk(const Chunk& chunk, const char* id);

}  // namespace lumio
