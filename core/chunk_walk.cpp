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

void ForEachChunk(ByteSource& source, ChunkSizeOrder order,
                  const std::function<bool(const Chunk&)>& visit) {
  const std::uint64_t length = source.Length();
  std::uint64_t position = kFormHeaderSize;
  unsigned char header[kChunkHeaderSize];
  while (position + kChunkHeaderSize <= length &&
         source.ReadAt(position, header, sizeof header) == sizeof header &&
         IsChunkIdentifier(header)) {
    const std::uint32_t size =
        order == ChunkSizeOrder::BigEndian ? Be32(header + 4) : Le32(header + 4);
    Chunk chunk{{}, position + kChunkHeaderSize, size};
    std::memcpy(chunk.id, header, 4);
    if (!visit(chunk)) return;
    position = chunk.bodyPosition + chunk.size + (chunk.size & 1);
  }
}

bool IsChunk(const Chunk& chunk, const char* id) { return std::memcmp(chunk.id, id, 4) == 0; }

}  // namespace lumio
