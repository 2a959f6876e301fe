#include "core/chunk_walk.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

namespace lumio {

namespace {

constexpr std::size_t kFormHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;

bool IsChunkIdentifier(const unsigned char* id) {
  return std::all_of(id, id + 4, [](unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; });
}

}  // namespace

std::uint64_t ForEachChunk(ByteSource& source, ChunkSizeOrder order,
                           const std::function<bool(const Chunk&)>& visit) {
  // The form's declared end bounds the walk, so that a file whose last chunk runs to its
  // end costs no further read or look at its length; a form that declares too little to
  // hold a chunk (a stream written before its size was known) is walked to the file's end.
  // A declared end beyond the file's does no harm: the read there comes back short.
  unsigned char form[kFormHeaderSize];
  std::uint64_t end = 0;
  if (source.ReadAt(0, form, sizeof form) == sizeof form) {
    end = std::uint64_t{order == ChunkSizeOrder::BigEndian ? Be32(form + 4) : Le32(form + 4)} + 8;
  }
  if (end < kFormHeaderSize + kChunkHeaderSize) {
    end = source.Length();
  }
  std::uint64_t position = kFormHeaderSize;
  unsigned char header[kChunkHeaderSize];
  for (int chunks = 0;
       chunks < kMostChunks && position + kChunkHeaderSize <= end &&
       source.ReadAt(position, header, sizeof header) == sizeof header && IsChunkIdentifier(header);
       ++chunks) {
    const std::uint32_t size =
        order == ChunkSizeOrder::BigEndian ? Be32(header + 4) : Le32(header + 4);
    Chunk chunk{{}, position + kChunkHeaderSize, size};
    std::memcpy(chunk.id, header, 4);
    position = chunk.bodyPosition + chunk.size + (chunk.size & 1);
    if (!visit(chunk)) break;
  }
  return position;
}

bool IsChunk(const Chunk& chunk, const char* id) { return std::memcmp(chunk.id, id, 4) == 0; }

}  // namespace lumio
